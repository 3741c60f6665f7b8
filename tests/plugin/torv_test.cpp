#include "RecordingTORV.h"

#include "plugin/Version.h"

#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

using calvorin_test::RecordingTORV;
using iplug::IParam;
using iplug::ParamSource;

namespace
{

std::string Display(const TORV& plug, int idx, double value)
{
  std::string out;
  plug.GetParam(idx)->FormatValue(value, false, out, true);
  return out;
}

struct Row
{
  int idx;
  const char* name;
  IParam::EParamType type;
  double min, max, def, step;
  const char* label;
  IParam::EParamUnit unit;
  unsigned flags;
};

} // namespace

TEST(TORV, ConfigurationAsDeclared)
{
  TORV plug;
  EXPECT_STREQ(plug.GetPluginName(), "Calvorin");
  EXPECT_STREQ(plug.GetProductName(), "Calvorin");
  EXPECT_STREQ(plug.GetMfrName(), "Fenmarch");
  EXPECT_EQ(plug.GetPluginVersion(), calvorin::kPackedVersion);
  EXPECT_EQ(plug.GetUniqueID(), 0x5241764B);
  EXPECT_EQ(plug.GetMfrID(), 0x466D6368);
  EXPECT_TRUE(plug.HasUI());
  EXPECT_FALSE(plug.GetHostResizeEnabled());
  EXPECT_EQ(plug.GetEditorWidth(), 680);
  EXPECT_EQ(plug.GetEditorHeight(), 360);
  EXPECT_EQ(plug.GetMinWidth(), 340);
  EXPECT_EQ(plug.GetMaxWidth(), 1360);
  EXPECT_EQ(plug.GetMinHeight(), 180);
  EXPECT_EQ(plug.GetMaxHeight(), 720);
  EXPECT_EQ(plug.GetLatency(), 0);
  EXPECT_FALSE(plug.DoesMIDIIn());
  EXPECT_EQ(plug.NChannelConfigs(), 2);
  EXPECT_EQ(plug.MaxNChannels(iplug::kInput), 2);
  EXPECT_EQ(plug.GetSampleRate(), 48000.0);
  EXPECT_EQ(plug.GetHost(), iplug::kHostUninit);
}

TEST(TORV, ParameterTableAsDeclared)
{
  TORV plug;
  ASSERT_EQ(plug.NParams(), 26);
  const auto dbl = IParam::kTypeDouble;
  const auto dB = IParam::kUnitDB;
  const auto custom = IParam::kUnitCustom;
  const Row rows[] = {
    {0, "Pre-gain Low", dbl, -1, 1, 0, 0.01, "dB", dB, 0},
    {1, "Pre-gain Mid", dbl, -1, 1, 0, 0.01, "dB", dB, 0},
    {2, "Pre-gain High", dbl, -1, 1, 0, 0.01, "dB", dB, 0},
    {3, "Post-gain Low", dbl, -1, 1, 0, 0.01, "dB", dB, 0},
    {4, "Post-gain Mid", dbl, -1, 1, 0, 0.01, "dB", dB, 0},
    {5, "Post-gain High", dbl, -1, 1, 0, 0.01, "dB", dB, 0},
    {6, "Pull Threshold Low", dbl, -80, 6, -40, 0.5, "dB", dB, 0},
    {7, "Pull Threshold Mid", dbl, -80, 6, -40, 0.5, "dB", dB, 0},
    {8, "Pull Threshold High", dbl, -80, 6, -40, 0.5, "dB", dB, 0},
    {9, "Push Threshold Low", dbl, -80, 6, -30, 0.5, "dB", dB, 0},
    {10, "Push Threshold Mid", dbl, -80, 6, -30, 0.5, "dB", dB, 0},
    {11, "Push Threshold High", dbl, -80, 6, -30, 0.5, "dB", dB, 0},
    {12, "Width Low", dbl, 0, 200, 100, 1, "%", custom, 0},
    {13, "Width Mid", dbl, 0, 200, 100, 1, "%", custom, 0},
    {14, "Width High", dbl, 0, 200, 100, 1, "%", custom, 0},
    {15, "Excite Low", dbl, 0, 100, 0, 1, "%", custom, 0},
    {16, "Excite Mid", dbl, 0, 100, 0, 1, "%", custom, 0},
    {17, "Excite High", dbl, 0, 100, 0, 1, "%", custom, 0},
    {18, "Mode Low", IParam::kTypeEnum, 0, 2, 0, 1, "", custom, IParam::kFlagStepped},
    {19, "Mode Mid", IParam::kTypeEnum, 0, 2, 0, 1, "", custom, IParam::kFlagStepped},
    {20, "Mode High", IParam::kTypeEnum, 0, 2, 0, 1, "", custom, IParam::kFlagStepped},
    {21, "Time", dbl, -1, 1, 0, 0.01, "%", custom, 0},
    {22, "Depth", dbl, 0, 100, 50, 1, "%", custom, 0},
    {23, "Mix", dbl, 0, 100, 100, 1, "%", custom, 0},
    {24, "Out Gain", dbl, -1, 1, 0, 0.01, "dB", dB, 0},
    {25, "Bypass", IParam::kTypeBool, 0, 1, 0, 1, "", custom, IParam::kFlagStepped},
  };
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    const IParam& p = *plug.GetParam(r.idx);
    EXPECT_STREQ(p.GetName(), r.name);
    EXPECT_EQ(p.Type(), r.type);
    EXPECT_EQ(p.GetMin(), r.min);
    EXPECT_EQ(p.GetMax(), r.max);
    EXPECT_EQ(p.GetDefaultValue(), r.def);
    EXPECT_EQ(p.GetValue(), r.def);
    EXPECT_EQ(p.GetStep(), r.step);
    EXPECT_STREQ(p.GetLabel(), r.label);
    EXPECT_EQ(p.Unit(), r.unit);
    EXPECT_EQ(p.GetFlags(), r.flags);
    EXPECT_STREQ(p.GetGroup(), "");
    EXPECT_EQ(p.GetShape().ScaleKind(), 0);
  }
  EXPECT_STREQ(plug.GetParam(kModeMid)->GetDisplayText(2), "SIDE");
  EXPECT_STREQ(plug.GetParam(kBypass)->GetDisplayText(1), "on");
}

TEST(TORV, GainAndTimeDisplays)
{
  TORV plug;
  EXPECT_EQ(Display(plug, kPreGainLow, -1.0), "-inf");
  EXPECT_EQ(Display(plug, kPreGainLow, -0.5), "-6.02");
  EXPECT_EQ(Display(plug, kPreGainLow, -0.01), "-0.08");
  EXPECT_EQ(Display(plug, kPreGainLow, 0.0), "0.00");
  EXPECT_EQ(Display(plug, kPreGainLow, 1.0), "24.0");
  EXPECT_EQ(Display(plug, kPreGainLow, 1.0 / 6.0), "4.00");
  EXPECT_EQ(Display(plug, kOutGain, 0.25), "6.00");
  EXPECT_EQ(Display(plug, kPostGainHigh, 0.5), "12.0");
  EXPECT_EQ(Display(plug, kTime, -0.29), "71");
  EXPECT_EQ(Display(plug, kTime, 0.01), "109");
  EXPECT_EQ(Display(plug, kTime, 1.0), "1000");
  EXPECT_EQ(Display(plug, kTime, -1.0), "0");
  EXPECT_EQ(Display(plug, kTime, -0.5), "50");

  std::string out;
  plug.GetParam(kOutGain)->FormatValueWithLabel(out);
  EXPECT_EQ(out, "0.00 dB");
  plug.GetParam(kTime)->FormatValueWithLabel(out);
  EXPECT_EQ(out, "100 %");
  plug.GetParam(kModeLow)->FormatValueWithLabel(out);
  EXPECT_EQ(out, "LR");
}

TEST(TORV, ValueEdgesOfTheTable)
{
  TORV plug;
  IParam& pull = *plug.GetParam(kPullThresholdLow);
  pull.SetValue(10.0);
  EXPECT_EQ(pull.GetValue(), 6.0);
  EXPECT_EQ(pull.RealToNorm(-37.0), 0.5);
  pull.SetValue(-37.26);
  EXPECT_EQ(pull.GetValue(), -37.26);
  EXPECT_EQ(Display(plug, kPullThresholdLow, -37.26), "-37.3");
  IParam& mode = *plug.GetParam(kModeMid);
  mode.SetValue(1.6);
  EXPECT_EQ(mode.GetValue(), 2.0);
  EXPECT_EQ(Display(plug, kModeMid, 2.0), "SIDE");
}

TEST(TORV, FactoryPresetsAndRecall)
{
  RecordingTORV plug;
  ASSERT_EQ(plug.NPresets(), 3);
  EXPECT_STREQ(plug.GetPresetName(0), "DEFAULT");
  EXPECT_STREQ(plug.GetPresetName(1), "TORV");
  EXPECT_STREQ(plug.GetPresetName(2), "UP A LOT");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.GetParam(kDepth)->GetValue(), 50.0); // no preset applied at construction
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(plug.GetPreset(i)->chunk.Size(), 208);

  EXPECT_TRUE(plug.LoadPreset(1));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.GetParam(kWidthHigh)->GetValue(), 120.0);
  EXPECT_EQ(plug.GetParam(kPushThresholdMid)->GetValue(), -24.0);
  EXPECT_EQ(plug.GetParam(kPreGainLow)->GetValue(), 0.16666666666666666);
  EXPECT_EQ(Display(plug, kPreGainLow, plug.GetParam(kPreGainLow)->GetValue()), "4.00");

  EXPECT_TRUE(plug.LoadPreset(0));
  EXPECT_EQ(plug.GetParam(kDepth)->GetValue(), 25.0);
  EXPECT_EQ(plug.GetParam(kOutGain)->GetValue(), 0.25);

  EXPECT_TRUE(plug.LoadPreset(2));
  EXPECT_EQ(plug.GetParam(kTime)->GetValue(), -0.5);
  EXPECT_EQ(plug.GetParam(kWidthLow)->GetValue(), 0.0);
  EXPECT_EQ(plug.GetParam(kPullThresholdHigh)->GetValue(), -27.0);

  EXPECT_FALSE(plug.LoadPreset(3));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
}

TEST(TORV, StateChunkOfNewInstance)
{
  TORV plug;
  iplug::StateBlob blob;
  ASSERT_TRUE(plug.SaveState(blob));
  ASSERT_EQ(blob.Size(), 208);
  auto at = [&](int offset) {
    double v;
    std::memcpy(&v, blob.GetData() + offset, 8);
    return v;
  };
  EXPECT_EQ(at(0), 0.0);
  EXPECT_EQ(at(48), -40.0);
  EXPECT_EQ(at(176), 50.0);

  // A 100-byte chunk restores 0-11, zeroes 12 (Width Low) and leaves the rest.
  TORV other;
  other.GetParam(kWidthMid)->SetValue(150.0);
  other.GetParam(kPullThresholdLow)->SetValue(0.0);
  iplug::StateBlob shortBlob;
  shortBlob.AppendBytes(blob.GetData(), 100);
  EXPECT_EQ(other.LoadState(shortBlob, 0), -1);
  EXPECT_EQ(other.GetParam(kPullThresholdLow)->GetValue(), -40.0);
  EXPECT_EQ(other.GetParam(kWidthLow)->GetValue(), 0.0);
  EXPECT_EQ(other.GetParam(kWidthMid)->GetValue(), 150.0);
}

TEST(TORV, NotificationPathsReachTheHandlerWithTheirSources)
{
  RecordingTORV plug;
  using Updates = std::vector<std::pair<int, ParamSource>>;

  plug.NotifyAllParams(ParamSource::Reset);
  ASSERT_EQ(plug.updates.size(), 26u);
  EXPECT_EQ(plug.updates.front(), std::make_pair(0, ParamSource::Reset));
  EXPECT_EQ(plug.updates.back(), std::make_pair(25, ParamSource::Reset));

  plug.updates.clear();
  plug.ParamEditedInEditor(kDepth, 0.8);
  EXPECT_EQ(plug.updates, (Updates{{kDepth, ParamSource::UI}}));
  EXPECT_EQ(plug.performed, (std::vector<std::pair<int, double>>{{kDepth, 0.8}}));
  EXPECT_EQ(plug.GetParam(kDepth)->GetValue(), 80.0);

  plug.updates.clear();
  plug.ShowParamInEditor(kMix, 50.0, false);
  EXPECT_EQ(plug.updates, (Updates{{kMix, ParamSource::EditorDelegate}}));

  plug.updates.clear();
  ASSERT_TRUE(plug.LoadPreset(2));
  ASSERT_EQ(plug.updates.size(), 52u);
  for (int i = 0; i < 26; ++i)
  {
    EXPECT_EQ(plug.updates[static_cast<std::size_t>(i)], std::make_pair(i, ParamSource::Preset));
    EXPECT_EQ(plug.updates[static_cast<std::size_t>(26 + i)], std::make_pair(i, ParamSource::EditorDelegate));
  }

  plug.updates.clear();
  iplug::StateBlob blob;
  plug.SaveState(blob);
  plug.LoadState(blob, 0);
  plug.SyncEditorFromParams();
  EXPECT_EQ(plug.updates.size(), 52u);
}

// What the host's processing thread does with a parameter-queue point: set the
// value from its normalised form and notify. None of it may allocate.
TEST(TORV, HostQueueParameterPathNeverAllocates)
{
  TORV plug;
  const std::size_t before = testsupport::CountedAllocations();
  double sink = 0.0;
  {
    testsupport::AllocationScope scope;
    for (int pass = 0; pass < 10; ++pass)
    {
      for (int idx = 0; idx < plug.NParams(); ++idx)
      {
        iplug::IParam& p = *plug.GetParam(idx);
        p.SetFromNormalized(pass / 9.0);
        plug.OnParamChange(idx, ParamSource::Host, pass);
        sink += p.GetValue() + p.GetValueNormalized() + p.NormToReal(0.3) + p.FitToRange(1e9);
      }
    }
  }
  EXPECT_EQ(testsupport::CountedAllocations(), before);
  EXPECT_TRUE(std::isfinite(sink));
}
