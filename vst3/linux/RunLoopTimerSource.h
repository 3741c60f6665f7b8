#pragma once

// Periodic ticks from the host's run loop on Linux: the host calls our timer
// handlers on its UI thread, and each call delivers one tick to the
// framework's timer with that id.

#include "core/Timer.h"
#include "vst3/abi/LinuxRunLoop.h"

#include <vector>

namespace iplug
{

class RunLoopTimerSource final : public TimerSource
{
public:
  // Keeps a reference to the loop until destruction.
  explicit RunLoopTimerSource(vst3::Linux::IRunLoop* runLoop);
  ~RunLoopTimerSource() override;
  RunLoopTimerSource(const RunLoopTimerSource&) = delete;
  RunLoopTimerSource& operator=(const RunLoopTimerSource&) = delete;

  // 0 when the host refuses the timer (minimal hosts answer "not implemented").
  TimerId StartTimer(int intervalMs) override;
  void StopTimer(TimerId id) override;

private:
  class Handler;

  vst3::Linux::IRunLoop* mRunLoop;
  std::vector<Handler*> mHandlers;
};

} // namespace iplug
