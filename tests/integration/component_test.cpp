// The component and audio-processor side as a host sees it: interfaces on one
// object, initialisation, buses and arrangements, processing set-up, state.

#include "ModuleFixture.h"

#include "vst3/host/MemoryStream.h"
#include "vst3/host/Strings.h"

#include <cstring>

using namespace calvorin_test;
using namespace vst3host;

using ModuleComponent = ModuleTest;

namespace
{

vst3::FUnknown* Identity(vst3::FUnknown* object)
{
  auto unknown = QueryInterface<vst3::FUnknown>(object);
  return unknown.Get();
}

} // namespace

TEST_F(ModuleComponent, OneObjectIsComponentProcessorAndController)
{
  EXPECT_TRUE(plugin->IsSingleComponent());
  vst3::FUnknown* viaComponent = Identity(plugin->Component());
  EXPECT_EQ(Identity(plugin->Processor()), viaComponent);
  EXPECT_EQ(Identity(plugin->Controller()), viaComponent);
  EXPECT_TRUE(QueryInterface<vst3::IProcessContextRequirements>(plugin->Component()))
      << "required of a class built against SDK 3.7";
  EXPECT_TRUE(QueryInterface<vst3::IEditController2>(plugin->Component()));
  EXPECT_TRUE(QueryInterface<vst3::IPluginBase>(plugin->Component()));
  EXPECT_NE(plugin->UnitInfo(), nullptr);
  EXPECT_NE(plugin->MidiMapping(), nullptr);
  EXPECT_TRUE(QueryInterface<vst3::ChannelContext::IInfoListener>(plugin->Component()));
  EXPECT_FALSE(QueryInterface<vst3::IConnectionPoint>(plugin->Component()))
      << "a single component is never connected";

  vst3::TUID cid{};
  EXPECT_EQ(plugin->Component()->getControllerClassId(cid), vst3::kNotImplemented);
  auto req = QueryInterface<vst3::IProcessContextRequirements>(plugin->Component());
  EXPECT_EQ(req->getProcessContextRequirements(), 0u);
}

TEST_F(ModuleComponent, InitializeTwiceIsRefusedAndTerminateAllowsItAgain)
{
  vst3::IComponent* c = plugin->Component();
  vst3::FUnknown* context = static_cast<vst3::IHostApplication*>(host.Get());
  EXPECT_EQ(c->initialize(context), vst3::kResultFalse);
  EXPECT_EQ(c->terminate(), vst3::kResultOk);
  EXPECT_EQ(c->initialize(context), vst3::kResultOk);
  EXPECT_EQ(plugin->Controller()->getParameterCount(), 27) << "parameters rebuilt after re-initialisation";
  EXPECT_EQ(c->getBusCount(vst3::kAudio, vst3::kInput), 1);
}

TEST_F(ModuleComponent, OneStereoBusEachWayAndNoEventBuses)
{
  vst3::IComponent* c = plugin->Component();
  EXPECT_EQ(c->getBusCount(vst3::kAudio, vst3::kInput), 1);
  EXPECT_EQ(c->getBusCount(vst3::kAudio, vst3::kOutput), 1);
  EXPECT_EQ(c->getBusCount(vst3::kEvent, vst3::kInput), 0);
  EXPECT_EQ(c->getBusCount(vst3::kEvent, vst3::kOutput), 0);
  for (vst3::BusDirection dir : {vst3::kInput, vst3::kOutput}) {
    vst3::BusInfo info{};
    ASSERT_EQ(c->getBusInfo(vst3::kAudio, dir, 0, info), vst3::kResultOk);
    EXPECT_EQ(info.mediaType, vst3::kAudio);
    EXPECT_EQ(info.direction, dir);
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(info.busType, vst3::kMain);
    EXPECT_EQ(info.flags, vst3::BusInfo::kDefaultActive);
    EXPECT_FALSE(Utf16ToUtf8(info.name).empty());
    vst3::SpeakerArrangement arr = 0;
    ASSERT_EQ(plugin->Processor()->getBusArrangement(dir, 0, arr), vst3::kResultOk);
    EXPECT_EQ(arr, vst3::SpeakerArr::kStereo);
    EXPECT_NE(c->getBusInfo(vst3::kAudio, dir, 1, info), vst3::kResultOk);
    EXPECT_NE(c->getBusInfo(vst3::kAudio, dir, -1, info), vst3::kResultOk);
    EXPECT_NE(c->getBusInfo(vst3::kEvent, dir, 0, info), vst3::kResultOk);
  }
}

TEST_F(ModuleComponent, BusArrangementsAcceptMonoAndStereoButNotMixedWidths)
{
  vst3::IAudioProcessor* p = plugin->Processor();
  vst3::SpeakerArrangement mono = vst3::SpeakerArr::kMono, stereo = vst3::SpeakerArr::kStereo;
  ASSERT_EQ(p->setBusArrangements(&mono, 1, &mono, 1), vst3::kResultTrue);
  vst3::BusInfo info{};
  ASSERT_EQ(plugin->Component()->getBusInfo(vst3::kAudio, vst3::kInput, 0, info), vst3::kResultOk);
  EXPECT_EQ(info.channelCount, 1);
  vst3::SpeakerArrangement arr = 0;
  ASSERT_EQ(p->getBusArrangement(vst3::kOutput, 0, arr), vst3::kResultOk);
  EXPECT_EQ(arr, vst3::SpeakerArr::kMono);

  EXPECT_EQ(p->setBusArrangements(&stereo, 1, &mono, 1), vst3::kResultFalse);
  ASSERT_EQ(p->getBusArrangement(vst3::kOutput, 0, arr), vst3::kResultOk);
  EXPECT_EQ(arr, vst3::SpeakerArr::kMono) << "a refused request leaves the buses";

  vst3::SpeakerArrangement two[2] = {stereo, stereo};
  EXPECT_EQ(p->setBusArrangements(two, 2, two, 2), vst3::kResultFalse) << "more buses than any configuration";
  vst3::SpeakerArrangement surround = vst3::SpeakerArr::k51;
  EXPECT_EQ(p->setBusArrangements(&surround, 1, &surround, 1), vst3::kResultFalse);

  ASSERT_EQ(p->setBusArrangements(&stereo, 1, &stereo, 1), vst3::kResultTrue);
  ASSERT_EQ(p->getBusArrangement(vst3::kInput, 0, arr), vst3::kResultOk);
  EXPECT_EQ(arr, vst3::SpeakerArr::kStereo);
}

TEST_F(ModuleComponent, SampleSizesAndProcessingSetup)
{
  vst3::IAudioProcessor* p = plugin->Processor();
  EXPECT_EQ(p->canProcessSampleSize(vst3::kSample32), vst3::kResultTrue);
  EXPECT_EQ(p->canProcessSampleSize(vst3::kSample64), vst3::kResultTrue);
  EXPECT_EQ(p->canProcessSampleSize(2), vst3::kResultFalse);
  vst3::ProcessSetup bad{vst3::kRealtime, 2, 512, 48000.0};
  EXPECT_EQ(p->setupProcessing(bad), vst3::kResultFalse);
  vst3::ProcessSetup good{vst3::kRealtime, vst3::kSample64, 512, 48000.0};
  EXPECT_EQ(p->setupProcessing(good), vst3::kResultOk);
  EXPECT_EQ(p->getLatencySamples(), 0u);
  EXPECT_EQ(p->getTailSamples(), 0u);
}

TEST_F(ModuleComponent, StateIsTheParameterChunkPlusABypassWordAndRoundTrips)
{
  std::vector<std::uint8_t> defaults;
  ASSERT_EQ(plugin->GetState(defaults), vst3::kResultOk);
  ASSERT_EQ(defaults.size(), 212u) << "26 little-endian doubles and a 32-bit bypass word";
  double depth = 0;
  std::memcpy(&depth, defaults.data() + 8 * kDepthId, 8);
  EXPECT_EQ(depth, 50.0) << "real values, not normalised";

  // Change Depth and the host bypass through process, save, load elsewhere.
  ProcessingSession session(plugin->Component(), plugin->Processor());
  ASSERT_EQ(session.Setup({48000.0, 64, vst3::kSample32, vst3::kRealtime}), vst3::kResultOk);
  ASSERT_EQ(session.Start(), vst3::kResultOk);
  session.InputChanges().AddPoint(kDepthId, 0, 0.8);
  session.InputChanges().AddPoint(kHostBypassId, 0, 1.0);
  ASSERT_EQ(session.Process(64), vst3::kResultOk);
  session.Stop();

  std::vector<std::uint8_t> saved;
  ASSERT_EQ(plugin->GetState(saved), vst3::kResultOk);
  ASSERT_EQ(saved.size(), 212u);
  std::memcpy(&depth, saved.data() + 8 * kDepthId, 8);
  EXPECT_NEAR(depth, 80.0, 1e-9);
  vst3::int32 bypassWord = -1;
  std::memcpy(&bypassWord, saved.data() + 208, 4);
  EXPECT_EQ(bypassWord, 1);

  auto other = NewInstance();
  ASSERT_TRUE(other);
  ASSERT_EQ(other->SetState(saved), vst3::kResultOk);
  std::vector<std::uint8_t> reloaded;
  ASSERT_EQ(other->GetState(reloaded), vst3::kResultOk);
  // The bypass word follows the processor's flag, which only process() sets.
  EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + 208, reloaded.begin()));
  EXPECT_NEAR(other->Controller()->getParamNormalized(kDepthId), 0.8, 1e-12);
  EXPECT_EQ(other->Controller()->getParamNormalized(kHostBypassId), 1.0)
      << "the restored bypass word reaches the exported bypass parameter";
}

TEST_F(ModuleComponent, TruncatedOrMissingStateChangesNothing)
{
  std::vector<std::uint8_t> before;
  ASSERT_EQ(plugin->GetState(before), vst3::kResultOk);

  std::vector<std::uint8_t> shortChunk(100, 0x11);
  EXPECT_NE(plugin->SetState(shortChunk), vst3::kResultOk);
  std::vector<std::uint8_t> after;
  ASSERT_EQ(plugin->GetState(after), vst3::kResultOk);
  EXPECT_EQ(after, before) << "a stream shorter than the parameter chunk changes no parameter";

  EXPECT_NE(plugin->SetState({}), vst3::kResultOk);
  ASSERT_EQ(plugin->GetState(after), vst3::kResultOk);
  EXPECT_EQ(after, before);

  // The whole chunk without the bypass word: parameters restored, reported false.
  std::vector<std::uint8_t> noBypass(before.begin(), before.begin() + 208);
  double depth = 10.0;
  std::memcpy(noBypass.data() + 8 * kDepthId, &depth, 8);
  EXPECT_EQ(plugin->SetState(noBypass), vst3::kResultFalse);
  ASSERT_EQ(plugin->GetState(after), vst3::kResultOk);
  std::memcpy(&depth, after.data() + 8 * kDepthId, 8);
  EXPECT_EQ(depth, 10.0);

  // A host that hands state over in small pieces.
  auto stream = MakeCom<MemoryStream>(before);
  stream->SetReadChunkLimit(7);
  EXPECT_EQ(plugin->Component()->setState(stream.Get()), vst3::kResultOk);
  ASSERT_EQ(plugin->GetState(after), vst3::kResultOk);
  EXPECT_EQ(after, before);

  EXPECT_NE(plugin->Component()->setState(nullptr), vst3::kResultOk);
  EXPECT_NE(plugin->Component()->getState(nullptr), vst3::kResultOk);
}
