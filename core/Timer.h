#pragma once

// Periodic timers for UI-thread work (the plug-in's 20 ms idle tick).
//
// A Timer does not tick by itself: a TimerSource (the system or host service
// that owns periodic callbacks: a thread timer on Windows, the host's run loop
// on Linux) starts it and, on every period, calls Timer::DeliverTick with the
// id it handed out. Every running timer is listed in one process-wide list
// under one mutex, which is held while a tick's function runs. A timer that no
// source has started (or whose source gave id 0) never ticks.

#include <cstdint>
#include <functional>
#include <memory>

namespace iplug
{

using TimerId = std::uintptr_t;

class TimerSource
{
public:
  virtual ~TimerSource() = default;
  // Starts a periodic callback; returns a non-zero id, or 0 when none could be made.
  virtual TimerId StartTimer(int intervalMs) = 0;
  virtual void StopTimer(TimerId id) = 0;
};

class Timer
{
public:
  using ITimerFunction = std::function<void(Timer&)>;

  // A timer that ticks every intervalMs once a source has started it.
  static std::unique_ptr<Timer> Create(ITimerFunction func, int intervalMs);

  // Runs the function of the listed timer with that id; false when none is listed.
  static bool DeliverTick(TimerId id);
  static int NRunningTimers();

  virtual ~Timer() = default;
  // Starts ticking through source (stopping first if already running); false
  // when the source gave no timer.
  virtual bool Start(TimerSource& source) = 0;
  virtual void Stop() = 0;
  virtual bool IsRunning() const = 0;
  virtual int GetIntervalMs() const = 0;
};

class Timer_impl final : public Timer
{
public:
  Timer_impl(ITimerFunction func, int intervalMs);
  ~Timer_impl() override;
  Timer_impl(const Timer_impl&) = delete;
  Timer_impl& operator=(const Timer_impl&) = delete;

  bool Start(TimerSource& source) override;
  void Stop() override;
  bool IsRunning() const override { return mId != 0; }
  int GetIntervalMs() const override { return mIntervalMs; }
  TimerId GetId() const { return mId; }

private:
  friend class Timer;

  TimerSource* mSource = nullptr;
  TimerId mId = 0;
  ITimerFunction mFunction;
  int mIntervalMs;
};

} // namespace iplug
