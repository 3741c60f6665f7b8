#include "core/IParam.h"
#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

using iplug::FormatFixed;
using iplug::ParseLeadingNumber;

TEST(NumberText, FormatsLikeCLocalePrintf)
{
  EXPECT_EQ(FormatFixed(-6.0206, 2), "-6.02");
  EXPECT_EQ(FormatFixed(0.125, 2), "0.12"); // exact binary half: round to even, as printf
  EXPECT_EQ(FormatFixed(24.0, 6), "24.000000");
  EXPECT_EQ(FormatFixed(-HUGE_VAL, 1), "-inf");
  EXPECT_EQ(iplug::FormatInteger(-1000), "-1000");
}

TEST(NumberText, ParsesTheLeadingNumberLikeAtof)
{
  EXPECT_EQ(ParseLeadingNumber("12.5"), 12.5);
  EXPECT_EQ(ParseLeadingNumber(" \t-3e2xyz"), -300.0);
  EXPECT_EQ(ParseLeadingNumber("+.5"), 0.5);
  EXPECT_EQ(ParseLeadingNumber("0x10"), 16.0);
  EXPECT_EQ(ParseLeadingNumber("--1"), 0.0);
  EXPECT_EQ(ParseLeadingNumber("abc"), 0.0);
  EXPECT_EQ(ParseLeadingNumber(""), 0.0);
  EXPECT_EQ(ParseLeadingNumber(nullptr), 0.0);
  EXPECT_EQ(ParseLeadingNumber("nan"), 0.0);
  EXPECT_EQ(ParseLeadingNumber("-inf"), -HUGE_VAL);
  EXPECT_EQ(ParseLeadingNumber("1e999"), HUGE_VAL);
  EXPECT_EQ(ParseLeadingNumber("1e-999"), 0.0);
  EXPECT_EQ(ParseLeadingNumber("12,5"), 12.0); // the comma is never a decimal separator
}

// Hosts may run with a decimal-comma locale; our texts must not change with it.
TEST(NumberText, IgnoresADecimalCommaProcessLocale)
{
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
    GTEST_SKIP() << "de_DE.UTF-8 locale is not available";

  EXPECT_EQ(FormatFixed(-6.0206, 2), "-6.02");
  EXPECT_EQ(ParseLeadingNumber("12.5"), 12.5);

  iplug::IParam p;
  p.DeclareDouble("Thr", -40.0, -80.0, 6.0, 0.5);
  std::string out;
  p.FormatValue(-37.25, false, out, true);
  const double parsed = p.ParseText("12.5");

  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(out, "-37.2");
  EXPECT_EQ(parsed, 6.0); // clamped to the maximum, having read 12.5
}
