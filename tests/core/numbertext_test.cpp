#include "core/IParam.h"
#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
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
  // Read exactly as the C library reads them (this test runs in the C locale),
  // the zero's sign included; numbers too small to store read as zero, too
  // large as infinity, with or without an exponent, decimal or hexadecimal.
  const std::string zeros(330, '0');
  for (const std::string& text : std::vector<std::string>{"12.5", " \t-3e2xyz", "+.5", "0x10", "0x1.8p1", "--1", "abc", "", "-inf", "-0", "12,5", "1e999", "-1e999",
        "1e-999", "-1e-999", "0x1p-2000", "-0x1p-2000", "0x1p2000", "0x1e5p-2000", "0x0.0001p-1070", "0x1p+2000",
        "4e-320", "1e-99999999999999999999", "1" + zeros, "-1" + zeros + ".5", "0." + zeros + "1",
        "-0." + zeros + "1", "." + zeros + "1e300", "1" + zeros + "e-400", "0x1" + zeros + "p-9000"})
  {
    char* end = nullptr;
    double expected = std::strtod(text.c_str(), &end);
    if (end == text.c_str())
      expected = 0.0; // no number at all: +0 as the C standard says (wine's C library answers "--1" with -0)
    const double parsed = ParseLeadingNumber(text.c_str());
    EXPECT_EQ(parsed, expected) << text;
    EXPECT_EQ(std::signbit(parsed), std::signbit(expected)) << text;
  }
  EXPECT_EQ(ParseLeadingNumber(nullptr), 0.0);
  EXPECT_EQ(ParseLeadingNumber("nan"), 0.0); // never NaN
}

// Hosts may run with a decimal-comma locale; our texts must not change with it.
TEST(NumberText, IgnoresADecimalCommaProcessLocale)
{
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8") &&
      !std::setlocale(LC_ALL, "German_Germany.1252")) // the Windows name
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
