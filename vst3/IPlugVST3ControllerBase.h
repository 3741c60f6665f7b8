#pragma once

// Controller-side data of the VST 3 plug-in: the exported parameters and units
// it builds at initialisation, and the mixer-channel information the host
// hands over. UI thread only.

#include "core/IEditorDelegate.h"
#include "vst3/IPlugVST3Parameter.h"
#include "vst3/abi/Message.h"
#include "vst3/base/EditController.h"

#include <string>
#include <vector>

namespace iplug
{

class IPlugVST3ControllerBase
{
public:
  virtual ~IPlugVST3ControllerBase() = default;

  // Adds the bypass parameter (effects only), the root unit, one unit per
  // distinct parameter group, one wrapper per IParam and, with MIDI input, the
  // MIDI-controller parameters. The container lists the bypass parameter first.
  void InitializeController(IEditorDelegate& plug, vst3::EditControllerEx1& controller, bool isInstrument,
                            bool doesMidiIn);

  // Reads the channel keys present in the list; missing keys leave fields alone.
  vst3::tresult SetChannelContextInfos(vst3::IAttributeList* list);

  IPlugVST3BypassParameter* GetBypassParameter() const { return mBypassParameter; }

  void GetChannelColor(int& r, int& g, int& b) const;
  void GetChannelName(std::string& out) const { out = mChannelName; }
  int GetChannelIndex() const { return mChannelIndex; }
  void GetChannelNamespace(std::string& out) const { out = mChannelNamespace; }
  int GetChannelNamespaceOrder() const { return mChannelNamespaceOrder; }
  const std::string& GetChannelUID() const { return mChannelUID; }

protected:
  void ForgetControllerParameters() { mBypassParameter = nullptr; }

private:
  IPlugVST3BypassParameter* mBypassParameter = nullptr; // owned by the container
  std::vector<std::string> mGroupNames;
  std::string mChannelName;
  std::string mChannelNamespace;
  std::string mChannelUID;
  int mChannelNamespaceOrder = 0;
  int mChannelIndex = 0;
  unsigned mChannelColor = 0; // 0xAARRGGBB
};

} // namespace iplug
