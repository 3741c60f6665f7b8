#pragma once

// The signal-path half of the parameter handler: which setting of the
// processing chain each parameter drives, in the chain's units.

#include "dsp/ProcessingChain.h"
#include "plugin/TORVDisplay.h"
#include "plugin/TORVParams.h"

namespace torv
{

// The chain parameter and band a plug-in parameter (an EParams index) drives;
// false for Time (it sets the chain's time factor) and indices outside the list.
inline bool ChainParamOf(int paramIdx, iplug::ChainParam& param, int& band)
{
  using iplug::ChainParam;
  constexpr int kNumBands = iplug::ProcessingChain::kNumBands;
  struct Range
  {
    int first;
    ChainParam param;
  };
  static constexpr Range kBandRanges[] = {
    {kPreGainLow, ChainParam::kPreGain},     {kPostGainLow, ChainParam::kPostGain},
    {kPullThresholdLow, ChainParam::kPullThreshold}, {kPushThresholdLow, ChainParam::kPushThreshold},
    {kWidthLow, ChainParam::kWidth},         {kExciteLow, ChainParam::kExcite},
    {kModeLow, ChainParam::kMode},
  };
  for (const Range& range : kBandRanges)
  {
    if (paramIdx >= range.first && paramIdx < range.first + kNumBands)
    {
      param = range.param;
      band = paramIdx - range.first;
      return true;
    }
  }
  band = 0;
  switch (paramIdx)
  {
  case kDepth: param = ChainParam::kDepth; return true;
  case kMix: param = ChainParam::kMix; return true;
  case kOutGain: param = ChainParam::kOutGain; return true;
  case kBypass: param = ChainParam::kBypass; return true;
  default: return false;
  }
}

// Sets the chain's setting of parameter paramIdx to `value` (the parameter's
// real value): a jump, or with rampFrames > 0 a straight line reaching it at
// the last of those frames (see ProcessingChain::SetParam). Allocation- and
// lock-free; an index outside the list is ignored.
inline void ApplyParamValueToChain(iplug::ProcessingChain& chain, int paramIdx, double value, int rampFrames = 0)
{
  iplug::ChainParam param = iplug::ChainParam::kCount;
  int band = 0;
  if (ChainParamOf(paramIdx, param, band))
    chain.SetParam(param, band, value, rampFrames);
  else if (paramIdx == kTime)
    chain.SetTimeFactor(TimeFactor(value));
}

// Brings the chain in line with parameter paramIdx; valueOf(int idx) returns
// a parameter's real value.
template <typename ValueOf>
void ApplyParamToChain(iplug::ProcessingChain& chain, int paramIdx, ValueOf&& valueOf)
{
  if (paramIdx >= 0 && paramIdx < kNumParams)
    ApplyParamValueToChain(chain, paramIdx, valueOf(paramIdx));
}

} // namespace torv
