#include "core/Timer.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace iplug
{

namespace
{

std::mutex& TimerListMutex()
{
  static std::mutex m;
  return m;
}

std::vector<Timer_impl*>& TimerList()
{
  static std::vector<Timer_impl*> list;
  return list;
}

// Set while this thread runs a tick's function under the list mutex, so that the
// function may start or stop timers without locking the mutex a second time.
thread_local bool tInTick = false;

class TimerListLock
{
public:
  TimerListLock()
    : mLock(TimerListMutex(), std::defer_lock)
  {
    if (!tInTick)
      mLock.lock();
  }

private:
  std::unique_lock<std::mutex> mLock;
};

} // namespace

std::unique_ptr<Timer> Timer::Create(ITimerFunction func, int intervalMs)
{
  return std::make_unique<Timer_impl>(std::move(func), intervalMs);
}

bool Timer::DeliverTick(TimerId id)
{
  if (id == 0)
    return false;

  TimerListLock lock;
  auto& list = TimerList();
  auto it = std::find_if(list.begin(), list.end(), [id](const Timer_impl* t) { return t->mId == id; });
  if (it == list.end())
    return false;

  Timer_impl* timer = *it;
  const bool outer = !tInTick;
  tInTick = true;
  if (timer->mFunction)
    timer->mFunction(*timer);
  if (outer)
    tInTick = false;
  return true;
}

int Timer::NRunningTimers()
{
  TimerListLock lock;
  return static_cast<int>(TimerList().size());
}

Timer_impl::Timer_impl(ITimerFunction func, int intervalMs)
  : mFunction(std::move(func))
  , mIntervalMs(intervalMs)
{
}

Timer_impl::~Timer_impl()
{
  Stop();
  mFunction = nullptr;
}

bool Timer_impl::Start(TimerSource& source)
{
  Stop();
  const TimerId id = source.StartTimer(mIntervalMs);
  if (id == 0)
    return false;

  TimerListLock lock;
  mSource = &source;
  mId = id;
  TimerList().push_back(this);
  return true;
}

void Timer_impl::Stop()
{
  if (mId == 0)
    return;

  mSource->StopTimer(mId);
  {
    TimerListLock lock;
    auto& list = TimerList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    mId = 0;
  }
  mSource = nullptr;
}

} // namespace iplug
