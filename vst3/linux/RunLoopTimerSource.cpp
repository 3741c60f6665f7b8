#include "vst3/linux/RunLoopTimerSource.h"

#include "vst3/base/RefCount.h"

#include <algorithm>

namespace iplug
{

class RunLoopTimerSource::Handler final : public vst3::SingleInterfaceObject<vst3::Linux::ITimerHandler>
{
public:
  void VST3_CALL onTimer() override { Timer::DeliverTick(Id()); }

  TimerId Id() const { return reinterpret_cast<TimerId>(this); }
};

RunLoopTimerSource::RunLoopTimerSource(vst3::Linux::IRunLoop* runLoop) : mRunLoop(runLoop)
{
  if (mRunLoop)
    mRunLoop->addRef();
}

RunLoopTimerSource::~RunLoopTimerSource()
{
  while (!mHandlers.empty())
    StopTimer(mHandlers.back()->Id());
  if (mRunLoop)
    mRunLoop->release();
}

TimerId RunLoopTimerSource::StartTimer(int intervalMs)
{
  if (!mRunLoop || intervalMs <= 0)
    return 0;
  auto* handler = new Handler;
  if (mRunLoop->registerTimer(handler, static_cast<vst3::uint64>(intervalMs)) != vst3::kResultOk)
  {
    handler->release();
    return 0;
  }
  mHandlers.push_back(handler);
  return handler->Id();
}

void RunLoopTimerSource::StopTimer(TimerId id)
{
  const auto it = std::find_if(mHandlers.begin(), mHandlers.end(), [id](Handler* h) { return h->Id() == id; });
  if (it == mHandlers.end())
    return;
  Handler* handler = *it;
  mHandlers.erase(it);
  mRunLoop->unregisterTimer(handler);
  handler->release();
}

} // namespace iplug
