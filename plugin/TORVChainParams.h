#pragma once

// The signal-path half of the parameter handler: which setter of the
// processing chain each parameter drives, in the chain's units.

#include "dsp/ProcessingChain.h"
#include "plugin/TORVDisplay.h"
#include "plugin/TORVParams.h"

namespace torv
{

// Brings the chain in line with parameter paramIdx (an EParams index);
// valueOf(int idx) returns a parameter's real value. The paired parameters
// (pre/post gain, pull/push threshold) are both re-read. Mix, Out Gain and
// Bypass are read per block, and an index outside the list is ignored.
// Allocation- and lock-free when valueOf is.
template <typename ValueOf>
void ApplyParamToChain(iplug::ProcessingChain& chain, int paramIdx, ValueOf&& valueOf)
{
  constexpr int kNumBands = iplug::ProcessingChain::kNumBands;
  if (paramIdx >= kPreGainLow && paramIdx <= kPostGainHigh)
  {
    const int band = paramIdx % kNumBands;
    chain.SetBandGains(band, valueOf(kPreGainLow + band), valueOf(kPostGainLow + band));
  }
  else if (paramIdx >= kPullThresholdLow && paramIdx <= kPushThresholdHigh)
  {
    const int band = (paramIdx - kPullThresholdLow) % kNumBands;
    chain.SetBandThresholds(band, valueOf(kPullThresholdLow + band), valueOf(kPushThresholdLow + band));
  }
  else if (paramIdx >= kWidthLow && paramIdx <= kWidthHigh)
    chain.SetBandWidth(paramIdx - kWidthLow, valueOf(paramIdx));
  else if (paramIdx >= kExciteLow && paramIdx <= kExciteHigh)
    chain.SetBandExcite(paramIdx - kExciteLow, valueOf(paramIdx));
  else if (paramIdx >= kModeLow && paramIdx <= kModeHigh)
    chain.SetBandMode(paramIdx - kModeLow, valueOf(paramIdx));
  else if (paramIdx == kTime)
    chain.SetTimeFactor(TimeFactor(valueOf(kTime)));
  else if (paramIdx == kDepth)
    chain.SetDepth(valueOf(kDepth));
}

} // namespace torv
