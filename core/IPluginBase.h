#pragma once

// The plug-in base: parameter state chunk, preset slots and host identity.
//
// The state chunk is the real value of every parameter in index order, each an
// 8-byte little-endian IEEE double, with no header: 8 * NParams() bytes.

#include "core/HostCode.h"
#include "core/IGEditorDelegate.h"
#include "core/StateBlob.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace iplug
{

struct PresetSlot
{
  static constexpr int kMaxNameLen = 255; // characters, plus a terminating zero

  bool initialised = false;
  char name[kMaxNameLen + 1] = "empty";
  StateBlob chunk;
};

class IPluginBase : public IGEditorDelegate
{
public:
  IPluginBase(int nParams, int nPresets);
  ~IPluginBase() override;

  // State chunk.
  bool SerializeParams(StateBlob& chunk) const;
  // Returns the position after the last value read, or -1 when the chunk ran
  // short; announces every parameter with source Preset in either case.
  int UnserializeParams(const StateBlob& chunk, int startPos);
  virtual bool SaveState(StateBlob& chunk) const;
  virtual int LoadState(const StateBlob& chunk, int startPos);

  // Presets. Fills the first uninitialised slot with one value per parameter in
  // index order, stored unconstrained (values of bool, int and enum parameters
  // are taken as integers). Returns false, changing nothing, when no slot is
  // free or the number of values is not the number of parameters.
  template <typename... Values>
  bool AddFactoryPreset(const char* name, Values... values)
  {
    return AddFactoryPresetValues(name, {static_cast<double>(values)...});
  }
  bool AddFactoryPresetValues(const char* name, std::initializer_list<double> values);

  // Recalls a filled slot, or captures the current values into an empty one.
  bool LoadPreset(int index);
  // LoadPreset for a choice made in the editor; the host-facing base also
  // tells the host every value that changed.
  virtual bool LoadPresetFromEditor(int index) { return LoadPreset(index); }

  int NPresets() const { return static_cast<int>(mPresets.size()); }
  const char* GetPresetName(int index) const; // "" for an index outside the list
  const PresetSlot* GetPreset(int index) const;
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  void SetCurrentPresetIdx(int index) { mCurrentPresetIdx = index; }
  virtual void OnPresetsModified() {}

  // Host identity.
  void SetHost(const char* name, int version);
  int GetHost() const { return mHost; }
  int GetHostVersion() const { return mHostVersion; }
  const char* GetHostName() const { return mHostName.c_str(); }
  virtual void OnHostKnown() {}

private:
  std::vector<std::unique_ptr<PresetSlot>> mPresets;
  int mCurrentPresetIdx = 0;
  int mHost = kHostUninit;
  int mHostVersion = 0;
  std::string mHostName;
};

} // namespace iplug
