#pragma once

// The host's frame around a plug-in's editor view, with the run loop it lends
// on Linux. It records every resize request (and answers it with onSize, as
// hosts do) and keeps the event handlers and timers the plug-in registers;
// RunOnce fires what is due, so a test or tool drives the editor on its own
// thread without threads of its own.

#include "vst3/abi/LinuxRunLoop.h"
#include "vst3/abi/PlugView.h"
#include "vst3/host/ComObject.h"

#include <chrono>
#include <vector>

namespace vst3host
{

class PlugFrame final : public ComObject<vst3::IPlugFrame, vst3::Linux::IRunLoop>
{
public:
  struct Timer
  {
    vst3::Linux::ITimerHandler* handler;
    vst3::uint64 intervalMs;
    std::chrono::steady_clock::time_point due;
  };
  struct EventHandler
  {
    vst3::Linux::IEventHandler* handler;
    int fd;
  };

  // IPlugFrame
  vst3::tresult VST3_CALL resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize) override;

  // Linux::IRunLoop
  vst3::tresult VST3_CALL registerEventHandler(vst3::Linux::IEventHandler* handler,
                                               vst3::Linux::FileDescriptor fd) override;
  vst3::tresult VST3_CALL unregisterEventHandler(vst3::Linux::IEventHandler* handler) override;
  vst3::tresult VST3_CALL registerTimer(vst3::Linux::ITimerHandler* handler,
                                        vst3::Linux::TimerInterval milliseconds) override;
  vst3::tresult VST3_CALL unregisterTimer(vst3::Linux::ITimerHandler* handler) override;

  // Waits up to timeoutMs for a registered descriptor to become readable or a
  // timer to fall due, then calls what is ready. Returns the number of calls.
  int RunOnce(int timeoutMs);
  // Calls every registered timer once, whether due or not.
  void FireAllTimers();

  const std::vector<vst3::ViewRect>& ResizeRequests() const { return mResizeRequests; }
  const std::vector<Timer>& Timers() const { return mTimers; }
  const std::vector<EventHandler>& EventHandlers() const { return mEventHandlers; }

  ~PlugFrame() override;

private:
  // Fires each handler that is still registered (an earlier one may have
  // unregistered it), holding a reference meanwhile. Returns how many fired.
  int FireStillRegistered(const std::vector<vst3::Linux::ITimerHandler*>& handlers);
  std::vector<vst3::ViewRect> mResizeRequests;
  std::vector<Timer> mTimers;
  std::vector<EventHandler> mEventHandlers;
};

} // namespace vst3host
