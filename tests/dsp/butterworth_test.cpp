#include "dsp/ButterworthDesign.h"
#include "dsp/ButterworthFilter.h"
#include "tests/dsp/ReferenceData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace iplug;

namespace
{

ButterworthCoefficients Design(const std::string& kind, double fs, double cutoffHz)
{
  ButterworthCoefficients c;
  const auto result = kind == "lowpass" ? DesignButterworthLowPass4(cutoffHz / fs, c)
                                        : DesignButterworthHighPass4(cutoffHz / fs, c);
  EXPECT_EQ(result, ButterworthDesignResult::Ok) << kind << " " << fs << " " << cutoffHz;
  return c;
}

void ExpectRelativelyNear(double expected, double actual, const std::string& what)
{
  const double scale = std::max(std::fabs(expected), 1e-300);
  EXPECT_LE(std::fabs(actual - expected) / scale, 1e-12) << what << ": expected " << expected << " got " << actual;
}

} // namespace

TEST(ButterworthDesign, CoefficientsMatchReferenceTable)
{
  const testdata::CsvTable table = testdata::ReadCsv("butterworth_coefficients.csv");
  ASSERT_EQ(table.rows.size(), 40u);
  for (size_t row = 0; row < table.rows.size(); ++row)
  {
    const std::string kind = table.Text(row, "kind");
    const ButterworthCoefficients c = Design(kind, table.Number(row, "fs"), table.Number(row, "cutoff_hz"));
    const auto& s = c.sections[static_cast<size_t>(table.Number(row, "section"))];
    const std::string what = kind + " row " + std::to_string(row);
    ExpectRelativelyNear(table.Number(row, "b0"), s.b0, what + " b0");
    ExpectRelativelyNear(table.Number(row, "b1"), s.b1, what + " b1");
    ExpectRelativelyNear(table.Number(row, "b2"), s.b2, what + " b2");
    ExpectRelativelyNear(table.Number(row, "a1"), s.a1, what + " a1");
    ExpectRelativelyNear(table.Number(row, "a2"), s.a2, what + " a2");
  }
}

TEST(ButterworthFilter, ImpulseResponsesMatchReference)
{
  const testdata::CsvTable table = testdata::ReadCsv("butterworth_impulse.csv");
  ASSERT_EQ(table.rows.size(), 2048u);
  ButterworthFilter4 filter;
  std::string currentKey;
  double peak = 1.0;
  for (size_t row = 0; row < table.rows.size(); ++row)
  {
    const std::string key = table.Text(row, "kind") + table.Text(row, "fs") + table.Text(row, "cutoff_hz");
    if (key != currentKey)
    {
      currentKey = key;
      filter = ButterworthFilter4();
      filter.SetCoefficients(Design(table.Text(row, "kind"), table.Number(row, "fs"), table.Number(row, "cutoff_hz")));
    }
    const double x = table.Number(row, "n") == 0.0 ? 1.0 : 0.0;
    EXPECT_NEAR(filter.Process(x), table.Number(row, "y"), 1e-12 * peak) << key << " n=" << table.Text(row, "n");
  }
}

TEST(ButterworthDesign, RejectsCutoffsOutsideTheBandAndKeepsPreviousDesign)
{
  ButterworthCoefficients c;
  ASSERT_EQ(DesignButterworthLowPass4(0.1, c), ButterworthDesignResult::Ok);
  const ButterworthCoefficients before = c;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();

  EXPECT_EQ(DesignButterworthLowPass4(0.5, c), ButterworthDesignResult::CutoffNotBelowNyquist);
  EXPECT_EQ(DesignButterworthHighPass4(0.7, c), ButterworthDesignResult::CutoffNotBelowNyquist);
  EXPECT_EQ(DesignButterworthLowPass4(nan, c), ButterworthDesignResult::CutoffNotBelowNyquist);
  EXPECT_EQ(DesignButterworthLowPass4(inf, c), ButterworthDesignResult::CutoffNotBelowNyquist);
  EXPECT_EQ(DesignButterworthLowPass4(-0.01, c), ButterworthDesignResult::CutoffNegative);
  // High-pass at 0 has infinite pre-warping: no finite design exists.
  EXPECT_EQ(DesignButterworthHighPass4(0.0, c), ButterworthDesignResult::NonFiniteCoefficients);
  EXPECT_EQ(c.sections[0].a1, before.sections[0].a1);
  EXPECT_EQ(c.sections[0].b0, before.sections[0].b0);

  // Low-pass at 0 is accepted and silent, as the reference library does.
  ASSERT_EQ(DesignButterworthLowPass4(0.0, c), ButterworthDesignResult::Ok);
  EXPECT_EQ(c.sections[0].b0, 0.0);
  EXPECT_EQ(DesignButterworthLowPass4(-0.0, c), ButterworthDesignResult::Ok);
}

TEST(ButterworthFilter, UndesignedPassesThroughAndRedesignKeepsState)
{
  ButterworthFilter4 filter;
  EXPECT_EQ(filter.Process(0.25), 0.25);
  EXPECT_EQ(filter.Process(-3.0), -3.0);

  ButterworthCoefficients lp;
  ASSERT_EQ(DesignButterworthLowPass4(0.01, lp), ButterworthDesignResult::Ok);
  ButterworthFilter4 a;
  ButterworthFilter4 b;
  a.SetCoefficients(lp);
  b.SetCoefficients(lp);
  for (int i = 0; i < 10; ++i)
  {
    a.Process(1.0);
    b.Process(1.0);
  }
  b.SetCoefficients(lp); // a redesign alone must not clear the delay line
  EXPECT_EQ(a.Process(1.0), b.Process(1.0));
  b.Reset();
  EXPECT_NE(a.Process(0.0), 0.0);
  EXPECT_EQ(b.Process(0.0), 0.0);
}

TEST(ButterworthFilter, NonFiniteStateIsClearedOnRequest)
{
  ButterworthCoefficients hp;
  ASSERT_EQ(DesignButterworthHighPass4(0.05, hp), ButterworthDesignResult::Ok);
  ButterworthFilter4 filter;
  filter.SetCoefficients(hp);
  filter.Process(0.5);
  EXPECT_FALSE(filter.ResetIfNotFinite());
  filter.Process(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(std::isnan(filter.Process(0.0)));
  EXPECT_TRUE(filter.ResetIfNotFinite());
  EXPECT_EQ(filter.Process(0.0), 0.0);
}
