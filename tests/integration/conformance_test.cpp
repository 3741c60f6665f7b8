// The host call sequences a VST 3 conformance validator drives, run against
// the real module through our host code: bus consistency and activation,
// state transitions, suspend/resume, silence, flushes, variable block sizes,
// many sample rates, automation, bypass persistence, arrangements and
// processing from another thread. Each runs in 32- and 64-bit where the
// validator does.

#include "ModuleFixture.h"

#include "vst3/host/MemoryStream.h"

#include <cmath>
#include <cstring>
#include <random>
#include <set>
#include <thread>

using namespace calvorin_test;
using namespace vst3host;

namespace
{

constexpr vst3::int32 kValidatorBlock = 8192;
constexpr double kValidatorRate = 44100.0;

class Conformance : public ModuleTest, public ::testing::WithParamInterface<vst3::int32>
{
protected:
  vst3::int32 SampleSize() const { return GetParam(); }
  ProcessConfig ValidatorSetup(double rate = kValidatorRate) const
  {
    return {rate, kValidatorBlock, SampleSize(), vst3::kRealtime};
  }
  bool OutputsFinite(ProcessingSession& s, vst3::int32 n)
  {
    std::vector<double> out(static_cast<std::size_t>(n));
    for (vst3::int32 c = 0; c < s.Outputs().ChannelCount(0); ++c) {
      s.GetOutput(0, c, out.data(), n);
      for (double v : out)
        if (!std::isfinite(v))
          return false;
    }
    return true;
  }
};

using GeneralConformance = ModuleTest;

bool SameBusInfo(const vst3::BusInfo& a, const vst3::BusInfo& b)
{
  return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST_F(GeneralConformance, BusInfoIsIdenticalOnEveryCall)
{
  vst3::IComponent* c = plugin->Component();
  std::mt19937 rng(7);
  for (vst3::MediaType type : {vst3::kAudio, vst3::kEvent}) {
    for (vst3::BusDirection dir : {vst3::kInput, vst3::kOutput}) {
      const vst3::int32 n = c->getBusCount(type, dir);
      std::vector<vst3::BusInfo> first(static_cast<std::size_t>(n));
      for (vst3::int32 i = 0; i < n; ++i) {
        std::memset(&first[static_cast<std::size_t>(i)], 0xA5, sizeof(vst3::BusInfo));
        ASSERT_EQ(c->getBusInfo(type, dir, i, first[static_cast<std::size_t>(i)]), vst3::kResultTrue);
      }
      for (int round = 0; n > 0 && round < 20 * n; ++round) {
        const vst3::int32 i = static_cast<vst3::int32>(rng() % static_cast<unsigned>(n));
        vst3::BusInfo again;
        std::memset(&again, 0x5A, sizeof again);
        ASSERT_EQ(c->getBusInfo(type, dir, i, again), vst3::kResultTrue);
        // Byte-wise, as validators compare: the name must be zero-padded.
        EXPECT_TRUE(SameBusInfo(again, first[static_cast<std::size_t>(i)]));
      }
    }
  }
}

TEST_F(GeneralConformance, EveryBusTogglesAwayFromItsDefaultAndBack)
{
  vst3::IComponent* c = plugin->Component();
  for (vst3::MediaType type : {vst3::kAudio, vst3::kEvent}) {
    for (vst3::BusDirection dir : {vst3::kInput, vst3::kOutput}) {
      for (vst3::int32 i = 0; i < c->getBusCount(type, dir); ++i) {
        vst3::BusInfo info{};
        ASSERT_EQ(c->getBusInfo(type, dir, i, info), vst3::kResultTrue);
        const bool defaultActive = info.flags & vst3::BusInfo::kDefaultActive;
        EXPECT_EQ(c->activateBus(type, dir, i, defaultActive ? 0 : 1), vst3::kResultOk);
        EXPECT_EQ(c->activateBus(type, dir, i, defaultActive ? 1 : 0), vst3::kResultOk);
        vst3::SpeakerArrangement arr = 0;
        if (type == vst3::kAudio) {
          ASSERT_EQ(plugin->Processor()->getBusArrangement(dir, i, arr), vst3::kResultTrue);
          EXPECT_EQ(vst3::SpeakerArr::getChannelCount(arr), info.channelCount);
        }
      }
    }
  }
  EXPECT_NE(c->activateBus(vst3::kAudio, vst3::kInput, 5, 1), vst3::kResultOk);
  EXPECT_NE(c->activateBus(vst3::kAudio, vst3::kInput, -1, 1), vst3::kResultOk);
}

TEST_F(GeneralConformance, ParameterScanFindsValidUniqueIdsAndOneBypass)
{
  int bypassCount = 0;
  std::set<vst3::ParamID> ids;
  for (const ParameterRecord& p : plugin->Parameters()) {
    EXPECT_LT(p.id, 0x80000000u);
    EXPECT_TRUE(ids.insert(p.id).second) << "duplicate ID " << p.id;
    EXPECT_GE(p.stepCount, 0);
    EXPECT_FALSE(p.title.empty());
    EXPECT_GE(p.defaultNormalized, 0.0);
    EXPECT_LE(p.defaultNormalized, 1.0);
    EXPECT_GE(p.unitId, -1);
    const bool automate = p.flags & vst3::ParameterInfo::kCanAutomate;
    const bool readOnly = p.flags & vst3::ParameterInfo::kIsReadOnly;
    EXPECT_FALSE(automate && readOnly);
    if (p.flags & vst3::ParameterInfo::kIsBypass) {
      ++bypassCount;
      EXPECT_TRUE(automate);
    }
  }
  EXPECT_EQ(bypassCount, 1);

  // As validators do: every controller number on every event input bus and
  // channel must map to an existing parameter or to none.
  const vst3::int32 eventInputs = plugin->Component()->getBusCount(vst3::kEvent, vst3::kInput);
  for (vst3::int32 bus = 0; bus < eventInputs; ++bus) {
    vst3::BusInfo info{};
    ASSERT_EQ(plugin->Component()->getBusInfo(vst3::kEvent, vst3::kInput, bus, info), vst3::kResultTrue);
    for (vst3::int16 channel = 0; channel < info.channelCount; ++channel) {
      for (vst3::CtrlNumber cc = 0; cc <= vst3::kCountCtrlNumber; ++cc) {
        vst3::ParamID id = 0;
        if (plugin->MidiMapping()->getMidiControllerAssignment(bus, channel, cc, id) == vst3::kResultTrue) {
          EXPECT_TRUE(ids.count(id)) << "controller " << cc << " maps to missing parameter " << id;
        }
      }
    }
  }
}

TEST_F(GeneralConformance, TerminateAndInitializeRepeatOnTheLiveComponent)
{
  vst3::FUnknown* context = static_cast<vst3::IHostApplication*>(host.Get());
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(plugin->Component()->terminate(), vst3::kResultTrue);
    EXPECT_EQ(plugin->Component()->initialize(context), vst3::kResultTrue);
  }
  EXPECT_EQ(plugin->Controller()->getParameterCount(), 27);
}

TEST_P(Conformance, ValidStateTransitions)
{
  vst3::IComponent* c = plugin->Component();
  vst3::IAudioProcessor* p = plugin->Processor();
  vst3::FUnknown* context = static_cast<vst3::IHostApplication*>(host.Get());
  for (int round = 0; round < 4; ++round) {
    vst3::ProcessSetup setup{vst3::kRealtime, SampleSize(), kValidatorBlock, kValidatorRate};
    EXPECT_EQ(p->setupProcessing(setup), vst3::kResultTrue);
    EXPECT_EQ(c->setActive(1), vst3::kResultTrue);
    EXPECT_EQ(c->setActive(0), vst3::kResultTrue);
    EXPECT_EQ(c->activateBus(vst3::kAudio, vst3::kInput, 0, 0), vst3::kResultTrue);
    EXPECT_EQ(c->activateBus(vst3::kAudio, vst3::kOutput, 0, 0), vst3::kResultTrue);
    EXPECT_EQ(c->terminate(), vst3::kResultTrue);
    EXPECT_EQ(c->initialize(context), vst3::kResultTrue);
    if (round < 2) {
      EXPECT_EQ(c->activateBus(vst3::kAudio, vst3::kInput, 0, 1), vst3::kResultTrue);
      EXPECT_EQ(c->activateBus(vst3::kAudio, vst3::kOutput, 0, 1), vst3::kResultTrue);
    }
  }
}

TEST_P(Conformance, SuspendAndResume)
{
  vst3::ProcessSetup setup{vst3::kRealtime, SampleSize(), kValidatorBlock, kValidatorRate};
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(plugin->Processor()->setupProcessing(setup), vst3::kResultOk);
    EXPECT_EQ(plugin->Component()->setActive(1), vst3::kResultOk);
    EXPECT_EQ(plugin->Component()->setActive(0), vst3::kResultOk);
  }
}

TEST_P(Conformance, ProcessWithoutListsOrContextAndEverySilenceFlagCombination)
{
  ProcessingSession s(plugin->Component(), plugin->Processor());
  ASSERT_EQ(s.Setup(ValidatorSetup()), vst3::kResultOk);
  ASSERT_EQ(s.Start(), vst3::kResultOk);
  for (int i = 0; i < 3; ++i) {
    vst3::ProcessData& d = s.PrepareData(64);
    d.inputParameterChanges = d.outputParameterChanges = nullptr;
    d.inputEvents = d.outputEvents = nullptr;
    d.processContext = nullptr;
    EXPECT_EQ(plugin->Processor()->process(d), vst3::kResultOk);
  }
  for (vst3::uint64 flags = 0; flags < 4; ++flags) {
    vst3::ProcessData& d = s.PrepareData(64);
    d.inputs[0].silenceFlags = flags;
    EXPECT_EQ(plugin->Processor()->process(d), vst3::kResultOk);
  }
  EXPECT_TRUE(OutputsFinite(s, 64));
}

TEST_P(Conformance, TwentySecondsOfSilence)
{
  ProcessingSession s(plugin->Component(), plugin->Processor());
  ASSERT_EQ(s.Setup(ValidatorSetup()), vst3::kResultOk);
  ASSERT_EQ(s.Start(), vst3::kResultOk);
  s.Inputs().Clear();
  const int blocks = static_cast<int>(20.0 * kValidatorRate / 64.0);
  double peak = 0.0;
  std::vector<double> out(64);
  for (int b = 0; b < blocks; ++b) {
    vst3::ProcessData& d = s.PrepareData(64);
    d.inputs[0].silenceFlags = 0x3;
    ASSERT_EQ(plugin->Processor()->process(d), vst3::kResultOk);
    s.GetOutput(0, b % 2, out.data(), 64);
    for (double v : out) {
      ASSERT_TRUE(std::isfinite(v));
      peak = std::max(peak, std::fabs(v));
    }
  }
  EXPECT_LT(peak, 1e-6) << "silence in, (near) silence out";
}

TEST_P(Conformance, ParameterFlushesWithoutBuffers)
{
  ProcessingSession s(plugin->Component(), plugin->Processor());
  ASSERT_EQ(s.Setup(ValidatorSetup()), vst3::kResultOk);
  ASSERT_EQ(s.Start(), vst3::kResultOk);
  vst3::IAudioProcessor* p = plugin->Processor();

  s.InputChanges().AddEmptyQueue(plugin->Parameters()[0].id);
  vst3::ProcessData& none = s.PrepareData(0);
  none.numInputs = none.numOutputs = 0;
  none.inputs = none.outputs = nullptr;
  EXPECT_EQ(p->process(none), vst3::kResultOk);
  s.InputChanges().Clear();

  vst3::ProcessData& zeroChannels = s.PrepareData(0);
  zeroChannels.numInputs = zeroChannels.numOutputs = 0;
  zeroChannels.inputs[0].numChannels = 0;
  zeroChannels.outputs[0].numChannels = 0;
  EXPECT_EQ(p->process(zeroChannels), vst3::kResultOk);

  vst3::ProcessData& plain = s.PrepareData(0);
  plain.numInputs = plain.numOutputs = 0;
  plain.inputs = plain.outputs = nullptr;
  plain.inputParameterChanges = nullptr;
  EXPECT_EQ(p->process(plain), vst3::kResultOk);
}

TEST_P(Conformance, VariableBlockSizes)
{
  ProcessingSession s(plugin->Component(), plugin->Processor());
  ASSERT_EQ(s.Setup(ValidatorSetup()), vst3::kResultOk);
  ASSERT_EQ(s.Start(), vst3::kResultOk);
  std::mt19937 rng(3);
  const auto noise = Noise(0.5, kValidatorBlock);
  for (vst3::int32 c = 0; c < 2; ++c)
    s.SetInput(0, c, noise[static_cast<std::size_t>(c)].data(), kValidatorBlock);
  s.Process(0); // the validator ignores the first call's result
  for (int call = 0; call < 20; ++call) {
    const vst3::int32 n = static_cast<vst3::int32>(rng() % kValidatorBlock);
    ASSERT_EQ(s.Process(n), vst3::kResultOk) << n << " samples";
    EXPECT_TRUE(OutputsFinite(s, n)) << n << " samples";
  }
}

TEST_P(Conformance, ManySampleRates)
{
  const double rates[] = {22050.0, 32000.0,  44100.0,   48000.0,   88200.0,   96000.0,
                          192000.0, 384000.0, 1234.5678, 12345.678, 123456.78, 1234567.8};
  ProcessingSession s(plugin->Component(), plugin->Processor());
  const auto noise = Noise(0.5, 64);
  for (double rate : rates) {
    SCOPED_TRACE(rate);
    ASSERT_EQ(s.Setup(ValidatorSetup(rate)), vst3::kResultOk);
    vst3::IComponent* c = plugin->Component();
    ASSERT_EQ(c->setActive(1), vst3::kResultOk);
    for (vst3::int32 ch = 0; ch < 2; ++ch)
      s.SetInput(0, ch, noise[static_cast<std::size_t>(ch)].data(), 64);
    EXPECT_EQ(plugin->Processor()->process(s.PrepareData(64)), vst3::kResultOk);
    EXPECT_TRUE(OutputsFinite(s, 64));
    ASSERT_EQ(c->setActive(0), vst3::kResultOk);
  }
}

TEST_P(Conformance, AutomationOfOneSeveralAndAllParameters)
{
  ProcessingSession s(plugin->Component(), plugin->Processor());
  ASSERT_EQ(s.Setup(ValidatorSetup()), vst3::kResultOk);
  ASSERT_EQ(s.Start(), vst3::kResultOk);
  std::vector<vst3::ParamID> automatable;
  for (const ParameterRecord& p : plugin->Parameters())
    if (p.flags & vst3::ParameterInfo::kCanAutomate)
      automatable.push_back(p.id);
  ASSERT_FALSE(automatable.empty());
  const auto noise = Noise(0.5, kValidatorBlock);
  for (vst3::int32 c = 0; c < 2; ++c)
    s.SetInput(0, c, noise[static_cast<std::size_t>(c)].data(), kValidatorBlock);
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> value(0.0, 1.0);
  for (std::size_t count : {std::size_t{1}, std::size_t{2}, std::size_t{10}, automatable.size()}) {
    for (vst3::int32 interval : {100, 50, 1}) {
      SCOPED_TRACE(::testing::Message() << count << " parameters every " << interval << " samples");
      for (int block = 0; block < 3; ++block) {
        // Sample-accurate variant: points at offsets 0 and 1 first.
        for (std::size_t k = 0; k < count && k < automatable.size(); ++k) {
          const vst3::ParamID id = automatable[k];
          if (id == plugin->Parameters()[0].id)
            continue; // leave the host bypass off so the signal path runs
          s.InputChanges().AddPoint(id, 0, value(rng));
          s.InputChanges().AddPoint(id, 1, value(rng));
          for (vst3::int32 at = interval; at < 64 && at > 1; at += interval)
            s.InputChanges().AddPoint(id, at, value(rng));
        }
        s.InputChanges().AddEmptyQueue(vst3::kNoParamId);
        ASSERT_EQ(s.Process(64), vst3::kResultOk);
        EXPECT_TRUE(OutputsFinite(s, 64));
      }
    }
  }
}

TEST_P(Conformance, BypassPersistsThroughStateAndReachesTheController)
{
  ProcessingSession s(plugin->Component(), plugin->Processor());
  ASSERT_EQ(s.Setup(ValidatorSetup()), vst3::kResultOk);
  ASSERT_EQ(s.Start(), vst3::kResultOk);
  vst3::IEditController* ctrl = plugin->Controller();
  auto flush = [&](double bypass) {
    s.InputChanges().AddPoint(kHostBypassId, 0, bypass);
    vst3::ProcessData& d = s.PrepareData(0);
    d.numInputs = d.numOutputs = 0;
    d.inputs = d.outputs = nullptr;
    EXPECT_EQ(plugin->Processor()->process(d), vst3::kResultOk);
    s.InputChanges().Clear();
    ctrl->setParamNormalized(kHostBypassId, bypass);
  };
  flush(1.0);
  // The preset: windows into a larger stream, as the validator uses.
  auto preset = MakeCom<MemoryStream>();
  ASSERT_EQ(plugin->Component()->getState(preset.Get()), vst3::kResultOk);
  vst3::int64 componentEnd = 0;
  preset->tell(&componentEnd);
  const vst3::tresult controllerSave = ctrl->getState(preset.Get());
  EXPECT_TRUE(controllerSave == vst3::kResultOk || controllerSave == vst3::kNotImplemented);

  flush(0.0);
  EXPECT_EQ(ctrl->getParamNormalized(kHostBypassId), 0.0);

  auto componentPart = MakeCom<MemoryStream>(std::vector<std::uint8_t>(
      preset->Bytes().begin(), preset->Bytes().begin() + static_cast<std::ptrdiff_t>(componentEnd)));
  ASSERT_EQ(plugin->Component()->setState(componentPart.Get()), vst3::kResultOk);
  componentPart->Rewind();
  const vst3::tresult mirror = ctrl->setComponentState(componentPart.Get());
  EXPECT_TRUE(mirror == vst3::kResultOk || mirror == vst3::kNotImplemented);
  EXPECT_GE(ctrl->getParamNormalized(kHostBypassId), 1.0)
      << "a bypass applied in a flush is saved in the component state and restored in the controller";
}

TEST_P(Conformance, StereoAndMonoArrangementsThenProcess)
{
  for (vst3::SpeakerArrangement arr : {vst3::SpeakerArr::kStereo, vst3::SpeakerArr::kMono}) {
    vst3::SpeakerArrangement in = arr, out = arr;
    ASSERT_EQ(plugin->Processor()->setBusArrangements(&in, 1, &out, 1), vst3::kResultTrue);
    vst3::SpeakerArrangement got = 0;
    ASSERT_EQ(plugin->Processor()->getBusArrangement(vst3::kOutput, 0, got), vst3::kResultTrue);
    vst3::BusInfo info{};
    ASSERT_EQ(plugin->Component()->getBusInfo(vst3::kAudio, vst3::kOutput, 0, info), vst3::kResultTrue);
    EXPECT_EQ(info.channelCount, vst3::SpeakerArr::getChannelCount(got));
    ProcessingSession s(plugin->Component(), plugin->Processor());
    ASSERT_EQ(s.Setup(ValidatorSetup()), vst3::kResultOk);
    ASSERT_EQ(s.Start(), vst3::kResultOk);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(s.Process(64), vst3::kResultOk);
  }
}

TEST_P(Conformance, ProcessFromAnotherThread)
{
  ProcessingSession s(plugin->Component(), plugin->Processor());
  ASSERT_EQ(s.Setup(ValidatorSetup()), vst3::kResultOk);
  ASSERT_EQ(s.Start(), vst3::kResultOk);
  const auto noise = Noise(0.5, 64);
  for (vst3::int32 c = 0; c < 2; ++c)
    s.SetInput(0, c, noise[static_cast<std::size_t>(c)].data(), 64);
  int failures = 0;
  std::thread audio([&] {
    for (int i = 0; i < 9999; ++i)
      if (s.Process(64) != vst3::kResultOk)
        ++failures;
  });
  audio.join();
  EXPECT_EQ(failures, 0);
  EXPECT_TRUE(OutputsFinite(s, 64));
}

INSTANTIATE_TEST_SUITE_P(SampleSizes, Conformance, ::testing::Values(vst3::kSample32, vst3::kSample64),
                         [](const auto& param) { return param.param == vst3::kSample32 ? "Single32" : "Double64"; });
