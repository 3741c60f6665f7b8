#include "vst3/HostTimerSource.h"

namespace iplug
{

// The Windows thread-timer service comes with the Windows editor backend.
std::unique_ptr<TimerSource> MakeHostTimerSource(vst3::FUnknown*)
{
  return nullptr;
}

} // namespace iplug
