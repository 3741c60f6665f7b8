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
  mMode.store(mode, std::memory_order_relaxed);
}

void BandDynamics::SetDepth(double depth)
{
  mDepth.store(depth, std::memory_order_relaxed);
  mPullFactor.store(RatioFactor(kPullRatio, depth), std::memory_order_relaxed);
  mPushFactor.store(RatioFactor(kPushRatio, depth), std::memory_order_relaxed);
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
    mSampleRate.store(sampleRate, std::memory_order_relaxed);
  const double fs = mSampleRate.load(std::memory_order_relaxed);
  mTimeFactor.store(timeFactor, std::memory_order_relaxed);
  mAttackCoef.store(EnvelopeCoefficient(timeFactor, mAttackMs, fs), std::memory_order_relaxed);
  mReleaseCoef.store(EnvelopeCoefficient(timeFactor, mReleaseMs, fs), std::memory_order_relaxed);
}

} // namespace iplug
