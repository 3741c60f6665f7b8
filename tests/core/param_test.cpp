#include "core/IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using iplug::IParam;

namespace
{

std::string Format(const IParam& p, double v, bool withDisplayText = true)
{
  std::string out;
  p.FormatValue(v, false, out, withDisplayText);
  return out;
}

} // namespace

TEST(IParam, FreshParameterHasDocumentedDefaults)
{
  IParam p;
  EXPECT_EQ(p.Type(), IParam::kTypeNone);
  EXPECT_EQ(p.Unit(), IParam::kUnitCustom);
  EXPECT_EQ(p.GetValue(), 0.0);
  EXPECT_EQ(p.GetMin(), 0.0);
  EXPECT_EQ(p.GetMax(), 1.0);
  EXPECT_EQ(p.GetStep(), 1.0);
  EXPECT_EQ(p.GetDisplayPrecision(), 0);
  EXPECT_STREQ(p.GetName(), "");
  EXPECT_EQ(p.GetShape().ScaleKind(), 0);
  EXPECT_EQ(p.NDisplayTexts(), 0);
}

TEST(IParam, DeclareDoubleSetsRangePrecisionAndValue)
{
  IParam p;
  p.DeclareDouble("Gain", 0.5, -1.0, 1.0, 0.01, "dB", 0, "", IParam::ShapeLinear(), IParam::kUnitDB);
  EXPECT_EQ(p.Type(), IParam::kTypeDouble);
  EXPECT_EQ(p.Unit(), IParam::kUnitDB);
  EXPECT_EQ(p.GetDisplayPrecision(), 2);
  EXPECT_EQ(p.GetValue(), 0.5);
  EXPECT_EQ(Format(p, 0.5), "0.50");
  EXPECT_STREQ(p.GetLabel(), "dB");

  IParam half;
  half.DeclareDouble("Thr", -40.0, -80.0, 6.0, 0.5);
  EXPECT_EQ(half.GetDisplayPrecision(), 1);
  EXPECT_EQ(Format(half, -40.0), "-40.0");

  IParam whole;
  whole.DeclareDouble("Pct", 0.0, -100.0, 100.0, 1.0);
  EXPECT_EQ(whole.GetDisplayPrecision(), 0);
  EXPECT_EQ(Format(whole, 99.5), "100");
  EXPECT_EQ(Format(whole, -0.4), "0");
  EXPECT_EQ(Format(whole, -99.5), "-100");

  // Precision stops at 6 decimals even for a step that never becomes whole.
  IParam fine;
  fine.DeclareDouble("Fine", 0.0, 0.0, 1.0, 1e-9);
  EXPECT_EQ(fine.GetDisplayPrecision(), 6);
}

TEST(IParam, RangeNarrowerThanOneStepIsWidened)
{
  IParam p;
  p.DeclareDouble("Narrow", 0.0, 5.0, 5.0, 2.0);
  EXPECT_EQ(p.GetMin(), 5.0);
  EXPECT_EQ(p.GetMax(), 7.0);
  EXPECT_EQ(p.GetValue(), 5.0); // default 0 clamped into the range
}

TEST(IParam, NegativeZeroNeverPrintsASign)
{
  IParam p;
  p.DeclareDouble("P", 0.0, -1.0, 1.0, 0.01);
  EXPECT_EQ(Format(p, -0.0), "0.00");
  IParam q;
  q.DeclareDouble("Q", 0.0, -1.0, 1.0, 1.0);
  EXPECT_EQ(Format(q, -0.0), "0");
}

TEST(IParam, NegateDisplayAndShowSignFlags)
{
  IParam p;
  p.DeclareDouble("Neg", 0.0, -10.0, 10.0, 0.1, "", IParam::kFlagNegateDisplay | IParam::kFlagShowSign);
  EXPECT_EQ(Format(p, -2.5), "+2.5");
  EXPECT_EQ(Format(p, 2.5), "-2.5");
  EXPECT_EQ(Format(p, 0.0), "0.0");
  EXPECT_EQ(p.ParseText("3"), -3.0);

  // ShowSign has no effect at precision 0.
  IParam q;
  q.DeclareDouble("Int", 0.0, -10.0, 10.0, 1.0, "", IParam::kFlagShowSign);
  EXPECT_EQ(Format(q, 3.0), "3");
}

TEST(IParam, ValueArithmeticClampsAndMaps)
{
  IParam p;
  p.DeclareDouble("P", 0.0, 0.0, 100.0, 1.0);
  p.SetFromNormalized(1.5);
  EXPECT_EQ(p.GetValue(), 100.0);
  p.SetFromNormalized(-0.2);
  EXPECT_EQ(p.GetValue(), 0.0);
  p.SetValue(250.0);
  EXPECT_EQ(p.GetValue(), 100.0);
  // Not stepped: the step only sets the display precision.
  p.SetValue(12.34);
  EXPECT_EQ(p.GetValue(), 12.34);

  IParam thr;
  thr.DeclareDouble("Thr", -40.0, -80.0, 6.0, 0.5);
  EXPECT_EQ(thr.RealToNorm(-80.0), 0.0);
  EXPECT_EQ(thr.RealToNorm(6.0), 1.0);
  EXPECT_EQ(thr.RealToNorm(-37.0), 0.5);
  EXPECT_EQ(thr.RealToNorm(100.0), 1.0);
  EXPECT_EQ(thr.NormToReal(0.5), -37.0);
  EXPECT_EQ(thr.NormToReal(2.0), 6.0);
  EXPECT_EQ(thr.GetDefaultValue(), -40.0);
  EXPECT_DOUBLE_EQ(thr.GetDefaultValue(true), 40.0 / 86.0);
}

TEST(IParam, NonFiniteValuesNeverReachTheStoredValue)
{
  IParam p;
  p.DeclareDouble("P", 50.0, 0.0, 100.0, 1.0);
  p.SetValue(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(p.GetValue(), 0.0);
  p.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(p.GetValue(), 0.0);
  p.SetValue(std::numeric_limits<double>::infinity());
  EXPECT_EQ(p.GetValue(), 100.0);
  EXPECT_EQ(p.ParseText("nan"), 0.0);
  EXPECT_EQ(p.ParseText("inf"), 100.0);
  EXPECT_EQ(p.ParseText("-inf"), 0.0);
}

TEST(IParam, EnumTextsParseAndFormat)
{
  IParam p;
  p.DeclareEnum("Mode Low", {"LR", "MID", "SIDE"});
  EXPECT_EQ(p.Type(), IParam::kTypeEnum);
  EXPECT_TRUE(p.GetStepped());
  EXPECT_EQ(p.GetMax(), 2.0);
  EXPECT_EQ(p.NDisplayTexts(), 3);
  EXPECT_EQ(p.ParseText("MID"), 1.0);
  EXPECT_EQ(p.ParseText("mid"), 0.0);
  EXPECT_EQ(p.ParseText("2"), 0.0); // an enum reads only its texts
  EXPECT_EQ(Format(p, 2.0, true), "SIDE");
  EXPECT_EQ(Format(p, 2.0, false), "2");
  std::string norm;
  p.FormatValue(1.0, true, norm, true);
  EXPECT_EQ(norm, "SIDE");
  p.SetValue(1.6);
  EXPECT_EQ(p.GetValue(), 2.0);
  EXPECT_STREQ(p.TextForValue(1), "MID");
  EXPECT_STREQ(p.TextForValue(7), "");
  EXPECT_STREQ(p.GetDisplayText(0), "LR");
  EXPECT_STREQ(p.GetDisplayText(3), "");

  IParam counted;
  counted.DeclareEnum("Counted", 1, 3, "unit", 0, "", {"a", "b", "c", "ignored"});
  EXPECT_EQ(counted.NDisplayTexts(), 3);
  EXPECT_EQ(counted.GetValue(), 1.0);
  IParam noTexts;
  noTexts.DeclareEnum("Bare", 0, 4, "", 0, "");
  EXPECT_EQ(noTexts.NDisplayTexts(), 0);
  EXPECT_EQ(noTexts.GetMax(), 3.0);
}

TEST(IParam, BoolQuantisesHalvesUpAndHidesLabelBehindText)
{
  IParam p;
  p.DeclareBool("Bypass", false, "unit", 0, "", "off", "on");
  EXPECT_EQ(p.Type(), IParam::kTypeBool);
  p.SetValue(0.7);
  EXPECT_EQ(p.GetValue(), 1.0);
  p.SetValue(0.5);
  EXPECT_EQ(p.GetValue(), 1.0);
  p.SetValue(0.49);
  EXPECT_EQ(p.GetValue(), 0.0);
  EXPECT_STREQ(p.EffectiveLabel(), "");
  std::string out;
  p.FormatValueWithLabel(out);
  EXPECT_EQ(out, "off");
  EXPECT_EQ(p.ParseText("on"), 1.0);
  EXPECT_EQ(p.ParseText("yes"), 0.0);
}

TEST(IParam, LabelIsAppendedAfterASpace)
{
  IParam p;
  p.DeclareDouble("Width", 100.0, 0.0, 200.0, 1.0, "%");
  std::string out;
  p.FormatValueWithLabel(out);
  EXPECT_EQ(out, "100 %");
  // A display text for some other value does not hide the label.
  p.AddDisplayText(0.0, "none");
  EXPECT_STREQ(p.EffectiveLabel(), "%");
  p.SetValue(0.0);
  EXPECT_STREQ(p.EffectiveLabel(), "");
}

TEST(IParam, ParseTextFollowsLeadingNumberRules)
{
  IParam p;
  p.DeclareDouble("P", 0.0, 0.0, 100.0, 1.0);
  EXPECT_EQ(p.ParseText("12abc"), 12.0);
  EXPECT_EQ(p.ParseText("250"), 100.0);
  EXPECT_EQ(p.ParseText(""), 0.0);
  EXPECT_EQ(p.ParseText(nullptr), 0.0);
  EXPECT_EQ(p.ParseText("  +42.5 %"), 42.5); // not stepped: kept as typed
  EXPECT_EQ(p.ParseText("abc"), 0.0);
  EXPECT_EQ(p.ParseText("1e1"), 10.0);

  IParam stepped;
  stepped.DeclareDouble("S", 0.0, 0.0, 10.0, 0.5, "", IParam::kFlagStepped);
  EXPECT_EQ(stepped.ParseText("3.3"), 3.5);
  EXPECT_EQ(stepped.ParseText("3.2"), 3.0);
}

TEST(IParam, DisplayFunctionTakesPrecedenceAndDrivesParsing)
{
  IParam p;
  p.DeclareDouble(
    "Shown", 0.0, 0.0, 1.0, 0.01, "", 0, "", IParam::ShapeLinear(), IParam::kUnitCustom,
    [](double v, std::string& out) { out = v > 0.5 ? "high" : "low"; },
    [](const char* text) { return text[0] == 'h' ? 1.0 : 0.25; });
  p.AddDisplayText(0.0, "zero");
  EXPECT_EQ(Format(p, 0.0), "low");
  EXPECT_EQ(Format(p, 0.9), "high");
  EXPECT_EQ(p.ParseText("high"), 1.0);
  EXPECT_EQ(p.ParseText("other"), 0.25);
  EXPECT_EQ(p.ParseText("zero"), 0.0); // display texts still match first

  // A display function that writes more than fits is cut to 31 characters.
  IParam longText;
  longText.DeclareDouble("Long", 0.0, 0.0, 1.0, 0.01, "", 0, "", IParam::ShapeLinear(), IParam::kUnitCustom,
                         [](double, std::string& out) { out = std::string(50, 'x'); });
  EXPECT_EQ(Format(longText, 0.0).size(), 31u);
}

TEST(IParam, OverlongTextsAreCutToFit)
{
  IParam p;
  const std::string longName(40, 'n');
  p.DeclareDouble(longName.c_str(), 0.0, 0.0, 1.0, 1.0, longName.c_str());
  EXPECT_EQ(std::string(p.GetName()), std::string(31, 'n'));
  EXPECT_EQ(std::string(p.GetLabel()), std::string(31, 'n'));
}
