#include "vst3/HostTimerSource.h"

#include "vst3/linux/RunLoopTimerSource.h"

namespace iplug
{

std::unique_ptr<TimerSource> MakeHostTimerSource(vst3::FUnknown* hostContext)
{
  if (!hostContext)
    return nullptr;
  void* p = nullptr;
  if (hostContext->queryInterface(vst3::Linux::IRunLoop::iid, &p) != vst3::kResultOk || !p)
    return nullptr;
  auto* runLoop = static_cast<vst3::Linux::IRunLoop*>(p);
  auto source = std::make_unique<RunLoopTimerSource>(runLoop); // takes its own reference
  runLoop->release();
  return source;
}

} // namespace iplug
