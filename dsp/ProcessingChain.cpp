#include "dsp/ProcessingChain.h"

#include "dsp/Decibels.h"
#include "dsp/FloatingPointModeGuard.h"
#include "dsp/GainControl.h"
#include "dsp/simd/LaneChain.h"
#include "dsp/simd/LaneKernelSet.h"

#include <algorithm>
#include <cmath>

namespace iplug
{
namespace
{

bool IsUsableSampleRate(double sampleRate)
{
  return sampleRate > 0.0 && std::isfinite(sampleRate);
}

bool IsBand(int band)
{
  return band >= 0 && band < ProcessingChain::kNumBands;
}

} // namespace

struct ProcessingChain::LanePath
{
  // Frames per call of the lane code: its meter levels for that many frames
  // stay in the first-level cache until they reach the meters.
  static constexpr int kFrames = 256;

  simd::LaneChain chain;
  alignas(32) std::array<float, static_cast<size_t>(kFrames) * simd::kLaneMeterValuesPerFrame> meterLevels{};
};

ProcessingChain::~ProcessingChain() = default;

ProcessingChain::ProcessingChain(double sampleRate)
  : mDynamics{BandDynamics(kAttackMs[0], kReleaseMs[0]), BandDynamics(kAttackMs[1], kReleaseMs[1]),
              BandDynamics(kAttackMs[2], kReleaseMs[2])}
  , mMeters{MeterSender(kMeterTagLow), MeterSender(kMeterTagMid), MeterSender(kMeterTagHigh),
            MeterSender(kMeterTagOutput)}
  , mSampleRate(IsUsableSampleRate(sampleRate) ? sampleRate : kDefaultSampleRate)
  , mLanes(std::make_unique<LanePath>())
{
  const double fs = mSampleRate;
  for (BandDynamics& band : mDynamics)
    band.SetTiming(1.0, fs);
  for (BandSplitter& splitter : mSplitters)
    splitter.Design(fs);
  for (MeterSender& meter : mMeters)
    meter.SetWindow(kMeterWindowMs, fs);
}

void ProcessingChain::SetBandGains(int band, double preGainControl, double postGainControl)
{
  if (!IsBand(band))
    return;
  mLaneBandsChanged = true;
  mDynamics[static_cast<size_t>(band)].SetPreGain(GainControlToFactor(preGainControl));
  mDynamics[static_cast<size_t>(band)].SetPostGain(GainControlToFactor(postGainControl));
}

void ProcessingChain::SetBandThresholds(int band, double pullThresholdDb, double pushThresholdDb)
{
  if (!IsBand(band))
    return;
  mLaneBandsChanged = true;
  mDynamics[static_cast<size_t>(band)].SetPullThreshold(pullThresholdDb);
  mDynamics[static_cast<size_t>(band)].SetPushThreshold(pushThresholdDb);
}

void ProcessingChain::SetBandWidth(int band, double widthPercent)
{
  if (!IsBand(band))
    return;
  mLaneBandsChanged = true;
  mDynamics[static_cast<size_t>(band)].SetWidth(widthPercent / 100.0);
}

void ProcessingChain::SetBandExcite(int band, double excitePercent)
{
  if (!IsBand(band))
    return;
  mLaneBandsChanged = true;
  mExciters[static_cast<size_t>(band)].SetAmount(excitePercent / 100.0);
}

void ProcessingChain::SetBandMode(int band, double modeValue)
{
  if (!IsBand(band))
    return;
  mLaneBandsChanged = true;
  // Truncation toward zero; out-of-range and NaN values never reach the cast.
  int mode = BandDynamics::kModeLR;
  if (modeValue >= 2.0)
    mode = BandDynamics::kModeSide;
  else if (modeValue >= 0.0)
    mode = static_cast<int>(modeValue);
  mDynamics[static_cast<size_t>(band)].SetMode(mode);
}

void ProcessingChain::SetTimeFactor(double timeFactor)
{
  mTimeFactor = timeFactor;
  mLaneBandsChanged = true;
  const double fs = mSampleRate;
  for (BandDynamics& band : mDynamics)
    band.SetTiming(timeFactor, fs);
}

void ProcessingChain::SetDepth(double depthPercent)
{
  mLaneBandsChanged = true;
  for (BandDynamics& band : mDynamics)
    band.SetDepth(depthPercent / 100.0);
}

void ProcessingChain::Reset(double sampleRate)
{
  if (IsUsableSampleRate(sampleRate))
  {
    mSampleRate = sampleRate;
    for (BandSplitter& splitter : mSplitters)
      splitter.Design(sampleRate);
    const double factor = mTimeFactor;
    for (BandDynamics& band : mDynamics)
      band.SetTiming(factor, sampleRate);
    for (MeterSender& meter : mMeters)
      meter.SetWindow(kMeterWindowMs, sampleRate);
    mLaneCrossoversChanged = true;
    mLaneBandsChanged = true;
  }
  ClearFiltersAndEnvelopes();
}

void ProcessingChain::SetEnginePath(EnginePath path)
{
  if (path == mPath)
    return;
  mPath = path;
  mLanes->chain.SetKernels(path == EnginePath::VectorSse2 ? simd::Sse2LaneKernels() : simd::BestLaneKernels());
  ClearFiltersAndEnvelopes();
}

void ProcessingChain::ClearFiltersAndEnvelopes()
{
  for (BandDynamics& band : mDynamics)
    band.Reset();
  for (BandSplitter& splitter : mSplitters)
    splitter.Reset();
  mLanes->chain.ResetCrossoversAndEnvelopes();
}

void ProcessingChain::ProcessBlock(double** inputs, double** outputs, int nFrames, const BlockControls& controls)
{
  if (nFrames <= 0)
    return;

  FloatingPointModeGuard floatingPointMode;
  if (mPath != EnginePath::Scalar)
    ProcessLanes(inputs, outputs, nFrames, controls);
  else
    ProcessScalar(inputs, outputs, nFrames, controls);
}

void ProcessingChain::ProcessLanes(double** inputs, double** outputs, int nFrames, const BlockControls& controls)
{
  simd::LaneChain& lanes = mLanes->chain;
  if (mLaneCrossoversChanged)
    lanes.ConfigureCrossovers(*this);
  if (mLaneBandsChanged)
    lanes.ConfigureBands(*this);
  mLaneCrossoversChanged = mLaneBandsChanged = false;
  lanes.SetBlockControls(controls);

  const bool bypassed = controls.bypassValue >= 0.5;
  float* levels = mLanes->meterLevels.data();
  constexpr int kStride = simd::kLaneMeterValuesPerFrame;
  constexpr int kSecond = kStride / 2; // levels: processed / output values, then dry / input values
  for (int start = 0; start < nFrames; start += LanePath::kFrames)
  {
    const int n = std::min(LanePath::kFrames, nFrames - start);
    lanes.ProcessFrames(inputs[0] + start, inputs[1] + start, outputs[0] + start, outputs[1] + start, n, levels);
    // Bypassed, only the output meter runs (it shows the input that passes).
    if (bypassed)
      MeterSender::AddFrames(&mMeters[kOutputMeter], 1, levels + kOutputMeter, kStride, kSecond, n);
    else
      MeterSender::AddFrames(mMeters.data(), kNumMeters, levels, kStride, kSecond, n);
  }
  lanes.RecoverFromNonFiniteState();
}

void ProcessingChain::ProcessScalar(double** inputs, double** outputs, int nFrames, const BlockControls& controls)
{
  const double outGain = GainControlToFactor(controls.outGainControl);
  const double mix = controls.mixPercent / 100.0;
  const bool bypassed = controls.bypassValue >= 0.5;
  const double* inL = inputs[0];
  const double* inR = inputs[1];
  double* outL = outputs[0];
  double* outR = outputs[1];
  for (int i = 0; i < nFrames; ++i)
  {
    const double xL = inL[i];
    const double xR = inR[i];
    BandFrame band = SplitFrame(xL, xR);
    const BandFrame dry = band;
    ShapeBands(band);
    MixBands(band, dry, mix);

    double yL;
    double yR;
    if (bypassed)
    {
      // The chain above still ran, so its state follows the input and
      // switching Bypass off does not jump.
      yL = xL;
      yR = xR;
    }
    else
    {
      yL = ((band[kHighBand][0] + band[kMidBand][0]) + band[kLowBand][0]) * outGain;
      yR = ((band[kHighBand][1] + band[kMidBand][1]) + band[kLowBand][1]) * outGain;
      MeterBands(band, dry);
    }
    outL[i] = yL;
    outR[i] = yR;
    mMeters[kOutputMeter].AddSample(MaxIgnoringNaN(std::fabs(yL), std::fabs(yR)),
                                    MaxIgnoringNaN(std::fabs(xL), std::fabs(xR)));
  }

  RecoverFromNonFiniteState();
}

ProcessingChain::BandFrame ProcessingChain::SplitFrame(double xL, double xR)
{
  // The comparisons are false for NaN, so it enters as silence too.
  BandFrame band;
  band[kLowBand][0] = band[kMidBand][0] = band[kHighBand][0] = std::fabs(xL) <= kMaxInputMagnitude ? xL : 0.0;
  band[kLowBand][1] = band[kMidBand][1] = band[kHighBand][1] = std::fabs(xR) <= kMaxInputMagnitude ? xR : 0.0;
  mSplitters[0].Process(band[kLowBand][0], band[kMidBand][0], band[kHighBand][0]);
  mSplitters[1].Process(band[kLowBand][1], band[kMidBand][1], band[kHighBand][1]);
  return band;
}

void ProcessingChain::ShapeBands(BandFrame& band)
{
  // All exciters first, then all dynamics, each in band order.
  for (int b = 0; b < kNumBands; ++b)
    mExciters[static_cast<size_t>(b)].Process(band[b][0], band[b][1]);
  for (int b = 0; b < kNumBands; ++b)
    mDynamics[static_cast<size_t>(b)].Process(band[b][0], band[b][1]);
}

void ProcessingChain::MixBands(BandFrame& band, const BandFrame& dry, double mix)
{
  for (int b = 0; b < kNumBands; ++b)
  {
    band[b][0] = (band[b][0] - dry[b][0]) * mix + dry[b][0];
    band[b][1] = (band[b][1] - dry[b][1]) * mix + dry[b][1];
  }
}

void ProcessingChain::MeterBands(const BandFrame& band, const BandFrame& dry)
{
  for (int b = 0; b < kNumBands; ++b)
  {
    mMeters[static_cast<size_t>(b)].AddSample(MaxIgnoringNaN(std::fabs(band[b][0]), std::fabs(band[b][1])),
                                              MaxIgnoringNaN(std::fabs(dry[b][0]), std::fabs(dry[b][1])));
  }
}

void ProcessingChain::RecoverFromNonFiniteState()
{
  for (BandSplitter& splitter : mSplitters)
    splitter.ResetIfNotFinite();
  for (BandExciter& exciter : mExciters)
    exciter.ResetIfNotFinite();
  for (BandDynamics& band : mDynamics)
    band.ResetIfNotFinite();
}

} // namespace iplug
