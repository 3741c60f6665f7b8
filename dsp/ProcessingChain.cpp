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

void ProcessingChain::SetParam(ChainParam param, int band, double value, int rampFrames)
{
  if (!IsBandParam(param))
    band = 0;
  if (!IsBand(band))
    return;
  // Hosts and the plug-in repeat unchanged values every block: nothing to do.
  if (rampFrames <= 0 && mControls.AtRest(param, band, value))
    return;
  mControls.Set(param, band, value, rampFrames);
  ApplySetting(param, band);
}

void ProcessingChain::ApplySetting(ChainParam param, int band)
{
  const double v = mControls.Value(param, band);
  BandDynamics& dynamics = mDynamics[static_cast<size_t>(band)];
  mLaneBandsChanged = true;
  switch (param)
  {
  case ChainParam::kPreGain: dynamics.SetPreGain(GainControlToFactor(v)); break;
  case ChainParam::kPostGain: dynamics.SetPostGain(GainControlToFactor(v)); break;
  case ChainParam::kPullThreshold: dynamics.SetPullThreshold(v); break;
  case ChainParam::kPushThreshold: dynamics.SetPushThreshold(v); break;
  case ChainParam::kWidth: dynamics.SetWidth(v / 100.0); break;
  case ChainParam::kExcite: mExciters[static_cast<size_t>(band)].SetAmount(v / 100.0); break;
  case ChainParam::kMode: dynamics.SetMode(BandDynamics::ModeFromValue(v)); break;
  case ChainParam::kDepth:
    for (BandDynamics& each : mDynamics)
      each.SetDepth(v / 100.0);
    break;
  case ChainParam::kMix: mBlock.mixPercent = v; break;
  case ChainParam::kOutGain: mBlock.outGainControl = v; break;
  case ChainParam::kBypass: mBlock.bypassValue = v; break;
  case ChainParam::kCount: break;
  }
}

void ProcessingChain::SetBandGains(int band, double preGainControl, double postGainControl)
{
  SetParam(ChainParam::kPreGain, band, preGainControl);
  SetParam(ChainParam::kPostGain, band, postGainControl);
}

void ProcessingChain::SetBandThresholds(int band, double pullThresholdDb, double pushThresholdDb)
{
  SetParam(ChainParam::kPullThreshold, band, pullThresholdDb);
  SetParam(ChainParam::kPushThreshold, band, pushThresholdDb);
}

void ProcessingChain::SetBandWidth(int band, double widthPercent)
{
  SetParam(ChainParam::kWidth, band, widthPercent);
}

void ProcessingChain::SetBandExcite(int band, double excitePercent)
{
  SetParam(ChainParam::kExcite, band, excitePercent);
}

void ProcessingChain::SetBandMode(int band, double modeValue)
{
  SetParam(ChainParam::kMode, band, modeValue);
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
  SetParam(ChainParam::kDepth, 0, depthPercent);
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
    mControls.SetSampleRate(sampleRate);
    mLaneCrossoversChanged = true;
    mLaneBandsChanged = true;
  }
  ClearFiltersAndEnvelopes();
  mControls.Settle();
  for (int p = 0; p < static_cast<int>(ChainParam::kCount); ++p)
  {
    for (int band = 0; band < (IsBandParam(static_cast<ChainParam>(p)) ? kNumBands : 1); ++band)
      ApplySetting(static_cast<ChainParam>(p), band);
  }
  mControls.SetLive(false);
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
  SetParam(ChainParam::kOutGain, 0, controls.outGainControl);
  SetParam(ChainParam::kMix, 0, controls.mixPercent);
  SetParam(ChainParam::kBypass, 0, controls.bypassValue);
  ProcessBlock(inputs, outputs, nFrames);
}

void ProcessingChain::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  if (nFrames <= 0)
    return;

  FloatingPointModeGuard floatingPointMode;
  const bool lanes = mPath != EnginePath::Scalar;
  for (int start = 0; start < nFrames;)
  {
    const double* in[2] = {inputs[0] + start, inputs[1] + start};
    double* out[2] = {outputs[0] + start, outputs[1] + start};
    if (!mControls.Moving())
    {
      if (lanes)
        ProcessLanes(in, out, nFrames - start);
      else
        ProcessScalar(in, out, nFrames - start);
      break;
    }
    const int n = std::min(kFrameControlsFrames, nFrames - start);
    mControls.Fill(mFrames, n, [this](ChainParam param, int band) { ApplySetting(param, band); });
    if (lanes)
      ProcessLanesMoving(in, out, n);
    else
      ProcessScalarMoving(in, out, n);
    start += n;
  }
  if (lanes)
    mLanes->chain.RecoverFromNonFiniteState();
  else
    RecoverFromNonFiniteState();
  mControls.SetLive(true);
}

void ProcessingChain::ConfigureLanes()
{
  simd::LaneChain& lanes = mLanes->chain;
  if (mLaneCrossoversChanged)
    lanes.ConfigureCrossovers(*this);
  if (mLaneBandsChanged)
    lanes.ConfigureBands(*this);
  mLaneCrossoversChanged = mLaneBandsChanged = false;
}

void ProcessingChain::ProcessLanes(const double* const* inputs, double* const* outputs, int nFrames)
{
  ConfigureLanes();
  simd::LaneChain& lanes = mLanes->chain;
  lanes.SetBlockControls(mBlock);

  const bool bypassed = mBlock.bypassValue >= 0.5;
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
}

void ProcessingChain::ProcessLanesMoving(const double* const* inputs, double* const* outputs, int nFrames)
{
  ConfigureLanes();
  float* levels = mLanes->meterLevels.data();
  constexpr int kStride = simd::kLaneMeterValuesPerFrame;
  constexpr int kSecond = kStride / 2;
  mLanes->chain.ProcessMovingFrames(inputs[0], inputs[1], outputs[0], outputs[1], nFrames, levels, mFrames);
  if (mFrames.anyProcessed)
    MeterSender::AddFrames(mMeters.data(), kNumMeters, levels, kStride, kSecond, nFrames);
  else
    MeterSender::AddFrames(&mMeters[kOutputMeter], 1, levels + kOutputMeter, kStride, kSecond, nFrames);
}

void ProcessingChain::ProcessScalar(const double* const* inputs, double* const* outputs, int nFrames)
{
  const double outGain = GainControlToFactor(mBlock.outGainControl);
  const double mix = mBlock.mixPercent / 100.0;
  const bool bypassed = mBlock.bypassValue >= 0.5;
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
}

void ProcessingChain::ProcessScalarMoving(const double* const* inputs, double* const* outputs, int nFrames)
{
  const FrameControls& f = mFrames;
  for (int i = 0; i < nFrames; ++i)
  {
    const double xL = inputs[0][i];
    const double xR = inputs[1][i];
    BandFrame band = SplitFrame(xL, xR);
    const BandFrame dry = band;
    ShapeBandsMoving(band, i);
    MixBands(band, dry, f.mix[i]);

    const double pL = ((band[kHighBand][0] + band[kMidBand][0]) + band[kLowBand][0]) * f.outGain[i];
    const double pR = ((band[kHighBand][1] + band[kMidBand][1]) + band[kLowBand][1]) * f.outGain[i];
    const double bypass = f.bypass[i];
    double yL = pL;
    double yR = pR;
    if (bypass >= 1.0)
    {
      yL = xL;
      yR = xR;
    }
    else if (bypass > 0.0)
    {
      // The input as the crossovers take it, so that no NaN leaks into the fade.
      const double sL = std::fabs(xL) <= kMaxInputMagnitude ? xL : 0.0;
      const double sR = std::fabs(xR) <= kMaxInputMagnitude ? xR : 0.0;
      yL = (sL - pL) * bypass + pL;
      yR = (sR - pR) * bypass + pR;
    }
    if (bypass < 1.0)
      MeterBands(band, dry);
    outputs[0][i] = yL;
    outputs[1][i] = yR;
    mMeters[kOutputMeter].AddSample(MaxIgnoringNaN(std::fabs(yL), std::fabs(yR)),
                                    MaxIgnoringNaN(std::fabs(xL), std::fabs(xR)));
  }
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

void ProcessingChain::ShapeBandsMoving(BandFrame& band, int frame)
{
  const FrameControls& f = mFrames;
  for (int b = 0; b < kNumBands; ++b)
  {
    if (!f.excite[b])
      continue;
    double l = band[b][0];
    double r = band[b][1];
    mExciters[static_cast<size_t>(b)].ProcessDriven(l, r, f.drive[b][frame], f.trim[b][frame]);
    const double w = f.exciteWeight[b][frame];
    band[b][0] = w >= 1.0 ? l : (l - band[b][0]) * w + band[b][0];
    band[b][1] = w >= 1.0 ? r : (r - band[b][1]) * w + band[b][1];
  }
  for (int b = 0; b < kNumBands; ++b)
  {
    const BandDynamics::MovingSettings s{f.preGain[b][frame],         f.postGain[b][frame], f.pullThresholdDb[b][frame],
                                         f.pushThresholdDb[b][frame], f.pullFactor[b][frame], f.pushFactor[b][frame],
                                         f.width[b][frame],           f.gainOnMid[b][frame], f.gainOnSide[b][frame]};
    mDynamics[static_cast<size_t>(b)].ProcessMoving(band[b][0], band[b][1], s);
  }
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
