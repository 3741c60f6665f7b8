// process() through the real module: both sample sizes, parameter queues,
// bypass, automation reaching the signal path, mono buses, hostile calls and
// an allocation-free audio thread.

#include "ModuleFixture.h"

#include "tests/support/AllocationCounter.h"
#include "vst3/host/MemoryStream.h"

#include <cmath>

using namespace calvorin_test;
using namespace vst3host;

namespace
{

using ModuleProcessing = ModuleTestOnEnginePaths;

constexpr double kRate = 48000.0;

// The signal through a started session, in blocks of blockSize.
std::vector<std::vector<double>> Render(ProcessingSession& s, const std::vector<std::vector<double>>& in,
                                        vst3::int32 blockSize)
{
  std::vector<std::vector<double>> out;
  EXPECT_EQ(s.Run(in, out, blockSize), vst3::kResultOk);
  return out;
}

double MaxDifference(const std::vector<std::vector<double>>& a, const std::vector<std::vector<double>>& b,
                     std::size_t from = 0)
{
  double d = 0.0;
  for (std::size_t c = 0; c < a.size() && c < b.size(); ++c)
    for (std::size_t i = from; i < a[c].size() && i < b[c].size(); ++i)
      d = std::max(d, std::fabs(a[c][i] - b[c][i]));
  return d;
}

// True when a loud tone comes out of a freshly created instance bit for bit
// unchanged at default settings: the plug-in's signal path is not connected
// (the pass-through frame), so tests of what it does to the sound cannot run.
bool SignalPathMissing(std::unique_ptr<PluginInstance> fx)
{
  if (!fx)
    return false;
  ProcessingSession s(fx->Component(), fx->Processor());
  if (s.Setup({kRate, 512, vst3::kSample64, vst3::kRealtime}) != vst3::kResultOk || s.Start() != vst3::kResultOk)
    return false;
  const auto in = Sine(1000.0, 0.5, kRate, 4800);
  std::vector<std::vector<double>> out;
  if (s.Run(in, out, 512) != vst3::kResultOk)
    return false;
  return MaxDifference(in, out) == 0.0;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(EnginePaths, ModuleProcessing,
                         ::testing::Values(iplug::IEnginePath::kScalar, iplug::IEnginePath::kVector), EnginePathName);

#define SKIP_WITHOUT_SIGNAL_PATH()                                                                     \
  if (SignalPathMissing(NewInstance()))                                                          \
  GTEST_SKIP() << "the plug-in passes audio through unchanged at its defaults: no signal path to test yet"

TEST_P(ModuleProcessing, BypassFollowsTheLastPointAboveOneHalfInBothSampleSizes)
{
  SKIP_WITHOUT_SIGNAL_PATH();
  const auto in = Noise(0.3, 2048);
  for (vst3::int32 size : {vst3::kSample32, vst3::kSample64}) {
    SCOPED_TRACE(size == vst3::kSample32 ? "32-bit" : "64-bit");
    auto fx = NewInstance();
    ProcessingSession s(fx->Component(), fx->Processor());
    ASSERT_EQ(s.Setup({kRate, 512, size, vst3::kRealtime}), vst3::kResultOk);
    ASSERT_EQ(s.Start(), vst3::kResultOk);

    // The input exactly as the host delivers it in this sample size.
    auto expected = in;
    if (size == vst3::kSample32)
      for (auto& ch : expected)
        for (double& v : ch)
          v = static_cast<float>(v);

    // From the point at frame 100 on, the output fades to the input over 20 ms.
    s.InputChanges().AddPoint(kHostBypassId, 0, 0.0);
    s.InputChanges().AddPoint(kHostBypassId, 100, 0.51);
    auto bypassed = Render(s, in, 512);
    EXPECT_EQ(MaxDifference(bypassed, expected, 100 + 960), 0.0) << "0.51 as last point: bypassed, bit for bit";
    EXPECT_GT(MaxDifference(bypassed, expected), 1e-4) << "processed up to the point";

    s.InputChanges().AddPoint(kHostBypassId, 0, 1.0);
    s.InputChanges().AddPoint(kHostBypassId, 300, 0.5);
    auto processed = Render(s, in, 512);
    EXPECT_GT(MaxDifference(processed, expected), 1e-4) << "0.5 as last point: processing again";
    EXPECT_TRUE(AllFinite(processed));
  }
}

TEST_P(ModuleProcessing, AutomatingDepthThroughProcessAudiblyChangesTheOutput)
{
  SKIP_WITHOUT_SIGNAL_PATH();
  // A mid-band tone well above the push threshold, so the downward stage acts.
  const auto in = Sine(1000.0, 0.5, kRate, 48000);
  double rms[2] = {};
  const double depths[2] = {0.0, 1.0};
  for (int k = 0; k < 2; ++k) {
    auto fx = NewInstance();
    ProcessingSession s(fx->Component(), fx->Processor());
    ASSERT_EQ(s.Setup({kRate, 256, vst3::kSample64, vst3::kRealtime}), vst3::kResultOk);
    ASSERT_EQ(s.Start(), vst3::kResultOk);
    s.InputChanges().AddPoint(kDepthId, 0, depths[k]);
    auto out = Render(s, in, 256);
    ASSERT_TRUE(AllFinite(out));
    rms[k] = Rms(out[0], 24000);
  }
  const double differenceDb = 20.0 * std::log10(rms[0] / rms[1]);
  EXPECT_GT(std::fabs(differenceDb), 1.0) << "Depth 0 vs 100 %: " << differenceDb << " dB";
}

TEST_P(ModuleProcessing, MonoBusesProcessCentredMono)
{
  vst3::SpeakerArrangement mono = vst3::SpeakerArr::kMono;
  ASSERT_EQ(plugin->Processor()->setBusArrangements(&mono, 1, &mono, 1), vst3::kResultTrue);
  ProcessingSession s(plugin->Component(), plugin->Processor());
  ASSERT_EQ(s.Setup({kRate, 256, vst3::kSample32, vst3::kRealtime}), vst3::kResultOk);
  ASSERT_EQ(s.Inputs().ChannelCount(0), 1);
  ASSERT_EQ(s.Start(), vst3::kResultOk);
  // Width 0 % on every band: a centred mono signal must keep its level.
  for (vst3::ParamID width : {12u, 13u, 14u})
    s.InputChanges().AddPoint(width, 0, 0.0);
  s.InputChanges().AddPoint(kDepthId, 0, 0.0);
  const auto in = Sine(1000.0, 0.25, kRate, 24000, 1);
  auto out = Render(s, in, 256);
  ASSERT_EQ(out.size(), 1u);
  ASSERT_TRUE(AllFinite(out));
  const double gainDb = 20.0 * std::log10(Rms(out[0], 12000) / Rms(in[0], 12000));
  EXPECT_NEAR(gainDb, 0.0, 1.0) << "not treated as hard-left stereo (which loses 6 dB)";
}

TEST_P(ModuleProcessing, HostileProcessCallsNeitherCrashNorWriteOutOfBounds)
{
  vst3::IAudioProcessor* p = plugin->Processor();
  ProcessingSession s(plugin->Component(), plugin->Processor());
  // Buffers for 1024 samples, but the plug-in is told 256 at most.
  ASSERT_EQ(s.Setup({kRate, 1024, vst3::kSample64, vst3::kRealtime}), vst3::kResultOk);
  vst3::ProcessSetup smaller{vst3::kRealtime, vst3::kSample64, 256, kRate};
  ASSERT_EQ(p->setupProcessing(smaller), vst3::kResultOk);
  ASSERT_EQ(s.Start(), vst3::kResultOk);

  // More frames than prepared: processed in pieces; bypassed, output = input.
  const auto in = Noise(0.5, 1000);
  for (vst3::int32 c = 0; c < 2; ++c)
    s.SetInput(0, c, in[static_cast<std::size_t>(c)].data(), 1000);
  s.InputChanges().AddPoint(kHostBypassId, 0, 1.0);
  vst3::ProcessData& big = s.PrepareData(1000);
  EXPECT_EQ(p->process(big), vst3::kResultOk);
  std::vector<double> out(1000);
  s.GetOutput(0, 1, out.data(), 1000);
  EXPECT_EQ(out, in[1]) << "every frame of an oversized block is processed";
  s.InputChanges().AddPoint(kHostBypassId, 0, 0.0);

  // Zero frames, no buses at all.
  vst3::ProcessData& flush = s.PrepareData(0);
  flush.numInputs = flush.numOutputs = 0;
  flush.inputs = flush.outputs = nullptr;
  EXPECT_EQ(p->process(flush), vst3::kResultOk);

  // Null channel pointers and fewer channels than the bus has.
  vst3::ProcessData& holes = s.PrepareData(64);
  vst3::Sample64* noChannels[2] = {nullptr, nullptr};
  holes.inputs[0].channelBuffers64 = noChannels;
  EXPECT_EQ(p->process(holes), vst3::kResultOk);
  vst3::ProcessData& narrow = s.PrepareData(64);
  narrow.inputs[0].numChannels = 1;
  narrow.outputs[0].numChannels = 1;
  EXPECT_EQ(p->process(narrow), vst3::kResultOk);
  vst3::ProcessData& nullArray = s.PrepareData(64);
  nullArray.outputs[0].channelBuffers64 = nullptr;
  EXPECT_EQ(p->process(nullArray), vst3::kResultOk);

  // A block claiming 32-bit samples after a 64-bit set-up is refused, not read
  // as the wrong type.
  vst3::ProcessData& wrongSize = s.PrepareData(64);
  wrongSize.symbolicSampleSize = vst3::kSample32;
  EXPECT_EQ(p->process(wrongSize), vst3::kInvalidArgument);

  // Unknown parameter IDs and a queue without points.
  s.InputChanges().AddEmptyQueue(vst3::kNoParamId);
  s.InputChanges().AddPoint(65537, 0, 1.0);
  s.InputChanges().AddPoint(4000, 0, 1.0);
  EXPECT_EQ(s.Process(64), vst3::kResultOk);
  s.Stop();

  std::vector<std::vector<double>> after;
  ASSERT_EQ(s.Setup({kRate, 256, vst3::kSample64, vst3::kRealtime}), vst3::kResultOk);
  ASSERT_EQ(s.Start(), vst3::kResultOk);
  ASSERT_EQ(s.Run(Noise(0.5, 2048), after, 256), vst3::kResultOk);
  EXPECT_TRUE(AllFinite(after)) << "the plug-in still works after hostile calls";
}

TEST_P(ModuleProcessing, ProcessingBeforeSetupOrAtRateZeroIsHarmless)
{
  vst3::IAudioProcessor* p = plugin->Processor();
  ProcessingSession s(plugin->Component(), plugin->Processor());
  // Buffers come from a session set up here, then the plug-in sees a fresh instance.
  ASSERT_EQ(s.Setup({kRate, 512, vst3::kSample32, vst3::kRealtime}), vst3::kResultOk);
  auto fresh = NewInstance();
  EXPECT_EQ(fresh->Processor()->process(s.PrepareData(512)), vst3::kResultOk) << "before setupProcessing";

  vst3::ProcessSetup zero{vst3::kRealtime, vst3::kSample32, 512, 0.0};
  p->setupProcessing(zero);
  plugin->Component()->setActive(1);
  p->setProcessing(1);
  EXPECT_EQ(p->process(s.PrepareData(512)), vst3::kResultOk);
  p->setProcessing(0);
  plugin->Component()->setActive(0);
}

TEST_P(ModuleProcessing, ProcessAllocatesNothing)
{
#if defined(_WIN32)
  GTEST_SKIP() << "a Windows module keeps its own operator new, out of the test's sight; the in-process "
                  "real-time tests count the same engine's allocations";
#endif
  // First make sure the counter sees the module's own allocations (the
  // module's operator new binds to the test's): restoring state builds a byte
  // blob inside the module.
  {
    std::vector<std::uint8_t> state;
    ASSERT_EQ(plugin->GetState(state), vst3::kResultOk);
    auto stream = MakeCom<MemoryStream>(state);
    const std::size_t before = testsupport::CountedAllocations();
    {
      testsupport::AllocationScope inModule;
      plugin->Component()->setState(stream.Get());
    }
    ASSERT_GT(testsupport::CountedAllocations(), before) << "the counter does not see the module's allocations";
  }

  for (vst3::int32 size : {vst3::kSample32, vst3::kSample64}) {
    ProcessingSession s(plugin->Component(), plugin->Processor());
    ASSERT_EQ(s.Setup({kRate, 512, size, vst3::kRealtime}), vst3::kResultOk);
    ASSERT_EQ(s.Start(), vst3::kResultOk);
    const auto in = Noise(0.5, 512);
    for (vst3::int32 c = 0; c < 2; ++c)
      s.SetInput(0, c, in[static_cast<std::size_t>(c)].data(), 512);
    ASSERT_EQ(s.Process(512), vst3::kResultOk); // warm-up outside the count

    const std::size_t before = testsupport::CountedAllocations();
    for (int block = 0; block < 50; ++block) {
      // Automation of every parameter, a bypass change and the transport.
      for (vst3::ParamID id = 0; id < 26; ++id)
        s.InputChanges().AddPoint(id, block % 64, (block % 10) / 10.0);
      s.InputChanges().AddPoint(kHostBypassId, 0, block % 2 ? 1.0 : 0.0);
      vst3::ProcessData& data = s.PrepareData(block % 3 ? 512 : 17);
      {
        testsupport::AllocationScope audio;
        EXPECT_EQ(plugin->Processor()->process(data), vst3::kResultOk);
      }
      s.InputChanges().Clear();
    }
    EXPECT_EQ(testsupport::CountedAllocations(), before) << "heap allocations inside process()";
    s.Stop();
  }
}
