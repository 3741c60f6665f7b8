// The plug-in on its LV2 base: the numbers its ports show, the run call's
// realtime rules, and the UI object's two directions (port events in, edits
// out through the host's write function).

#include "plugin/TORV.h"
#include "plugin/TORVDisplay.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace
{

std::unique_ptr<TORV> MakePlug()
{
  auto plug = std::make_unique<TORV>();
  plug->PreparePorts();
  return plug;
}

TEST(Lv2Plugin, PortsShowTheDisplayedNumbersAndMeanWhatTypingThemMeans)
{
  auto plug = MakePlug();
  // Port value -> the real value typing the same displayed text gives.
  const std::vector<std::pair<int, std::pair<float, const char*>>> cases = {
    {kPreGainLow, {-6.f, "-6"}},   {kPreGainLow, {7.5f, "7.5"}},  {kOutGain, {24.f, "24"}},
    {kOutGain, {-90.f, "-inf"}},   {kTime, {0.f, "0"}},           {kTime, {44.f, "44"}},
    {kTime, {1000.f, "1000"}},     {kTime, {250.f, "250"}},       {kPullThresholdMid, {-55.5f, "-55.5"}},
    {kWidthHigh, {150.f, "150"}},  {kModeLow, {2.f, "SIDE"}},     {kBypass, {1.f, "on"}},
  };
  for (const auto& [idx, value] : cases)
  {
    const iplug::IParam& param = *plug->GetParam(idx);
    const double typed = param.NormToReal(param.NormalizedForText(value.second));
    EXPECT_DOUBLE_EQ(plug->Scale(idx).ToReal(value.first), typed) << param.GetName() << " " << value.second;
  }
  // Back from the real value to the port: ends held, "-inf" at the minimum.
  EXPECT_EQ(plug->Scale(kOutGain).FromReal(-1.0), -90.0);
  EXPECT_EQ(plug->Scale(kOutGain).FromReal(0.25), 6.0);
  EXPECT_EQ(plug->Scale(kTime).FromReal(-0.5), 50.0);
  EXPECT_EQ(plug->Scale(kTime).FromReal(1.0), 1000.0);
  EXPECT_EQ(plug->Scale(kDepth).FromReal(80.0), 80.0);
  // Out of range and NaN port values: held at the ends, NaN ignored.
  EXPECT_EQ(plug->Scale(kDepth).ToReal(1e9), 100.0);
  EXPECT_EQ(plug->Scale(kTime).ToReal(-5.0), -1.0);
  EXPECT_NE(plug->Scale(kDepth).ToReal(NAN), plug->Scale(kDepth).ToReal(NAN));
}

TEST(Lv2Plugin, RunAllocatesNothingWhilePortsKeepMoving)
{
  auto plug = MakePlug();
  ASSERT_TRUE(plug->PrepareToRun(48000.0));
  const iplug::PortLayout& ports = plug->Ports();
  std::vector<float> controls(static_cast<size_t>(ports.NPorts()), 0.f);
  std::array<std::vector<float>, 2> audio{std::vector<float>(8192, 0.25f), std::vector<float>(8192, -0.25f)};
  for (int p = iplug::PortLayout::kFirstParamPort; p < ports.NPorts(); ++p)
    plug->ConnectPort(static_cast<uint32_t>(p), &controls[static_cast<size_t>(p)]);
  for (int c = 0; c < 2; ++c)
  {
    plug->ConnectPort(static_cast<uint32_t>(ports.AudioIn(c)), audio[static_cast<size_t>(c)].data());
    plug->ConnectPort(static_cast<uint32_t>(ports.AudioOut(c)), audio[static_cast<size_t>(c)].data());
  }
  plug->Activate();
  plug->Run(64); // the first run takes every port

  testsupport::AllocationScope scope;
  for (int b = 0; b < 200; ++b)
  {
    controls[static_cast<size_t>(ports.Param(b % kNumParams))] = static_cast<float>(b % 7);
    controls[static_cast<size_t>(ports.Enabled())] = b % 50 < 3 ? 0.f : 1.f;
    plug->Run(static_cast<uint32_t>(b % 3 == 0 ? 8192 : b));
  }
  EXPECT_EQ(testsupport::CountedAllocations(), 0u);
}

class RecordingHost : public iplug::LV2UIHost
{
public:
  void WritePort(int port, float value) override { writes.emplace_back(port, value); }
  void TouchPort(int port, bool grabbed) override { touches.emplace_back(port, grabbed); }
  bool ResizeWindow(int width, int height) override
  {
    sizes.emplace_back(width, height);
    return true;
  }
  std::vector<std::pair<int, float>> writes;
  std::vector<std::pair<int, bool>> touches;
  std::vector<std::pair<int, int>> sizes;
};

TEST(Lv2Plugin, UiEditsLeaveAsPortValuesAndHostValuesComeBack)
{
  auto plug = MakePlug();
  RecordingHost host;
  plug->SetUIHost(&host);
  const int port = plug->Ports().Param(kPreGainMid);

  // An edit: begin, a value in the port's units, end.
  plug->BeginParamGesture(kPreGainMid);
  plug->ParamEditedInEditor(kPreGainMid, plug->GetParam(kPreGainMid)->RealToNorm(0.25));
  plug->EndParamGesture(kPreGainMid);
  ASSERT_EQ(host.writes.size(), 1u);
  EXPECT_EQ(host.writes[0], std::make_pair(port, 6.f));
  EXPECT_EQ(host.touches, (std::vector<std::pair<int, bool>>{{port, true}, {port, false}}));

  // The host's echo leaves the value as edited; another value is taken.
  plug->GetParam(kPreGainMid)->SetValue(0.2501);
  plug->OnPortEvent(static_cast<uint32_t>(port), plug->PortValueOf(kPreGainMid));
  EXPECT_EQ(plug->GetParam(kPreGainMid)->GetValue(), 0.2501);
  plug->OnPortEvent(static_cast<uint32_t>(port), -6.f);
  EXPECT_DOUBLE_EQ(plug->GetParam(kPreGainMid)->GetValue(), torv::GainControlFromDb(-6.0));
  // Ports that are no parameter's change none.
  plug->OnPortEvent(static_cast<uint32_t>(plug->Ports().Enabled()), 0.f);
  plug->OnPortEvent(static_cast<uint32_t>(plug->Ports().NPorts() + 5), 1.f);
  EXPECT_EQ(plug->GetParam(kBypass)->GetValue(), 0.0);
  EXPECT_TRUE(host.sizes.empty());

  // A preset chosen in the editor: each value it changes leaves as an edit.
  host.writes.clear();
  host.touches.clear();
  ASSERT_TRUE(plug->LoadPresetFromEditor(1)); // TORV: Depth 100 %, Pre-gain Low 4 dB
  const auto wrote = [&](int paramIdx, float value) {
    return std::count(host.writes.begin(), host.writes.end(), std::make_pair(plug->Ports().Param(paramIdx), value));
  };
  EXPECT_EQ(wrote(kDepth, 100.f), 1);
  EXPECT_EQ(wrote(kPreGainLow, 4.f), 1);
  EXPECT_EQ(host.touches.size(), 2 * host.writes.size());
}

} // namespace
