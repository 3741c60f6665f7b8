#include "dsp/ChainControls.h"

#include "dsp/BandDynamics.h"
#include "dsp/BandExciter.h"
#include "dsp/GainControl.h"

#include <cmath>

namespace iplug
{

ChainControls::ChainControls()
{
  // The chain's settings before any parameter reaches it.
  const BandDynamics defaults(1.0, 1.0);
  for (int b = 0; b < kFrameControlsBands; ++b)
  {
    Track(ChainParam::kPullThreshold, b).value = defaults.PullThreshold();
    Track(ChainParam::kPushThreshold, b).value = defaults.PushThreshold();
    Track(ChainParam::kWidth, b).value = defaults.Width() * 100.0;
    Track(ChainParam::kMode, b).value = defaults.GetMode();
  }
  Track(ChainParam::kDepth, 0).value = defaults.Depth() * 100.0;
  Track(ChainParam::kMix, 0).value = 100.0;
  for (int p = 0; p < static_cast<int>(ChainParam::kCount); ++p)
  {
    for (int b = 0; b < (IsBandParam(static_cast<ChainParam>(p)) ? kFrameControlsBands : 1); ++b)
      Retarget(static_cast<ChainParam>(p), b, false);
  }
  const BandExciter off;
  for (int b = 0; b < kFrameControlsBands; ++b)
  {
    mTargets[static_cast<size_t>(b * kBandValues + kDrive)] = off.Drive();
    mTargets[static_cast<size_t>(b * kBandValues + kTrim)] = off.Trim();
  }
  SetSampleRate(48000.0);
}

void ChainControls::SetSampleRate(double sampleRate)
{
  const int frames = static_cast<int>(std::lround(kGlideMs * 0.001 * sampleRate));
  for (Glide& glide : mGlides)
    glide.SetLength(frames);
}

void ChainControls::SetLive(bool live)
{
  mLive = live;
}

void ChainControls::Set(ChainParam p, int band, double value, int rampFrames)
{
  if (p >= ChainParam::kCount || band < 0 || band >= kFrameControlsBands)
    return;
  CurveTrack& track = Track(p, band);
  const bool stepped = p == ChainParam::kMode || p == ChainParam::kBypass;
  if (rampFrames > 0 && mLive && !stepped)
  {
    track.end = value;
    track.step = (value - track.value) / rampFrames;
    track.framesLeft = rampFrames;
    mRamping = mRamping || track.step != 0.0;
    if (track.step == 0.0)
      track.framesLeft = 0;
    return;
  }
  track.value = track.end = value;
  track.step = 0.0;
  track.framesLeft = 0;
  Retarget(p, band, mLive);
}

void ChainControls::Settle()
{
  for (CurveTrack& track : mTracks)
  {
    if (track.framesLeft > 0)
      track.value = track.end;
    track.framesLeft = 0;
    track.step = 0.0;
  }
  mRamping = false;
  for (int p = 0; p < static_cast<int>(ChainParam::kCount); ++p)
  {
    for (int b = 0; b < (IsBandParam(static_cast<ChainParam>(p)) ? kFrameControlsBands : 1); ++b)
      Retarget(static_cast<ChainParam>(p), b, false);
  }
  for (Glide& glide : mGlides)
    glide.Stop();
  mGliding = false;
}

void ChainControls::SetTarget(int value, double target, bool jump)
{
  double& current = mTargets[static_cast<size_t>(value)];
  if (jump)
  {
    Glide& glide = mGlides[static_cast<size_t>(value)];
    glide.Jump(current, target);
    mGliding = mGliding || glide.Active();
  }
  current = target;
}

void ChainControls::Retarget(ChainParam p, int band, bool jump)
{
  // The same expressions as the chain's setters, so that a value at rest
  // equals the setting the chain computes for it.
  const double v = Track(p, band).value;
  const int base = band * kBandValues;
  switch (p)
  {
  case ChainParam::kPreGain: SetTarget(base + kPre, GainControlToFactor(v), jump); break;
  case ChainParam::kPostGain: SetTarget(base + kPost, GainControlToFactor(v), jump); break;
  case ChainParam::kPullThreshold: SetTarget(base + kPullThr, v, jump); break;
  case ChainParam::kPushThreshold: SetTarget(base + kPushThr, v, jump); break;
  case ChainParam::kWidth: SetTarget(base + kWidthValue, v / 100.0, jump); break;
  case ChainParam::kExcite:
  {
    const double amount = v / 100.0;
    // Turning the exciter off fades its output out at the drive it had.
    if (amount > 0.0)
    {
      SetTarget(base + kDrive, BandExciter::DriveFor(amount), jump);
      SetTarget(base + kTrim, BandExciter::TrimFor(amount), jump);
    }
    // On or off is a switch even at the end of a ramp: it always fades.
    SetTarget(base + kExciteWeight, amount > 0.0 ? 1.0 : 0.0, mLive);
    break;
  }
  case ChainParam::kMode:
  {
    const int mode = BandDynamics::ModeFromValue(v);
    SetTarget(base + kGainOnMid, mode != BandDynamics::kModeSide ? 1.0 : 0.0, jump);
    SetTarget(base + kGainOnSide, mode != BandDynamics::kModeMid ? 1.0 : 0.0, jump);
    break;
  }
  case ChainParam::kDepth:
    for (int b = 0; b < kFrameControlsBands; ++b)
    {
      SetTarget(b * kBandValues + kPullFactor, BandDynamics::RatioFactor(BandDynamics::kPullRatio, v / 100.0), jump);
      SetTarget(b * kBandValues + kPushFactor, BandDynamics::RatioFactor(BandDynamics::kPushRatio, v / 100.0), jump);
    }
    break;
  case ChainParam::kMix: SetTarget(kMixValue, v / 100.0, jump); break;
  case ChainParam::kOutGain: SetTarget(kOutGainValue, GainControlToFactor(v), jump); break;
  case ChainParam::kBypass: SetTarget(kBypassWeight, v >= 0.5 ? 1.0 : 0.0, jump); break;
  case ChainParam::kCount: break;
  }
}

void ChainControls::Store(FrameControls& f, int i)
{
  auto next = [this](int value) {
    return mTargets[static_cast<size_t>(value)] + mGlides[static_cast<size_t>(value)].Next();
  };
  auto nonNegative = [](double x) { return x > 0.0 ? x : 0.0; };
  auto weight = [](double x) { return x > 0.0 ? (x < 1.0 ? x : 1.0) : 0.0; };
  for (int b = 0; b < kFrameControlsBands; ++b)
  {
    const int base = b * kBandValues;
    f.preGain[b][i] = nonNegative(next(base + kPre));
    f.postGain[b][i] = nonNegative(next(base + kPost));
    f.pullThresholdDb[b][i] = next(base + kPullThr);
    f.pushThresholdDb[b][i] = next(base + kPushThr);
    f.pullFactor[b][i] = next(base + kPullFactor);
    f.pushFactor[b][i] = next(base + kPushFactor);
    f.width[b][i] = nonNegative(next(base + kWidthValue));
    f.drive[b][i] = nonNegative(next(base + kDrive));
    f.trim[b][i] = nonNegative(next(base + kTrim));
    f.exciteWeight[b][i] = weight(next(base + kExciteWeight));
    f.gainOnMid[b][i] = weight(next(base + kGainOnMid));
    f.gainOnSide[b][i] = weight(next(base + kGainOnSide));
  }
  f.outGain[i] = nonNegative(next(kOutGainValue));
  f.mix[i] = weight(next(kMixValue));
  f.bypass[i] = weight(next(kBypassWeight));
}

} // namespace iplug
