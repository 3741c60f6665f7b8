#include "dsp/BandExciter.h"
#include "dsp/Oversampler.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace iplug;

TEST(BandExciter, ZeroAmountIsBitIdentical)
{
  BandExciter exciter;
  for (int n = 0; n < 1000; ++n)
  {
    const double x = std::sin(0.37 * n) * 1.3;
    double l = x;
    double r = -x * 0.25;
    exciter.Process(l, r);
    ASSERT_EQ(l, x);
    ASSERT_EQ(r, -x * 0.25);
  }
}

TEST(BandExciter, DriveAndTrimFollowSquareRootOfAmount)
{
  BandExciter exciter;
  exciter.SetAmount(0.25);
  EXPECT_NEAR(20.0 * std::log10(exciter.Drive()), 24.0, 1e-9);
  EXPECT_NEAR(20.0 * std::log10(exciter.Trim()), -12.0, 1e-9);
  exciter.SetAmount(1.0);
  EXPECT_NEAR(exciter.Drive(), 251.19, 0.01);
  EXPECT_NEAR(exciter.Trim(), 0.0631, 0.0001);
}

TEST(BandExciter, FullExciteSaturatesNearTrim)
{
  BandExciter exciter;
  exciter.SetAmount(1.0);
  double peak = 0.0;
  for (int n = 0; n < 48000; ++n)
  {
    double l = std::sin(2.0 * 3.141592653589793 * 100.0 * n / 48000.0);
    double r = std::sin(2.0 * 3.141592653589793 * 2500.0 * n / 48000.0);
    exciter.Process(l, r);
    peak = std::max({peak, std::fabs(l), std::fabs(r)});
  }
  EXPECT_GT(peak, 0.05);
  // tanh bounds the shaper at +-trim; the half-band filters overshoot on the
  // clipped edges by under 50 %.
  EXPECT_LT(peak, 0.0631 * 1.5);
}

TEST(Oversampler, IdentitySettlesToConstantInput)
{
  Oversampler left, right;
  double l = 0.0, r = 0.0;
  for (int n = 0; n < 20000; ++n)
  {
    l = 0.75;
    r = -0.25;
    Oversampler::ProcessTwo(left, l, right, r, [](double u) { return u; });
  }
  EXPECT_NEAR(l, 0.75, 1e-12);
  EXPECT_NEAR(r, -0.25, 1e-12);
}

TEST(BandExciter, PausedExciterResumesWithItsMemories)
{
  // Two exciters fed the same history; one is switched off for a while and the
  // input it misses is ignored. Its memories stay as they were.
  BandExciter a;
  BandExciter b;
  a.SetAmount(0.5);
  b.SetAmount(0.5);
  for (int n = 0; n < 100; ++n)
  {
    double l = std::sin(0.1 * n), r = l;
    double l2 = l, r2 = r;
    a.Process(l, r);
    b.Process(l2, r2);
  }
  b.SetAmount(0.0);
  for (int n = 0; n < 50; ++n)
  {
    double l = 0.9, r = 0.9;
    b.Process(l, r);
  }
  b.SetAmount(0.5);
  for (int n = 100; n < 200; ++n)
  {
    double l = std::sin(0.1 * n), r = l;
    double l2 = l, r2 = r;
    a.Process(l, r);
    b.Process(l2, r2);
    ASSERT_EQ(l, l2);
    ASSERT_EQ(r, r2);
  }
}

TEST(BandExciter, RecoversFromInfiniteInput)
{
  BandExciter exciter;
  exciter.SetAmount(1.0);
  double l = INFINITY, r = -INFINITY;
  exciter.Process(l, r);
  l = 0.1;
  r = 0.1;
  exciter.Process(l, r);
  EXPECT_FALSE(std::isfinite(l));
  exciter.ResetIfNotFinite();
  for (int n = 0; n < 100; ++n)
  {
    l = 0.1;
    r = 0.1;
    exciter.Process(l, r);
    ASSERT_TRUE(std::isfinite(l) && std::isfinite(r));
  }
}

TEST(Oversampler, ChannelsStayIndependent)
{
  // Each channel's result depends on its own input alone, whatever runs beside it.
  Oversampler a1, a2, b1, b2;
  const auto f = [](double u) { return std::tanh(3.0 * u) * 0.5; };
  for (int n = 0; n < 500; ++n)
  {
    double l1 = std::sin(0.21 * n), r1 = std::cos(0.05 * n);
    double l2 = r1, r2 = l1;
    Oversampler::ProcessTwo(a1, l1, a2, r1, f);
    Oversampler::ProcessTwo(b1, l2, b2, r2, f);
    ASSERT_EQ(l1, r2);
    ASSERT_EQ(r1, l2);
  }
}
