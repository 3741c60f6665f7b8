#include "plugin/TORV.h"
#include "plugin/TORVDisplay.h"

#include "core/NumberText.h"
#include "vst3/base/StringConvert.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

using iplug::IParam;

namespace
{

std::string Display(const IParam& p, double v)
{
  std::string out;
  p.FormatValue(v, false, out, true);
  return out;
}

// Text typed into a host: getParamValueByString, setParamNormalized with the
// value it gave, then the text the host shows for the parameter.
std::string ThroughHost(TORV& plug, int idx, const std::string& typed)
{
  vst3::String128 text{};
  vst3::WidenBytes(typed.c_str(), text, 128);
  vst3::ParamValue norm = -1.0;
  EXPECT_EQ(plug.getParamValueByString(static_cast<vst3::ParamID>(idx), text, norm), vst3::kResultOk);
  plug.setParamNormalized(static_cast<vst3::ParamID>(idx), norm);
  plug.getParamStringByValue(static_cast<vst3::ParamID>(idx), plug.getParamNormalized(static_cast<vst3::ParamID>(idx)), text);
  return vst3::Utf16ToUtf8(text, 128);
}

} // namespace

TEST(TORVDisplay, TypedTextMeansWhatTheDisplayShows)
{
  TORV plug;
  const IParam& gain = *plug.GetParam(kPreGainLow);
  EXPECT_NEAR(gain.ParseText("-6.02"), -0.5, 1e-3);
  EXPECT_EQ(gain.ParseText("-inf"), -1.0);
  EXPECT_EQ(gain.ParseText("-inf dB"), -1.0);
  EXPECT_EQ(gain.ParseText("0.00"), 0.0);
  EXPECT_DOUBLE_EQ(gain.ParseText("12.0"), 0.5);
  EXPECT_EQ(gain.ParseText("24.0"), 1.0);
  EXPECT_EQ(gain.ParseText("100"), 1.0);   // clamped
  EXPECT_EQ(gain.ParseText("-500"), -1.0); // silence
  EXPECT_EQ(gain.ParseText("junk"), 0.0);  // no number: 0 dB

  const IParam& time = *plug.GetParam(kTime);
  EXPECT_DOUBLE_EQ(time.ParseText("50"), -0.5);
  EXPECT_EQ(time.ParseText("100"), 0.0);
  EXPECT_EQ(time.ParseText("1000"), 1.0);
  EXPECT_EQ(time.ParseText("0"), -1.0);
  EXPECT_EQ(time.ParseText("5000 %"), 1.0);
  EXPECT_DOUBLE_EQ(time.ParseText("109"), 0.01);

  // Other parameters keep the standard rules.
  EXPECT_EQ(plug.GetParam(kPullThresholdLow)->ParseText("-37.5 dB"), -37.5);
  EXPECT_EQ(plug.GetParam(kModeHigh)->ParseText("SIDE"), 2.0);
  EXPECT_EQ(plug.GetParam(kBypass)->ParseText("on"), 1.0);
}

// Reading back what is displayed lands on a value that displays the same, for
// every parameter across its whole range, directly and through a host.
TEST(TORVDisplay, EveryParameterRoundTripsThroughItsText)
{
  TORV plug;
  ASSERT_EQ(plug.initialize(nullptr), vst3::kResultOk); // exports the parameters to hosts
  constexpr int kSteps = 4000;
  for (int idx = 0; idx < plug.NParams(); ++idx)
  {
    const IParam& p = *plug.GetParam(idx);
    SCOPED_TRACE(p.GetName());
    for (int s = 0; s <= kSteps; ++s)
    {
      const double v = p.FitToRange(p.GetMin() + (p.GetMax() - p.GetMin()) * s / kSteps);
      const std::string text = Display(p, v);
      const double parsed = p.ParseText(text.c_str());
      for (const std::string& shownAgain : {Display(p, parsed), ThroughHost(plug, idx, text)})
      {
        if (p.NDisplayTexts() > 0 || text == "-inf")
        {
          ASSERT_EQ(shownAgain, text) << "value " << v;
        }
        else
        {
          // Equal as numbers ("-0.00" and "0.00" are the same level).
          ASSERT_EQ(iplug::ParseLeadingNumber(shownAgain.c_str()), iplug::ParseLeadingNumber(text.c_str()))
            << "value " << v << " shown " << text << " then " << shownAgain;
        }
      }
      if (!p.HasDisplayFunction())
      {
        ASSERT_LE(std::fabs(parsed - v), 0.5 * std::pow(10.0, -p.GetDisplayPrecision()) + 1e-9) << text;
      }
    }
  }
}

TEST(TORVDisplay, EveryShownTimeAndGainTextReadsBackExactly)
{
  // Each whole percentage typed into Time shows as typed, directly and through
  // a host, and the envelopes then run with exactly that factor.
  TORV plug;
  ASSERT_EQ(plug.initialize(nullptr), vst3::kResultOk);
  std::string out;
  for (int pct = 0; pct <= 1000; ++pct)
  {
    const std::string typed = std::to_string(pct);
    torv::FormatTimeDisplay(torv::ParseTimeDisplay(typed.c_str()), out);
    ASSERT_EQ(out, typed);
    ASSERT_EQ(ThroughHost(plug, kTime, typed), typed);
    ASSERT_EQ(torv::TimeFactor(plug.GetParam(kTime)->GetValue()), pct / 100.0) << typed; // what the chain is given
  }
  // Each hundredth of a dB typed into a gain parameter shows as typed.
  for (int cdb = -8999; cdb <= 999; ++cdb)
  {
    std::string typed;
    torv::FormatGainDisplay(torv::ParseGainDisplay(std::to_string(cdb / 100.0).c_str()), typed);
    torv::FormatGainDisplay(torv::ParseGainDisplay(typed.c_str()), out);
    ASSERT_EQ(out, typed) << cdb;
    ASSERT_EQ(ThroughHost(plug, kOutGain, typed), typed) << cdb;
  }
}

TEST(TORVDisplay, DecimalCommaLocaleChangesNothing)
{
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8") &&
      !std::setlocale(LC_ALL, "German_Germany.1252")) // the Windows name
    GTEST_SKIP() << "de_DE.UTF-8 locale is not available";

  TORV plug;
  const std::string gain = Display(*plug.GetParam(kPreGainLow), -0.5);
  const std::string thr = Display(*plug.GetParam(kPullThresholdLow), -37.5);
  const double parsedGain = plug.GetParam(kOutGain)->ParseText("12.5");
  const double parsedThr = plug.GetParam(kPushThresholdLow)->ParseText("-12.5");
  std::setlocale(LC_ALL, previous.c_str());

  EXPECT_EQ(gain, "-6.02");
  EXPECT_EQ(thr, "-37.5");
  EXPECT_DOUBLE_EQ(parsedGain, 12.5 / 24.0);
  EXPECT_EQ(parsedThr, -12.5);
}

TEST(TORVDisplay, TimeControlMapsToWholePercentFactors)
{
  EXPECT_EQ(torv::TimeFactor(-1.0), 0.0);
  EXPECT_EQ(torv::TimeFactor(0.0), 1.0);
  EXPECT_EQ(torv::TimeFactor(1.0), 10.0);
  EXPECT_EQ(torv::TimeFactor(0.25), 3.25);
  EXPECT_EQ(torv::TimeFactor(-0.5), 0.5);
  EXPECT_EQ(torv::TimeFactor(0.011), 1.09);
}
