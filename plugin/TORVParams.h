#pragma once

// Parameter indices of the plug-in; each is also the parameter's VST 3 ID.

enum EParams : int
{
  kPreGainLow = 0,
  kPreGainMid,
  kPreGainHigh,
  kPostGainLow,
  kPostGainMid,
  kPostGainHigh,
  kPullThresholdLow,
  kPullThresholdMid,
  kPullThresholdHigh,
  kPushThresholdLow,
  kPushThresholdMid,
  kPushThresholdHigh,
  kWidthLow,
  kWidthMid,
  kWidthHigh,
  kExciteLow,
  kExciteMid,
  kExciteHigh,
  kModeLow,
  kModeMid,
  kModeHigh,
  kTime,
  kDepth,
  kMix,
  kOutGain,
  kBypass,
  kNumParams
};

static_assert(kBypass == 25 && kNumParams == 26);

constexpr int kNumPresets = 3;
