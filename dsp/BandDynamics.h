#pragma once

#include "dsp/Decibels.h"

#include <cmath>

namespace iplug
{

// One band's two-sided dynamics on a stereo pair: pre-gain, pull (upward
// compression below the pull threshold), push (downward compression above the
// push threshold), then width and post-gain.
//
// Threads: one writer. The setters and Process run on the audio thread (the
// setters between blocks), or on another thread while nothing processes.
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

  // Parameter-driven settings.
  void SetPreGain(double factor) { mPreGain = factor; }
  void SetPostGain(double factor) { mPostGain = factor; }
  void SetPullThreshold(double db) { mPullThresholdDb = db; }
  void SetPushThreshold(double db) { mPushThresholdDb = db; }
  void SetWidth(double width) { mWidth = width; }
  void SetMode(int mode);
  // A Mode parameter value truncated toward zero; out of range and NaN give LR.
  static int ModeFromValue(double value);
  // Depth k in 0..1 scales both ratios; the ratio expressions are worked out
  // here, once per change.
  void SetDepth(double depth);
  // Time factor T (0..10) and the sample rate the envelope coefficients are
  // designed for. A rate that is zero, negative or not finite keeps the
  // previous rate.
  void SetTiming(double timeFactor, double sampleRate);

  double PreGain() const { return mPreGain; }
  double PostGain() const { return mPostGain; }
  double PullThreshold() const { return mPullThresholdDb; }
  double PushThreshold() const { return mPushThresholdDb; }
  double Width() const { return mWidth; }
  int GetMode() const { return mMode; }
  double Depth() const { return mDepth; }
  double TimeFactor() const { return mTimeFactor; }
  double SampleRate() const { return mSampleRate; }
  double AttackCoefficient() const { return mAttackCoef; }
  double ReleaseCoefficient() const { return mReleaseCoef; }
  double AttackMs() const { return mAttackMs; }
  double ReleaseMs() const { return mReleaseMs; }

  double PullEnvelope() const { return mPullEnvelope; }
  double PushEnvelope() const { return mPushEnvelope; }

  // One-pole coefficient reaching 10 % to 90 % of a step in timeFactor x timeMs.
  static double EnvelopeCoefficient(double timeFactor, double timeMs, double sampleRate);
  // 1 - 1 / effective ratio for a ratio at depth 0..1.
  static double RatioFactor(double ratio, double depth) { return 1.0 - 1.0 / ((ratio - 1.0) * depth + 1.0); }

  // Audio thread: processes one sample pair in place.
  void Process(double& l, double& r);

  // The settings of one sample while they move (the envelope coefficients
  // stay this band's own). The dynamics gain reaches the mid signal in the
  // proportion gainOnMid and the side in gainOnSide: 1 and 1 in LR, 1 and 0
  // in MID, 0 and 1 in SIDE, so that a proportion between two modes mixes
  // their outputs.
  struct MovingSettings
  {
    double preGain, postGain, pullThresholdDb, pushThresholdDb, pullFactor, pushFactor, width, gainOnMid, gainOnSide;
  };
  void ProcessMoving(double& l, double& r, const MovingSettings& s);

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

  const double mAttackMs;
  const double mReleaseMs;

  double mDepth{1.0};
  double mPullFactor{RatioFactor(kPullRatio, 1.0)}; // 1 - 1/effective pull ratio
  double mPushFactor{RatioFactor(kPushRatio, 1.0)}; // 1 - 1/effective push ratio
  double mAttackCoef{0.0};
  double mReleaseCoef{0.0};
  double mTimeFactor{1.0};
  double mPushThresholdDb{-30.0};
  double mPullThresholdDb{-40.0};
  double mSampleRate{kDefaultSampleRate};
  double mPreGain{1.0};  // linear
  double mPostGain{1.0}; // linear
  double mWidth{1.0};    // side factor 0..2
  int mMode{kModeMid};

  double mPullEnvelope = 0.0; // linear
  double mPushEnvelope = 0.0; // linear
};

inline void BandDynamics::Process(double& l, double& r)
{
  const double pre = mPreGain;
  const int mode = mMode;
  const double attack = mAttackCoef;
  const double release = mReleaseCoef;

  l = l * pre;
  r = r * pre;
  double e = MaxIgnoringNaN(std::fabs(l), std::fabs(r));

  double a = e > mPullEnvelope ? attack : release;
  mPullEnvelope = (1.0 - a) * e + mPullEnvelope * a;
  const double pullLevel = std::log(std::fabs(mPullEnvelope)) * kDbPerNeper;
  const double pullThreshold = mPullThresholdDb;
  if (pullThreshold > pullLevel && pullLevel > kPullFloorDb)
  {
    double g = std::exp(mPullFactor * (pullThreshold - pullLevel) * kNeperPerDb);
    g = g < 0.0 ? 0.0 : g;
    ApplyGain(mode, g, l, r);
    e = e * g; // the push detector sees the level after the pull gain
  }

  a = e > mPushEnvelope ? attack : release;
  mPushEnvelope = (1.0 - a) * e + mPushEnvelope * a;
  const double pushLevel = std::log(std::fabs(mPushEnvelope)) * kDbPerNeper;
  const double pushThreshold = mPushThresholdDb;
  if (pushLevel > pushThreshold)
  {
    double g = std::exp(mPushFactor * (pushThreshold - pushLevel) * kNeperPerDb);
    if (g < 0.0)
      g = 0.0;
    if (g > 1.0)
      g = 1.0;
    ApplyGain(mode, g, l, r);
  }

  const double post = mPostGain;
  const double m = (l + r) * 0.5;
  const double s = ((l - r) * 0.5) * mWidth;
  l = (s + m) * post;
  r = (m - s) * post;
}

inline void BandDynamics::ProcessMoving(double& l, double& r, const MovingSettings& s)
{
  const double attack = mAttackCoef;
  const double release = mReleaseCoef;

  l = l * s.preGain;
  r = r * s.preGain;
  double e = MaxIgnoringNaN(std::fabs(l), std::fabs(r));

  double g = 1.0;
  double a = e > mPullEnvelope ? attack : release;
  mPullEnvelope = (1.0 - a) * e + mPullEnvelope * a;
  const double pullLevel = std::log(std::fabs(mPullEnvelope)) * kDbPerNeper;
  if (s.pullThresholdDb > pullLevel && pullLevel > kPullFloorDb)
  {
    g = std::exp(s.pullFactor * (s.pullThresholdDb - pullLevel) * kNeperPerDb);
    g = g < 0.0 ? 0.0 : g;
    e = e * g;
  }

  a = e > mPushEnvelope ? attack : release;
  mPushEnvelope = (1.0 - a) * e + mPushEnvelope * a;
  const double pushLevel = std::log(std::fabs(mPushEnvelope)) * kDbPerNeper;
  if (pushLevel > s.pushThresholdDb)
  {
    double push = std::exp(s.pushFactor * (s.pushThresholdDb - pushLevel) * kNeperPerDb);
    push = push < 0.0 ? 0.0 : (push > 1.0 ? 1.0 : push);
    g = g * push;
  }

  const double m = ((l + r) * 0.5) * ((g - 1.0) * s.gainOnMid + 1.0);
  const double side = (((l - r) * 0.5) * ((g - 1.0) * s.gainOnSide + 1.0)) * s.width;
  l = (side + m) * s.postGain;
  r = (m - side) * s.postGain;
}

} // namespace iplug
