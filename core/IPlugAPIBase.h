#pragma once

// The host-facing base: configuration the host asks about, the paths by which
// editor edits reach the host, the host hooks the plug-in API layer overrides,
// and the 20 ms idle timer.

#include "core/IPlugConfig.h"
#include "core/IPluginBase.h"
#include "core/Timer.h"

#include <memory>
#include <string>

namespace iplug
{

class IPlugAPIBase : public IPluginBase
{
public:
  static constexpr int kIdleTimerIntervalMs = 20;

  explicit IPlugAPIBase(const Config& config);
  ~IPlugAPIBase() override;

  // Idle work on the UI thread, every timer tick, editor open or not.
  virtual void OnIdleTick() {}
  void OnTimerTick();
  // Starts the idle timer once the platform service that delivers ticks is known.
  bool StartIdleTimer(TimerSource& source) { return mTimer->Start(source); }
  Timer& GetIdleTimer() { return *mTimer; }

  // Host hooks; the plug-in API layer overrides them.
  virtual void HostBeginEdit(int /*paramIdx*/) {}
  virtual void HostPerformEdit(int /*paramIdx*/, double /*normalizedValue*/) {}
  virtual void HostEndEdit(int /*paramIdx*/) {}
  virtual bool ResizeHostView(int /*width*/, int /*height*/) { return true; }
  virtual void NotifyParamDetailsChanged() {}

  // Editor to host.
  void ParamEditedInEditor(int paramIdx, double normalizedValue) override;
  void BeginParamGesture(int paramIdx) override;
  void EndParamGesture(int paramIdx) override;
  bool ResizeFromEditor(int width, int height, bool needsPlatformResize) override;
  // Loads the preset, then reports each parameter it changed to the host as
  // one edit (begin, perform, end), as if the user had set it: the host's
  // controls, automation, undo and saved project all follow.
  bool LoadPresetFromEditor(int index) override;
  virtual void ResendAllParamsToHost();

  // Configuration.
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  int GetPluginVersion() const { return mVersion; }
  const char* GetPluginName() const { return mPluginName.c_str(); }
  const char* GetProductName() const { return mProductName.c_str(); }
  const char* GetMfrName() const { return mMfrName.c_str(); }
  const char* GetBundleID() const { return mBundleID.c_str(); }
  bool HasUI() const { return mHasUI; }
  bool GetHostResizeEnabled() const { return mHostResize; }

  // Editor size as the host sees it, and its limits (min <= max on each axis).
  int GetEditorWidth() const { return mEditorWidth; }
  int GetEditorHeight() const { return mEditorHeight; }
  void SetEditorSize(int width, int height);
  int GetMinWidth() const { return mMinWidth; }
  int GetMaxWidth() const { return mMaxWidth; }
  int GetMinHeight() const { return mMinHeight; }
  int GetMaxHeight() const { return mMaxHeight; }

private:
  int mUniqueID;
  int mMfrID;
  int mVersion;
  std::string mPluginName;
  std::string mProductName;
  std::string mMfrName;
  std::string mBundleID;
  bool mHasUI;
  bool mHostResize;
  int mEditorWidth;
  int mEditorHeight;
  int mMinWidth;
  int mMaxWidth;
  int mMinHeight;
  int mMaxHeight;
  std::unique_ptr<Timer> mTimer;
};

} // namespace iplug
