#pragma once

// The lowest framework base of the plug-in: it owns the parameters and carries
// the parameter notifications and the paths between the editor and the plug-in.
// Hooks do nothing by default; the plug-in and the host layer override what they need.
//
// Thread notes: OnParamUpdate runs on the thread that made the change (editor,
// host controller call, state recall); nothing here takes a lock.

#include "core/IParam.h"
#include "core/ParamSource.h"

#include <memory>
#include <vector>

namespace iplug
{

class IEditorDelegate
{
public:
  explicit IEditorDelegate(int nParams);
  virtual ~IEditorDelegate();
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  // nullptr for an index outside the parameter list.
  IParam* GetParam(int paramIdx);
  const IParam* GetParam(int paramIdx) const;
  int NParams() const { return static_cast<int>(mParams.size()); }

  // Notifications.
  // Called for host processing-queue changes too, so overrides must be audio-thread safe.
  virtual void OnParamChange(int paramIdx, ParamSource source, int sampleOffset = -1);
  virtual void OnParamChange(int paramIdx);
  // The plug-in's parameter handler; every editor or controller side change ends here.
  virtual void OnParamUpdate(int paramIdx, ParamSource source);
  virtual void OnUIOpen() {}
  virtual void OnUIClose() {}

  // For each parameter in index order: OnParamChange(i, source, -1), then OnParamUpdate(i, source).
  void NotifyAllParams(ParamSource source);
  // Shows every parameter's normalised value in the editor (after a preset or state recall).
  void SyncEditorFromParams();

  // Plug-in to editor. ShowParamInEditor always ends with OnParamUpdate(paramIdx, EditorDelegate).
  virtual void ShowParamInEditor(int paramIdx, double value, bool isNormalized);
  virtual void SendValueToControl(int ctrlTag, double normalizedValue);
  virtual void SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* pData);

  // Editor to plug-in (and, in the host-facing base, to the host).
  virtual void ParamEditedInEditor(int paramIdx, double normalizedValue);
  virtual void BeginParamGesture(int paramIdx);
  virtual void EndParamGesture(int paramIdx);
  virtual bool ResizeFromEditor(int width, int height, bool needsPlatformResize);

private:
  std::vector<std::unique_ptr<IParam>> mParams;
};

} // namespace iplug
