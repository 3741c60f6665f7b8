#include "vst3/HostTimerSource.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <vector>

namespace iplug
{

namespace
{

void CALLBACK OnThreadTimer(HWND, UINT, UINT_PTR id, DWORD)
{
  Timer::DeliverTick(static_cast<TimerId>(id));
}

// Thread timers (SetTimer with a timer procedure and no window): they tick on
// the thread that started them, the host's UI thread, through its message
// loop. Windows needs no host service for that.
class ThreadTimerSource final : public TimerSource
{
public:
  ~ThreadTimerSource() override
  {
    for (const UINT_PTR id : mIds)
      KillTimer(nullptr, id);
  }

  TimerId StartTimer(int intervalMs) override
  {
    if (intervalMs <= 0)
      return 0;
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(intervalMs), OnThreadTimer);
    if (id != 0)
      mIds.push_back(id);
    return static_cast<TimerId>(id);
  }

  void StopTimer(TimerId id) override
  {
    for (auto it = mIds.begin(); it != mIds.end(); ++it)
      if (*it == static_cast<UINT_PTR>(id))
      {
        KillTimer(nullptr, *it);
        mIds.erase(it);
        return;
      }
  }

private:
  std::vector<UINT_PTR> mIds;
};

} // namespace

std::unique_ptr<TimerSource> MakeHostTimerSource(vst3::FUnknown*)
{
  return std::make_unique<ThreadTimerSource>();
}

} // namespace iplug
