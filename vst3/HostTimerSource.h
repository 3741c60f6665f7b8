#pragma once

// The platform service that drives the idle timer, found through the host
// context (on Linux: the host's run loop). Null when the host offers none;
// the timer then never ticks.

#include "core/Timer.h"
#include "vst3/abi/FUnknown.h"

#include <memory>

namespace iplug
{
std::unique_ptr<TimerSource> MakeHostTimerSource(vst3::FUnknown* hostContext);
}
