#include "dsp/BandDynamics.h"

namespace iplug
{

BandDynamics::BandDynamics(double attackMs, double releaseMs)
  : mAttackMs(attackMs)
  , mReleaseMs(releaseMs)
{
  SetTiming(1.0, kDefaultSampleRate);
}

void BandDynamics::SetMode(int mode)
{
  if (mode < kModeLR || mode > kModeSide)
    mode = kModeLR;
  mMode = mode;
}

int BandDynamics::ModeFromValue(double value)
{
  // Truncation toward zero; out-of-range and NaN values never reach the cast.
  if (value >= 2.0)
    return kModeSide;
  if (value >= 0.0)
    return static_cast<int>(value);
  return kModeLR;
}

void BandDynamics::SetDepth(double depth)
{
  mDepth = depth;
  mPullFactor = RatioFactor(kPullRatio, depth);
  mPushFactor = RatioFactor(kPushRatio, depth);
}

double BandDynamics::EnvelopeCoefficient(double timeFactor, double timeMs, double sampleRate)
{
  // With timeFactor 0 the quotient is -infinity and the coefficient 0: the
  // envelope then follows its input instantly.
  return std::exp(-1000.0 * std::log(9.0) / (timeFactor * timeMs * sampleRate));
}

void BandDynamics::SetTiming(double timeFactor, double sampleRate)
{
  if (sampleRate > 0.0 && std::isfinite(sampleRate))
    mSampleRate = sampleRate;
  const double fs = mSampleRate;
  mTimeFactor = timeFactor;
  mAttackCoef = EnvelopeCoefficient(timeFactor, mAttackMs, fs);
  mReleaseCoef = EnvelopeCoefficient(timeFactor, mReleaseMs, fs);
}

} // namespace iplug
