#pragma once

// The host's frame around a plug-in's editor view, with the run loop it lends
// on Linux. It records every resize request (and answers it with onSize, as
// hosts do) and keeps the event handlers and timers the plug-in registers;
// RunOnce fires what is due, so a test or tool drives the editor on its own
// thread without threads of its own. The run loop is an object of its own
// whose queryInterface answers nothing, as Ardour's does: a plug-in must use
// the pointer the frame gave it.

#include "vst3/abi/LinuxRunLoop.h"
#include "vst3/abi/PlugView.h"
#include "vst3/host/ComObject.h"

#include <chrono>
#include <vector>

namespace vst3host
{

class PlugFrame final : public ComObject<vst3::IPlugFrame>
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

  // FUnknown: also hands out the run loop.
  vst3::tresult VST3_CALL queryInterface(const vst3::TUID requested, void** obj) override;

  // IPlugFrame
  vst3::tresult VST3_CALL resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize) override;

  // What the run loop does.
  vst3::tresult RegisterEventHandler(vst3::Linux::IEventHandler* handler, vst3::Linux::FileDescriptor fd);
  vst3::tresult UnregisterEventHandler(vst3::Linux::IEventHandler* handler);
  vst3::tresult RegisterTimer(vst3::Linux::ITimerHandler* handler, vst3::Linux::TimerInterval milliseconds);
  vst3::tresult UnregisterTimer(vst3::Linux::ITimerHandler* handler);

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
  // Lives inside the frame and shares its reference count.
  class RunLoop final : public vst3::Linux::IRunLoop
  {
  public:
    explicit RunLoop(PlugFrame& frame) : mFrame(frame) {}
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override { return mFrame.addRef(); }
    vst3::uint32 VST3_CALL release() override { return mFrame.release(); }
    vst3::tresult VST3_CALL registerEventHandler(vst3::Linux::IEventHandler* handler,
                                                 vst3::Linux::FileDescriptor fd) override
    {
      return mFrame.RegisterEventHandler(handler, fd);
    }
    vst3::tresult VST3_CALL unregisterEventHandler(vst3::Linux::IEventHandler* handler) override
    {
      return mFrame.UnregisterEventHandler(handler);
    }
    vst3::tresult VST3_CALL registerTimer(vst3::Linux::ITimerHandler* handler,
                                          vst3::Linux::TimerInterval milliseconds) override
    {
      return mFrame.RegisterTimer(handler, milliseconds);
    }
    vst3::tresult VST3_CALL unregisterTimer(vst3::Linux::ITimerHandler* handler) override
    {
      return mFrame.UnregisterTimer(handler);
    }

  private:
    PlugFrame& mFrame;
  };

  // Fires each handler that is still registered (an earlier one may have
  // unregistered it), holding a reference meanwhile. Returns how many fired.
  int FireStillRegistered(const std::vector<vst3::Linux::ITimerHandler*>& handlers);
  std::vector<vst3::ViewRect> mResizeRequests;
  std::vector<Timer> mTimers;
  std::vector<EventHandler> mEventHandlers;
  RunLoop mLoop{*this};
};

} // namespace vst3host
