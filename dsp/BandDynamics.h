#pragma once

#include "dsp/Decibels.h"

#include <atomic>
#include <cmath>

namespace iplug
{

// One band's two-sided dynamics on a stereo pair: pre-gain, pull (upward
// compression below the pull threshold), push (downward compression above the
// push threshold), then width and post-gain.
//
// Threads: the setters may run on any thread (parameter handler, reset) while
// Process runs on the audio thread. Every shared field is an atomic written and
// read whole; a change takes effect from the next sample that reads it.
// The envelopes are audio-thread state; Reset only runs while not processing.
class BandDynamics
{
public:
  enum Mode : int
  {
    kModeLR = 0,
    kModeMid = 1,
    kModeSide = 2,
  };

  static constexpr double kPushRatio = 32.0;
  static constexpr double kPullRatio = 4.2;
  static constexpr double kPullFloorDb = -256.0; // no boost at or below this level
  static constexpr double kDefaultSampleRate = 48000.0;

  BandDynamics(double attackMs, double releaseMs);

  // Parameter-driven settings (any thread).
  void SetPreGain(double factor) { mPreGain.store(factor, std::memory_order_relaxed); }
  void SetPostGain(double factor) { mPostGain.store(factor, std::memory_order_relaxed); }
  void SetPullThreshold(double db) { mPullThresholdDb.store(db, std::memory_order_relaxed); }
  void SetPushThreshold(double db) { mPushThresholdDb.store(db, std::memory_order_relaxed); }
  void SetWidth(double width) { mWidth.store(width, std::memory_order_relaxed); }
  void SetMode(int mode);
  // Depth k in 0..1 scales both ratios; the ratio expressions are worked out
  // here, once per change.
  void SetDepth(double depth);
  // Time factor T (0..10) and the sample rate the envelope coefficients are
  // designed for. A rate that is zero, negative or not finite keeps the
  // previous rate.
  void SetTiming(double timeFactor, double sampleRate);

  double PreGain() const { return mPreGain.load(std::memory_order_relaxed); }
  double PostGain() const { return mPostGain.load(std::memory_order_relaxed); }
  double PullThreshold() const { return mPullThresholdDb.load(std::memory_order_relaxed); }
  double PushThreshold() const { return mPushThresholdDb.load(std::memory_order_relaxed); }
  double Width() const { return mWidth.load(std::memory_order_relaxed); }
  int GetMode() const { return mMode.load(std::memory_order_relaxed); }
  double Depth() const { return mDepth.load(std::memory_order_relaxed); }
  double TimeFactor() const { return mTimeFactor.load(std::memory_order_relaxed); }
  double SampleRate() const { return mSampleRate.load(std::memory_order_relaxed); }
  double AttackCoefficient() const { return mAttackCoef.load(std::memory_order_relaxed); }
  double ReleaseCoefficient() const { return mReleaseCoef.load(std::memory_order_relaxed); }
  double AttackMs() const { return mAttackMs; }
  double ReleaseMs() const { return mReleaseMs; }

  double PullEnvelope() const { return mPullEnvelope; }
  double PushEnvelope() const { return mPushEnvelope; }

  // One-pole coefficient reaching 10 % to 90 % of a step in timeFactor x timeMs.
  static double EnvelopeCoefficient(double timeFactor, double timeMs, double sampleRate);

  // Audio thread: processes one sample pair in place.
  void Process(double& l, double& r);

  void Reset()
  {
    mPullEnvelope = 0.0;
    mPushEnvelope = 0.0;
  }

  // Clears an envelope that is NaN or infinite (audio thread, end of block).
  void ResetIfNotFinite()
  {
    if (!std::isfinite(mPullEnvelope))
      mPullEnvelope = 0.0;
    if (!std::isfinite(mPushEnvelope))
      mPushEnvelope = 0.0;
  }

private:
  static void ApplyGain(int mode, double g, double& l, double& r)
  {
    switch (mode)
    {
    case kModeMid:
    {
      double m = (l + r) * 0.5;
      const double s = (l - r) * 0.5;
      m = m * g;
      l = m + s;
      r = m - s;
      break;
    }
    case kModeSide:
    {
      const double m = (l + r) * 0.5;
      double s = (l - r) * 0.5;
      s = s * g;
      l = m + s;
      r = m - s;
      break;
    }
    default:
      l = l * g;
      r = r * g;
      break;
    }
  }

  static double RatioFactor(double ratio, double depth) { return 1.0 - 1.0 / ((ratio - 1.0) * depth + 1.0); }

  const double mAttackMs;
  const double mReleaseMs;

  std::atomic<double> mDepth{1.0};
  std::atomic<double> mPullFactor{RatioFactor(kPullRatio, 1.0)}; // 1 - 1/effective pull ratio
  std::atomic<double> mPushFactor{RatioFactor(kPushRatio, 1.0)}; // 1 - 1/effective push ratio
  std::atomic<double> mAttackCoef{0.0};
  std::atomic<double> mReleaseCoef{0.0};
  std::atomic<double> mTimeFactor{1.0};
  std::atomic<double> mPushThresholdDb{-30.0};
  std::atomic<double> mPullThresholdDb{-40.0};
  std::atomic<double> mSampleRate{kDefaultSampleRate};
  std::atomic<double> mPreGain{1.0};  // linear
  std::atomic<double> mPostGain{1.0}; // linear
  std::atomic<double> mWidth{1.0};    // side factor 0..2
  std::atomic<int> mMode{kModeMid};

  double mPullEnvelope = 0.0; // linear
  double mPushEnvelope = 0.0; // linear
};

inline void BandDynamics::Process(double& l, double& r)
{
  const double pre = mPreGain.load(std::memory_order_relaxed);
  const int mode = mMode.load(std::memory_order_relaxed);
  const double attack = mAttackCoef.load(std::memory_order_relaxed);
  const double release = mReleaseCoef.load(std::memory_order_relaxed);

  l = l * pre;
  r = r * pre;
  double e = MaxIgnoringNaN(std::fabs(l), std::fabs(r));

  double a = e > mPullEnvelope ? attack : release;
  mPullEnvelope = (1.0 - a) * e + mPullEnvelope * a;
  const double pullLevel = std::log(std::fabs(mPullEnvelope)) * kDbPerNeper;
  const double pullThreshold = mPullThresholdDb.load(std::memory_order_relaxed);
  if (pullThreshold > pullLevel && pullLevel > kPullFloorDb)
  {
    double g = std::exp(mPullFactor.load(std::memory_order_relaxed) * (pullThreshold - pullLevel) * kNeperPerDb);
    g = g < 0.0 ? 0.0 : g;
    ApplyGain(mode, g, l, r);
    e = e * g; // the push detector sees the level after the pull gain
  }

  a = e > mPushEnvelope ? attack : release;
  mPushEnvelope = (1.0 - a) * e + mPushEnvelope * a;
  const double pushLevel = std::log(std::fabs(mPushEnvelope)) * kDbPerNeper;
  const double pushThreshold = mPushThresholdDb.load(std::memory_order_relaxed);
  if (pushLevel > pushThreshold)
  {
    double g = std::exp(mPushFactor.load(std::memory_order_relaxed) * (pushThreshold - pushLevel) * kNeperPerDb);
    if (g < 0.0)
      g = 0.0;
    if (g > 1.0)
      g = 1.0;
    ApplyGain(mode, g, l, r);
  }

  const double post = mPostGain.load(std::memory_order_relaxed);
  const double m = (l + r) * 0.5;
  const double s = ((l - r) * 0.5) * mWidth.load(std::memory_order_relaxed);
  l = (s + m) * post;
  r = (m - s) * post;
}

} // namespace iplug
