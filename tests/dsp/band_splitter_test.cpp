#include "dsp/BandSplitter.h"
#include "tests/dsp/ReferenceData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace iplug;

namespace
{

struct Bands
{
  double low;
  double mid;
  double high;
};

Bands Split(BandSplitter& splitter, double x)
{
  Bands b{x, x, x};
  splitter.Process(b.low, b.mid, b.high);
  return b;
}

// Steady-state RMS of each band, in dB relative to the input sine's RMS.
Bands BandGainsDb(double sampleRate, double frequencyHz)
{
  BandSplitter splitter;
  EXPECT_TRUE(splitter.Design(sampleRate));
  const int settle = static_cast<int>(sampleRate); // one second
  const int measure = static_cast<int>(sampleRate);
  double sumIn = 0.0;
  Bands sum{0.0, 0.0, 0.0};
  for (int n = 0; n < settle + measure; ++n)
  {
    const double x = std::sin(2.0 * std::numbers::pi * frequencyHz * n / sampleRate);
    const Bands b = Split(splitter, x);
    if (n >= settle)
    {
      sumIn += x * x;
      sum.low += b.low * b.low;
      sum.mid += b.mid * b.mid;
      sum.high += b.high * b.high;
    }
  }
  const auto db = [&](double s) { return 10.0 * std::log10(s / sumIn); };
  return {db(sum.low), db(sum.mid), db(sum.high)};
}

bool AllFinite(const Bands& b)
{
  return std::isfinite(b.low) && std::isfinite(b.mid) && std::isfinite(b.high);
}

} // namespace

TEST(BandSplitter, MatchesReferenceRunAt48k)
{
  const testdata::CsvTable table = testdata::ReadCsv("splitter_48k.csv");
  ASSERT_EQ(table.rows.size(), 2048u);
  BandSplitter splitter;
  ASSERT_TRUE(splitter.Design(48000.0));
  double peak = 0.0;
  for (size_t row = 0; row < table.rows.size(); ++row)
    peak = std::max(peak, std::fabs(table.Number(row, "x")));
  for (size_t row = 0; row < table.rows.size(); ++row)
  {
    const Bands b = Split(splitter, table.Number(row, "x"));
    ASSERT_NEAR(b.low, table.Number(row, "low"), 1e-12 * peak) << "n=" << row;
    ASSERT_NEAR(b.mid, table.Number(row, "mid"), 1e-12 * peak) << "n=" << row;
    ASSERT_NEAR(b.high, table.Number(row, "high"), 1e-12 * peak) << "n=" << row;
  }
}

TEST(BandSplitter, DcGoesToLowAndSilenceAfterResetIsExactlyZero)
{
  BandSplitter splitter;
  ASSERT_TRUE(splitter.Design(48000.0));
  Bands b{};
  for (int n = 0; n < 48000; ++n)
    b = Split(splitter, 0.7);
  EXPECT_NEAR(b.low, 0.7, 1e-9);
  EXPECT_NEAR(b.mid, 0.0, 1e-9);
  EXPECT_NEAR(b.high, 0.0, 1e-12);

  splitter.Reset();
  for (int n = 0; n < 100; ++n)
  {
    b = Split(splitter, 0.0);
    ASSERT_EQ(b.low, 0.0);
    ASSERT_EQ(b.mid, 0.0);
    ASSERT_EQ(b.high, 0.0);
  }
}

TEST(BandSplitter, ChannelsDoNotShareState)
{
  BandSplitter left;
  BandSplitter right;
  ASSERT_TRUE(left.Design(48000.0));
  ASSERT_TRUE(right.Design(48000.0));
  for (int n = 0; n < 4800; ++n)
  {
    Split(left, std::sin(0.01 * n));
    const Bands r = Split(right, 0.0);
    ASSERT_EQ(r.low, 0.0);
    ASSERT_EQ(r.mid, 0.0);
    ASSERT_EQ(r.high, 0.0);
  }
}

TEST(BandSplitter, CrossoversStayAtTheirFrequenciesAtEveryRate)
{
  for (double rate : {44100.0, 48000.0, 96000.0})
  {
    const Bands atLow = BandGainsDb(rate, 88.0);
    EXPECT_NEAR(atLow.low, -3.0103, 0.01) << rate;
    EXPECT_NEAR(atLow.mid, -3.0103, 0.03) << rate; // the 2500 Hz low-pass adds a hair
    const Bands atHigh = BandGainsDb(rate, 2500.0);
    EXPECT_NEAR(atHigh.mid, -3.0103, 0.03) << rate;
    EXPECT_NEAR(atHigh.high, -3.0103, 0.01) << rate;
  }
}

TEST(BandSplitter, OddRatesGiveFiniteDesignsAndInvalidRatesKeepThePreviousOne)
{
  for (double rate : {1234.5678, 384000.0, 8000.0, 100.0, 1.0, 1e-300, 1e300})
  {
    BandSplitter splitter;
    splitter.Design(rate);
    for (int n = 0; n < 1000; ++n)
      ASSERT_TRUE(AllFinite(Split(splitter, std::sin(0.3 * n)))) << rate;
  }

  BandSplitter reference;
  BandSplitter splitter;
  ASSERT_TRUE(reference.Design(48000.0));
  ASSERT_TRUE(splitter.Design(48000.0));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double rate : {0.0, -48000.0, nan, inf, -inf})
    EXPECT_FALSE(splitter.Design(rate)) << rate;
  for (int n = 0; n < 1000; ++n)
  {
    const double x = std::sin(0.05 * n);
    const Bands a = Split(reference, x);
    const Bands b = Split(splitter, x);
    ASSERT_EQ(a.low, b.low);
    ASSERT_EQ(a.mid, b.mid);
    ASSERT_EQ(a.high, b.high);
  }
}

TEST(BandSplitter, RecoversFromNonFiniteInput)
{
  BandSplitter splitter;
  ASSERT_TRUE(splitter.Design(48000.0));
  EXPECT_FALSE(AllFinite(Split(splitter, std::numeric_limits<double>::infinity())));
  splitter.ResetIfNotFinite();
  for (int n = 0; n < 100; ++n)
    ASSERT_TRUE(AllFinite(Split(splitter, 0.5)));
}
