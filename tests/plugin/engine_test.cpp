#include "plugin/TORV.h"
#include "tests/plugin/EngineReference.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/EnginePaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

using iplug::MeterRecord;
using iplug::ParamSource;

namespace
{

// The plug-in with the records it hands to the editor captured.
class MeterCapturingTORV : public TORV
{
public:
  void SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* pData) override
  {
    ASSERT_EQ(msgTag, 0);
    ASSERT_EQ(dataSize, 20);
    MeterRecord record;
    std::memcpy(&record, pData, sizeof(record));
    ASSERT_EQ(record.controlTag, ctrlTag);
    records.push_back(record);
  }
  std::vector<MeterRecord> records;
};

struct Output
{
  std::vector<double> left, right;
};

// Renders planar stereo through ProcessBlock in blocks; the idle tick runs
// after every block.
Output Render(MeterCapturingTORV& plug, const std::vector<double>& inL, const std::vector<double>& inR, int block = 512)
{
  Output out{std::vector<double>(inL.size()), std::vector<double>(inR.size())};
  std::vector<double> l = inL, r = inR; // ProcessBlock takes non-const pointers
  const int frames = static_cast<int>(inL.size());
  for (int start = 0; start < frames; start += block)
  {
    const int n = std::min(block, frames - start);
    double* inputs[2] = {l.data() + start, r.data() + start};
    double* outputs[2] = {out.left.data() + start, out.right.data() + start};
    plug.ProcessBlock(inputs, outputs, n);
    plug.OnIdleTick();
  }
  return out;
}

void Deinterleave(const std::vector<double>& interleaved, std::vector<double>& l, std::vector<double>& r)
{
  l.resize(interleaved.size() / 2);
  r.resize(interleaved.size() / 2);
  for (size_t i = 0; i < l.size(); ++i)
  {
    l[i] = interleaved[2 * i];
    r[i] = interleaved[2 * i + 1];
  }
}

void SetParameter(TORV& plug, int idx, double value)
{
  plug.GetParam(idx)->SetValue(value);
  plug.OnParamUpdate(idx, ParamSource::UI);
}

// As a host does it: construction, initialisation (every parameter
// announced), processing set-up (reset), on the given engine path.
std::unique_ptr<MeterCapturingTORV> MakeInitialisedPlugin(iplug::EnginePath path)
{
  auto plug = std::make_unique<MeterCapturingTORV>();
  plug->SetEnginePath(path);
  plug->NotifyAllParams(ParamSource::Reset);
  plug->OnReset();
  return plug;
}

void ExpectReferenceRun(MeterCapturingTORV& plug, const char* caseName)
{
  std::vector<double> inL, inR, expL, expR;
  Deinterleave(testdata::ReadStereoF64("input_48k.f64"), inL, inR);
  Deinterleave(testdata::ReadStereoF64(std::string("output_") + caseName + "_48k.f64"), expL, expR);
  ASSERT_EQ(inL.size(), static_cast<size_t>(testdata::kEngineFrames));
  ASSERT_EQ(expL.size(), inL.size());
  const Output out = Render(plug, inL, inR);

  double peak = 0.0;
  for (size_t i = 0; i < expL.size(); ++i)
    peak = std::max({peak, std::fabs(expL[i]), std::fabs(expR[i])});
  for (size_t i = 0; i < expL.size(); ++i)
  {
    ASSERT_NEAR(out.left[i], expL[i], 1e-12 * peak) << caseName << " frame " << i;
    ASSERT_NEAR(out.right[i], expR[i], 1e-12 * peak) << caseName << " frame " << i;
  }
  const auto lines = testdata::ReadMeterLines(std::string("meters_") + caseName + "_48k.csv");
  ASSERT_EQ(plug.records.size(), lines.size()) << caseName;
  for (size_t i = 0; i < lines.size(); ++i)
  {
    ASSERT_EQ(plug.records[i].controlTag, lines[i].tag) << caseName << " record " << i;
    ASSERT_NEAR(plug.records[i].values[0], lines[i].first, 1e-6f * std::max(1.0f, lines[i].first)) << i;
    ASSERT_NEAR(plug.records[i].values[1], lines[i].second, 1e-6f * std::max(1.0f, lines[i].second)) << i;
  }
}

// Ten seconds of varied material: tones and sweeps at changing levels, noise
// bursts, a DC step, full-scale square waves, impulses and silence.
void VariedSignal(int frames, std::vector<double>& l, std::vector<double>& r)
{
  l.assign(static_cast<size_t>(frames), 0.0);
  r.assign(static_cast<size_t>(frames), 0.0);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  double phase = 0.0;
  for (int n = 0; n < frames; ++n)
  {
    const double t = n / 48000.0;
    const int section = static_cast<int>(t); // one kind of material per second
    double a = 0.0, b = 0.0;
    switch (section % 10)
    {
    case 0: a = 0.5 * std::sin(2 * std::numbers::pi * 60 * t); b = 0.3 * std::sin(2 * std::numbers::pi * 3000 * t); break;
    case 1: phase += 2 * std::numbers::pi * (20.0 + 20000.0 * (t - 1.0)) / 48000.0; a = b = 0.8 * std::sin(phase); break;
    case 2: a = noise(rng); b = noise(rng) * 0.1; break;
    case 3: a = 0.9; b = -0.9; break;
    case 4: a = (n / 24) % 2 ? 1.0 : -1.0; b = (n / 5) % 2 ? 1.0 : -1.0; break;
    case 5: a = n % 4800 == 0 ? 1.0 : 0.0; b = -a; break;
    case 6: a = b = 0.0; break;
    case 7: a = 1e-5 * std::sin(2 * std::numbers::pi * 200 * t); b = 1e-7 * noise(rng); break;
    case 8: a = 2.0 * std::sin(2 * std::numbers::pi * 100 * t); b = 2.0 * std::sin(2 * std::numbers::pi * 150 * t + 1.0); break;
    default: a = 0.25 * std::sin(2 * std::numbers::pi * 440 * t) * std::sin(2 * std::numbers::pi * 0.5 * t); b = a; break;
    }
    l[static_cast<size_t>(n)] = a;
    r[static_cast<size_t>(n)] = b;
  }
}

} // namespace

// Every case runs on both engine paths.
class TORVEngine : public ::testing::TestWithParam<iplug::EnginePath>
{
};

INSTANTIATE_TEST_SUITE_P(EnginePaths, TORVEngine, testsupport::kEnginePaths, testsupport::EnginePathName);

TEST_P(TORVEngine, DefaultsMatchReferenceRun)
{
  auto plug = MakeInitialisedPlugin(GetParam());
  ExpectReferenceRun(*plug, "defaults");
}

TEST_P(TORVEngine, TorvPresetMatchesReferenceRun)
{
  auto plug = MakeInitialisedPlugin(GetParam());
  ASSERT_TRUE(plug->LoadPreset(1));
  ExpectReferenceRun(*plug, "torv");
}

TEST_P(TORVEngine, MixedSettingsMatchReferenceRun)
{
  auto plug = MakeInitialisedPlugin(GetParam());
  ASSERT_TRUE(plug->LoadPreset(2));
  SetParameter(*plug, kExciteLow, 100);
  SetParameter(*plug, kExciteMid, 50);
  SetParameter(*plug, kExciteHigh, 25);
  SetParameter(*plug, kModeLow, 1);
  SetParameter(*plug, kModeHigh, 2);
  SetParameter(*plug, kWidthMid, 150);
  SetParameter(*plug, kTime, 0.25);
  SetParameter(*plug, kMix, 80);
  SetParameter(*plug, kOutGain, -0.2);
  ExpectReferenceRun(*plug, "mixed");
}

TEST_P(TORVEngine, AutomationThroughTheRealtimeHalfReachesTheSignalPath)
{
  // A host applying automation inside process calls only the realtime half;
  // the result must equal a change made through the full handler.
  auto viaHandler = MakeInitialisedPlugin(GetParam());
  auto viaRealtime = MakeInitialisedPlugin(GetParam());
  const std::pair<int, double> changes[] = {{kPreGainMid, 0.4}, {kPullThresholdHigh, -20}, {kWidthLow, 30},
                                            {kExciteHigh, 60},  {kModeMid, 2},             {kTime, -0.3},
                                            {kDepth, 80},       {kPostGainLow, -0.5}};
  for (const auto& [idx, value] : changes)
  {
    SetParameter(*viaHandler, idx, value);
    viaRealtime->GetParam(idx)->SetValue(value);
    viaRealtime->OnParamChangeRealtime(idx);
  }
  std::vector<double> l, r;
  VariedSignal(48000, l, r);
  const Output a = Render(*viaHandler, l, r);
  const Output b = Render(*viaRealtime, l, r);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);
  viaRealtime->OnParamChangeRealtime(-1); // out-of-range indices are ignored
  viaRealtime->OnParamChangeRealtime(kNumParams);
}

TEST_P(TORVEngine, NewInstanceProcessesWithParameterDefaults)
{
  // Before any host initialisation the chain already follows the parameters.
  auto fresh = std::make_unique<MeterCapturingTORV>();
  fresh->SetEnginePath(GetParam());
  auto initialised = MakeInitialisedPlugin(GetParam());
  std::vector<double> l, r;
  VariedSignal(24000, l, r);
  EXPECT_EQ(Render(*fresh, l, r).left, Render(*initialised, l, r).left);
}

TEST_P(TORVEngine, ResetFollowsTheFrameSampleRate)
{
  auto plug = MakeInitialisedPlugin(GetParam());
  EXPECT_EQ(plug->GetProcessingChain().SampleRate(), 48000.0);
  plug->SetSampleRate(96000.0);
  plug->OnReset();
  EXPECT_EQ(plug->GetProcessingChain().SampleRate(), 96000.0);
  EXPECT_EQ(plug->GetProcessingChain().Meter(3).WindowSamples(), 1920);
  SetParameter(*plug, kTime, 1.0);
  plug->ProcessBlock(nullptr, nullptr, 0); // the change reaches the chain at the next block
  EXPECT_EQ(plug->GetProcessingChain().Dynamics(0).ReleaseCoefficient(),
            iplug::BandDynamics::EnvelopeCoefficient(10.0, 42.0, 96000.0));
  plug->SetSampleRate(0.0); // a host's bogus rate keeps the design
  plug->OnReset();
  EXPECT_EQ(plug->GetProcessingChain().SampleRate(), 96000.0);
}

TEST_P(TORVEngine, IdleTickDeliversSenderBySenderAndBypassFeedsOnlyOutput)
{
  auto plug = MakeInitialisedPlugin(GetParam());
  std::vector<double> l(960 * 3 + 1, 0.25), r(960 * 3 + 1, -0.25);
  Render(*plug, l, r, static_cast<int>(l.size()));
  ASSERT_EQ(plug->records.size(), 16u); // four windows per sender, one tick
  for (size_t i = 0; i < plug->records.size(); ++i)
    EXPECT_EQ(plug->records[i].controlTag, static_cast<int>(i / 4)) << i;

  // Bypass fades in over its glide; from then on the output is the input.
  SetParameter(*plug, kBypass, 1);
  const auto glide = static_cast<size_t>(plug->GetProcessingChain().GlideFrames());
  Render(*plug, std::vector<double>(glide, 0.25), std::vector<double>(glide, -0.25));
  plug->records.clear();
  const Output out = Render(*plug, l, r, 960);
  EXPECT_EQ(out.left, l);
  EXPECT_EQ(out.right, r);
  ASSERT_GT(plug->records.size(), 1u);
  for (const MeterRecord& m : plug->records)
    EXPECT_EQ(m.controlTag, 3);
  // The first window began before Bypass; the others saw output = input.
  for (size_t i = 1; i < plug->records.size(); ++i)
  {
    const MeterRecord& m = plug->records[i];
    EXPECT_FLOAT_EQ(m.values[0], 0.25f);
    EXPECT_FLOAT_EQ(m.values[1], 0.25f);
  }
}

TEST_P(TORVEngine, FactoryPresetsStayFiniteAndBoundedOnVariedMaterial)
{
  std::vector<double> l, r;
  VariedSignal(48000 * 10, l, r);
  for (int preset = 0; preset < kNumPresets; ++preset)
  {
    auto plug = MakeInitialisedPlugin(GetParam());
    ASSERT_TRUE(plug->LoadPreset(preset));
    const Output out = Render(*plug, l, r);
    double peak = 0.0;
    for (size_t i = 0; i < out.left.size(); ++i)
    {
      ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << preset << " frame " << i;
      peak = std::max({peak, std::fabs(out.left[i]), std::fabs(out.right[i])});
    }
    // Input peaks at 2 (+6 dB); the presets' gains add at most +24 dB.
    EXPECT_LT(peak, 2.0 * 16.0) << plug->GetPresetName(preset);
    EXPECT_GT(peak, 0.1) << plug->GetPresetName(preset);
  }
}

TEST_P(TORVEngine, BlockFunctionAndRealtimeHandlerNeverAllocate)
{
  auto plug = MakeInitialisedPlugin(GetParam());
  std::vector<double> l, r;
  VariedSignal(48000, l, r);
  std::vector<double> outL(512), outR(512);
  const std::size_t before = testsupport::CountedAllocations();
  {
    testsupport::AllocationScope scope;
    for (int block = 0; block < 500; ++block)
    {
      const int idx = block % kNumParams;
      iplug::IParam* param = plug->GetParam(idx);
      param->SetValue(param->GetMin() + (param->GetMax() - param->GetMin()) * ((block * 7) % 11) / 10.0);
      plug->OnParamChangeRealtime(idx);
      const size_t offset = static_cast<size_t>(block % 90) * 512;
      double* inputs[2] = {l.data() + offset, r.data() + offset};
      double* outputs[2] = {outL.data(), outR.data()};
      plug->ProcessBlock(inputs, outputs, 512);
    }
  }
  EXPECT_EQ(testsupport::CountedAllocations(), before);
}
