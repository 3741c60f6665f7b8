#include "dsp/BandDynamics.h"
#include "dsp/Decibels.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace iplug;

namespace
{

double DbToLinear(double db)
{
  return std::pow(10.0, db / 20.0);
}

// A band set up as after the parameter defaults: LR, depth 0.5, -40/-30 dB.
void SetDefaults(BandDynamics& band)
{
  band.SetMode(BandDynamics::kModeLR);
  band.SetDepth(0.5);
  band.SetPullThreshold(-40.0);
  band.SetPushThreshold(-30.0);
}

} // namespace

TEST(BandDynamics, PullRaisesQuietSignalByRatioRule)
{
  BandDynamics band(1.5, 28.0);
  SetDefaults(band);
  band.SetTiming(0.0, 48000.0); // instant envelopes: the level is the sample's own
  const double x = DbToLinear(-50.0);
  double l = x;
  double r = -x;
  band.Process(l, r);
  // Effective pull ratio 2.6: (1 - 1/2.6) x 10 dB = 6.1538 dB boost, and the
  // push stage (threshold -30 dB) stays out of it.
  const double gainDb = 20.0 * std::log10(l / x);
  EXPECT_NEAR(gainDb, (1.0 - 1.0 / 2.6) * 10.0, 1e-9);
  EXPECT_NEAR(gainDb, 6.1538, 1e-4);
  EXPECT_DOUBLE_EQ(r, -l);
  // The push detector follows the boosted level.
  EXPECT_NEAR(band.PushEnvelope(), x * std::pow(10.0, gainDb / 20.0), 1e-15);
}

TEST(BandDynamics, PushLowersLoudSignalAtFullDepth)
{
  BandDynamics band(1.5, 28.0);
  SetDefaults(band);
  band.SetDepth(1.0);
  band.SetTiming(0.0, 48000.0);
  double l = DbToLinear(-10.0);
  double r = l;
  band.Process(l, r);
  EXPECT_NEAR(20.0 * std::log10(l), -30.0 + 20.0 / 32.0, 1e-9);
}

TEST(BandDynamics, DepthZeroLeavesOnlyGainsAndWidth)
{
  BandDynamics band(1.5, 28.0);
  SetDefaults(band);
  band.SetDepth(0.0);
  band.SetPreGain(0.5);
  band.SetPostGain(2.0);
  for (int n = 0; n < 2000; ++n)
  {
    const double x = 0.8 * std::sin(0.01 * n) * (n < 1000 ? 1.0 : 1e-4);
    double l = x;
    double r = 0.3 * x;
    band.Process(l, r);
    // pre 0.5, post 2.0, width 1: bit-exact (x*0.5 then mid/side round trip).
    const double pl = x * 0.5;
    const double pr = (0.3 * x) * 0.5;
    const double m = (pl + pr) * 0.5;
    const double s = ((pl - pr) * 0.5) * 1.0;
    ASSERT_EQ(l, (s + m) * 2.0);
    ASSERT_EQ(r, (m - s) * 2.0);
  }
}

TEST(BandDynamics, ModesActOnlyOnTheirComponent)
{
  // MID never changes a pure side signal; SIDE never changes a mono signal,
  // however far from the thresholds they are.
  for (double level : {1e-4, 0.003, 0.9})
  {
    BandDynamics mid(1.5, 28.0);
  SetDefaults(mid);
    mid.SetDepth(1.0);
    mid.SetMode(BandDynamics::kModeMid);
    BandDynamics side(1.5, 28.0);
  SetDefaults(side);
    side.SetDepth(1.0);
    side.SetMode(BandDynamics::kModeSide);
    for (int n = 0; n < 3000; ++n)
    {
      const double x = level * std::sin(0.02 * n);
      double l = x;
      double r = -x;
      mid.Process(l, r);
      ASSERT_EQ(l, x);
      ASSERT_EQ(r, -x);
      l = x;
      r = x;
      side.Process(l, r);
      ASSERT_EQ(l, x);
      ASSERT_EQ(r, x);
    }
    EXPECT_GT(mid.PullEnvelope(), 0.0); // the detector still measures the signal
  }
}

TEST(BandDynamics, WidthZeroGivesMidTimesPostGain)
{
  BandDynamics band(1.5, 28.0);
  SetDefaults(band);
  band.SetDepth(0.0);
  band.SetWidth(0.0);
  band.SetPostGain(0.5);
  double l = 0.3;
  double r = -0.1;
  band.Process(l, r);
  const double mid = (0.3 + -0.1) * 0.5;
  EXPECT_EQ(l, mid * 0.5);
  EXPECT_EQ(r, mid * 0.5);
}

TEST(BandDynamics, ExactZerosStayZerosEvenWithHighestPullThreshold)
{
  BandDynamics band(1.5, 28.0);
  SetDefaults(band);
  band.SetDepth(1.0);
  band.SetPullThreshold(6.0);
  band.SetPreGain(15.0);
  for (int n = 0; n < 1000; ++n)
  {
    double l = 0.0;
    double r = 0.0;
    band.Process(l, r);
    ASSERT_EQ(l, 0.0);
    ASSERT_EQ(r, 0.0);
  }
}

TEST(BandDynamics, ReleaseTimeHoldsInMillisecondsAtEveryRate)
{
  // From a settled envelope of 1, the release to 10 % takes T x release_ms
  // minus the 10 %-90 % ... i.e. the envelope covers 90 % -> 10 % in release_ms.
  for (double rate : {44100.0, 48000.0, 96000.0})
  {
    BandDynamics band(1.5, 28.0);
    band.SetTiming(1.0, rate);
    const double a = band.ReleaseCoefficient();
    // Samples from 0.9 to 0.1 of a step: ln 9 / -ln a.
    const double ms = std::log(9.0) / -std::log(a) / rate * 1000.0;
    EXPECT_NEAR(ms, 28.0, 1e-9) << rate;
    band.SetTiming(2.0, rate);
    EXPECT_NEAR(std::log(9.0) / -std::log(band.AttackCoefficient()) / rate * 1000.0, 3.0, 1e-9) << rate;
  }
  BandDynamics band(1.5, 28.0);
  band.SetTiming(1.0, 96000.0);
  const double before = band.ReleaseCoefficient();
  band.SetTiming(1.0, 0.0); // invalid rate keeps the previous one
  EXPECT_EQ(band.ReleaseCoefficient(), before);
  band.SetTiming(0.0, 96000.0);
  EXPECT_EQ(band.AttackCoefficient(), 0.0);
  EXPECT_EQ(band.ReleaseCoefficient(), 0.0);
}

TEST(BandDynamics, NaNEnvelopeIsClearedAndResetZeroesBoth)
{
  BandDynamics band(1.5, 28.0);
  SetDefaults(band);
  double l = std::nan("");
  double r = 0.0;
  band.Process(l, r); // the detector ignores a NaN next to a number
  EXPECT_EQ(band.PullEnvelope(), 0.0);
  l = std::nan("");
  r = std::nan("");
  band.Process(l, r);
  EXPECT_TRUE(std::isnan(band.PullEnvelope()));
  band.ResetIfNotFinite();
  EXPECT_EQ(band.PullEnvelope(), 0.0);
  EXPECT_EQ(band.PushEnvelope(), 0.0);
  l = 0.5;
  r = 0.5;
  band.Process(l, r);
  EXPECT_TRUE(std::isfinite(l));
  EXPECT_GT(band.PullEnvelope(), 0.0);
  band.Reset();
  EXPECT_EQ(band.PullEnvelope(), 0.0);
  EXPECT_EQ(band.PushEnvelope(), 0.0);
}
