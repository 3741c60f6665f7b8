#include "tests/vst3/plug/TestPlug.h"

#include "vst3/abi/LinuxRunLoop.h"
#include "vst3/host/AttributeList.h"
#include "vst3/host/ComponentHandler.h"
#include "vst3/host/HostApplication.h"
#include "vst3/host/MemoryStream.h"
#include "vst3/host/ParameterChanges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

// Allocation counter for the audio-thread checks: counts operator new calls
// made on this thread while enabled.
namespace
{
thread_local bool tCounting = false;
thread_local long tAllocations = 0;
} // namespace

namespace
{
void* CountedAlloc(std::size_t size)
{
  if (tCounting)
    ++tAllocations;
  if (void* p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}
void Free(void* p) { std::free(p); }
} // namespace

void* operator new(std::size_t size) { return CountedAlloc(size); }
void* operator new[](std::size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }

using namespace vst3;
using vst3test::TestPlug;

namespace
{
template <class T>
struct Releaser
{
  void operator()(T* p) const { p->release(); }
};
template <class T>
using Ref = std::unique_ptr<T, Releaser<T>>;

// A plug-in initialised by a host called `hostName`, buses active, set up for
// `sampleSize` with blocks of at most 64 samples.
struct Fixture
{
  explicit Fixture(const char* hostName = "Test Host", int32 sampleSize = kSample64)
  {
    host.reset(new vst3host::HostApplication(hostName));
    EXPECT_EQ(plug->initialize(Context()), kResultOk);
    plug->activateBus(kAudio, kInput, 0, 1);
    plug->activateBus(kAudio, kOutput, 0, 1);
    ProcessSetup setup{kRealtime, sampleSize, 64, 48000.0};
    EXPECT_EQ(plug->setupProcessing(setup), kResultOk);
    plug->setActive(1);
  }
  ~Fixture() { plug->terminate(); }
  FUnknown* Context() const { return static_cast<IHostApplication*>(host.get()); }

  TestPlug* plug = new TestPlug;
  Ref<IAudioProcessor> processorRef{plug};
  Ref<vst3host::HostApplication> host;
};

// One stereo (or mono) block in 64-bit, in place of what a host hands over.
struct Block64
{
  explicit Block64(int frames, int channels = 2, double value = 0.5)
    : in(static_cast<size_t>(channels), std::vector<double>(static_cast<size_t>(frames), value)),
      out(static_cast<size_t>(channels), std::vector<double>(static_cast<size_t>(frames), -9.0))
  {
    for (int c = 0; c < channels; ++c)
    {
      inPtrs[c] = in[static_cast<size_t>(c)].data();
      outPtrs[c] = out[static_cast<size_t>(c)].data();
    }
    inBus.numChannels = outBus.numChannels = channels;
    inBus.channelBuffers64 = inPtrs;
    outBus.channelBuffers64 = outPtrs;
    data.symbolicSampleSize = kSample64;
    data.numSamples = frames;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
  }
  std::vector<std::vector<double>> in, out;
  double* inPtrs[2] = {};
  double* outPtrs[2] = {};
  AudioBusBuffers inBus{}, outBus{};
  ProcessData data{};
};

std::u16string ParamText(IEditController* c, ParamID id, double v)
{
  String128 s{};
  EXPECT_EQ(c->getParamStringByValue(id, v, s), kResultTrue);
  return s;
}
} // namespace

TEST(IPlugVST3Controller, ExportsBypassFirstThenEveryParameterWithItsKind)
{
  Fixture f;
  IEditController* c = f.plug;
  ASSERT_EQ(c->getParameterCount(), 4);
  ParameterInfo info{};
  ASSERT_EQ(c->getParameterInfo(0, info), kResultTrue);
  EXPECT_EQ(info.id, 65536u);
  EXPECT_EQ(std::u16string(info.title), u"Bypass");
  EXPECT_EQ(info.flags, 0x10009);
  EXPECT_EQ(info.stepCount, 1);
  EXPECT_EQ(ParamText(c, 65536, 1.0), u"on");

  ASSERT_EQ(c->getParameterInfo(1, info), kResultTrue);
  EXPECT_EQ(info.id, 0u);
  EXPECT_EQ(std::u16string(info.units), u"dB");
  EXPECT_EQ(info.stepCount, 0);
  EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, 0.5);
  ASSERT_EQ(c->getParameterInfo(2, info), kResultTrue);
  EXPECT_EQ(info.stepCount, 2);
  EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate | ParameterInfo::kIsList);
  EXPECT_EQ(ParamText(c, 1, 0.5), u"MID");
  ASSERT_EQ(c->getParameterInfo(3, info), kResultTrue);
  EXPECT_EQ(info.stepCount, 1);
  EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);

  EXPECT_EQ(c->getParameterInfo(4, info), kResultFalse);
  EXPECT_EQ(c->getParameterInfo(-1, info), kResultFalse);
  String128 s{};
  EXPECT_EQ(c->getParamStringByValue(3, 0.5, s), kResultFalse);

  // Text from the host is read only up to its declared 128 units.
  std::vector<TChar> unterminated(300, u'7');
  ParamValue v = -1;
  EXPECT_EQ(c->getParamValueByString(0, unterminated.data(), v), kResultTrue);
  EXPECT_GE(v, 0.0);
  EXPECT_LE(v, 1.0);

  UnitInfo unit{};
  EXPECT_EQ(f.plug->getUnitCount(), 1);
  ASSERT_EQ(f.plug->getUnitInfo(0, unit), kResultTrue);
  EXPECT_EQ(std::u16string(unit.name), u"Root");
  EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(f.plug->getUnitInfo(1, unit), kResultFalse);
}

TEST(IPlugVST3Controller, HostChangesReachTheParameterHandlerAndEditsReachTheHost)
{
  Fixture f;
  auto* handler = new vst3host::ComponentHandler;
  Ref<vst3host::ComponentHandler> handlerRef(handler);
  f.plug->setComponentHandler(handler);

  f.plug->updates.clear();
  EXPECT_EQ(f.plug->setParamNormalized(1, 1.0), kResultOk);
  EXPECT_EQ(f.plug->GetParam(1)->GetValue(), 2.0);
  EXPECT_EQ(f.plug->updates, "1:1 1:4 "); // Host, then Editor Delegate
  EXPECT_EQ(f.plug->getParamNormalized(1), 1.0);

  f.plug->updates.clear();
  EXPECT_EQ(f.plug->setParamNormalized(65536, 1.0), kResultOk);
  EXPECT_EQ(f.plug->getParamNormalized(65536), 1.0);
  EXPECT_EQ(f.plug->updates, ""); // the exported bypass only
  EXPECT_EQ(f.plug->setParamNormalized(99, 1.0), kResultFalse);
  EXPECT_EQ(f.plug->getParamNormalized(99), 0.0);

  f.plug->BeginParamGesture(0);
  f.plug->ParamEditedInEditor(0, 0.75);
  f.plug->EndParamGesture(0);
  EXPECT_EQ(f.plug->getParamNormalized(0), 0.75);
  const auto edits = handler->Records();
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].call, vst3host::ComponentHandler::Call::BeginEdit);
  EXPECT_EQ(edits[1].call, vst3host::ComponentHandler::Call::PerformEdit);
  EXPECT_EQ(edits[1].value, 0.75);
  EXPECT_EQ(edits[2].call, vst3host::ComponentHandler::Call::EndEdit);

  handler->Clear();
  f.plug->GetParam(2)->SetValue(1.0);
  f.plug->ResendAllParamsToHost();
  EXPECT_EQ(f.plug->getParamNormalized(2), 1.0);
  EXPECT_EQ(handler->Records(vst3host::ComponentHandler::Call::PerformEdit).size(), 3u);
  EXPECT_EQ(handler->Records(vst3host::ComponentHandler::Call::StartGroupEdit).size(), 1u);

  f.plug->setComponentHandler(nullptr);
}

TEST(IPlugVST3Controller, ProgramNamesMidiMappingAndChannelContext)
{
  Fixture f;
  String128 name{};
  EXPECT_EQ(f.plug->getProgramName(65537, 1, name), kResultOk);
  EXPECT_EQ(std::u16string(name), u"Second");
  EXPECT_EQ(f.plug->getProgramName(65537, 3, name), kResultOk);
  EXPECT_EQ(std::u16string(name), u"");
  EXPECT_EQ(f.plug->getProgramName(65537, -1, name), kResultOk);
  EXPECT_EQ(f.plug->getProgramName(0, 0, name), kResultFalse);

  ParamID id = 0;
  EXPECT_EQ(f.plug->getMidiControllerAssignment(0, 0, 7, id), kResultOk);
  EXPECT_EQ(id, 65545u);
  EXPECT_EQ(f.plug->getMidiControllerAssignment(0, 1, 7, id), kResultFalse);
  EXPECT_EQ(f.plug->getMidiControllerAssignment(1, 0, 7, id), kResultFalse);

  auto* list = new vst3host::AttributeList;
  Ref<vst3host::AttributeList> listRef(list);
  list->SetText("channel name", "Drums");
  list->setInt("channel name length", 5);
  list->setInt("channel color", 0xFF102030);
  list->setInt("channel index", 4);
  EXPECT_EQ(f.plug->setChannelContextInfos(list), kResultOk);
  std::string channel;
  f.plug->GetChannelName(channel);
  EXPECT_EQ(channel, "Drums");
  int r = 0, g = 0, b = 0;
  f.plug->GetChannelColor(r, g, b);
  EXPECT_EQ(r, 0x10);
  EXPECT_EQ(b, 0x30);
  EXPECT_EQ(f.plug->GetChannelIndex(), 4);

  auto* other = new vst3host::AttributeList; // no name length: the name stays
  Ref<vst3host::AttributeList> otherRef(other);
  other->SetText("channel name", "Bass");
  f.plug->setChannelContextInfos(other);
  f.plug->GetChannelName(channel);
  EXPECT_EQ(channel, "Drums");
  EXPECT_EQ(f.plug->setChannelContextInfos(nullptr), kResultFalse);
}

TEST(IPlugVST3Component, LifecycleIdentifiesTheHostAndRebuildsAfterTerminate)
{
  Fixture f("REAPER64");
  EXPECT_EQ(f.plug->GetHost(), iplug::kHostReaper);
  EXPECT_EQ(f.plug->hostKnownCalls, 2); // once by SetHost, once afterwards
  EXPECT_EQ(f.plug->initialize(f.Context()), kResultFalse);
  EXPECT_EQ(f.plug->terminate(), kResultOk);
  EXPECT_EQ(f.plug->getParameterCount(), 0);
  EXPECT_EQ(f.plug->getBusCount(kAudio, kInput), 0);
  EXPECT_EQ(f.plug->initialize(f.Context()), kResultOk);
  EXPECT_EQ(f.plug->getParameterCount(), 4);
  EXPECT_EQ(f.plug->getBusCount(kAudio, kOutput), 1);

  TUID cid{};
  EXPECT_EQ(f.plug->getControllerClassId(cid), kNotImplemented);
}

TEST(IPlugVST3Component, BusesArrangementsAndSampleSizes)
{
  Fixture f;
  BusInfo info{};
  ASSERT_EQ(f.plug->getBusInfo(kAudio, kInput, 0, info), kResultTrue);
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.busType, kMain);
  EXPECT_EQ(info.flags, BusInfo::kDefaultActive);

  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
  EXPECT_EQ(f.plug->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
  SpeakerArrangement arr = 0;
  EXPECT_EQ(f.plug->getBusArrangement(kOutput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono);
  ASSERT_EQ(f.plug->getBusInfo(kAudio, kOutput, 0, info), kResultTrue);
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_EQ(f.plug->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
  EXPECT_EQ(f.plug->setBusArrangements(&stereo, 2, &stereo, 1), kResultFalse);
  EXPECT_EQ(f.plug->setBusArrangements(nullptr, 1, &stereo, 1), kInvalidArgument);
  EXPECT_EQ(f.plug->getBusArrangement(kInput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono); // a refused request changes nothing

  EXPECT_EQ(f.plug->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(f.plug->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(f.plug->canProcessSampleSize(2), kResultFalse);
  ProcessSetup bad{kRealtime, 2, 64, 44100.0};
  EXPECT_EQ(f.plug->setupProcessing(bad), kResultFalse);
  EXPECT_EQ(f.plug->processSetup().symbolicSampleSize, kSample64);
  EXPECT_EQ(f.plug->getLatencySamples(), 0u);
  EXPECT_EQ(f.plug->getTailSamples(), 0u);
}

TEST(IPlugVST3Component, ArdourKeepsItsBusesWhateverItAsks)
{
  Fixture f("Ardour 7.3");
  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
  EXPECT_EQ(f.plug->setBusArrangements(&stereo, 1, &mono, 1), kResultTrue);
  SpeakerArrangement arr = 0;
  f.plug->getBusArrangement(kOutput, 0, arr);
  EXPECT_EQ(arr, SpeakerArr::kStereo);
}

TEST(IPlugVST3Processor, QueuesApplyTheirLastPointAndBypassSwitchesAboveOneHalf)
{
  Fixture f;
  auto* changes = new vst3host::ParameterChanges;
  Ref<vst3host::ParameterChanges> changesRef(changes);
  changes->AddPoint(0, 0, 0.0);
  changes->AddPoint(0, 10, 1.0);
  changes->AddPoint(0, 20, 0.75); // last point wins
  changes->AddPoint(65536, 5, 0.5);
  changes->AddEmptyQueue(2);
  changes->AddPoint(0xFFFFFFFFu, 0, 1.0);
  changes->AddPoint(77, 0, 1.0);
  Block64 block(32);
  block.data.inputParameterChanges = changes;
  EXPECT_EQ(f.plug->process(block.data), kResultOk);
  EXPECT_DOUBLE_EQ(f.plug->GetParam(0)->GetValue(), 0.5);
  EXPECT_EQ(f.plug->realtimeChanges[0], 1);
  EXPECT_EQ(f.plug->realtimeChanges[2], 0);
  EXPECT_FALSE(f.plug->GetBypassed());
  EXPECT_DOUBLE_EQ(block.out[0][31], 0.75); // 0.5 * (1 + 0.5)
  // Queue changes update only the plug-in's parameter, not the exported one.
  EXPECT_DOUBLE_EQ(f.plug->getParamNormalized(0), 0.5);

  changes->Clear();
  changes->AddPoint(65536, 0, 0.51);
  EXPECT_EQ(f.plug->process(block.data), kResultOk);
  EXPECT_TRUE(f.plug->GetBypassed());
  EXPECT_DOUBLE_EQ(block.out[1][0], 0.5); // passed through

  // A flush: no buffers at all, the change still applies.
  changes->Clear();
  changes->AddPoint(65536, 0, 0.0);
  changes->AddPoint(1, 0, std::numeric_limits<double>::quiet_NaN());
  ProcessData flush{};
  flush.inputParameterChanges = changes;
  EXPECT_EQ(f.plug->process(flush), kResultOk);
  EXPECT_FALSE(f.plug->GetBypassed());
  EXPECT_EQ(f.plug->GetParam(1)->GetValue(), 0.0); // the NaN point was ignored
}

TEST(IPlugVST3Processor, ProcessesSinglePrecisionAndMirrorsAMonoInput)
{
  Fixture f("Test Host", kSample32);
  std::vector<float> inL(16, 0.25f), outL(16, -9.f);
  float* in[1] = {inL.data()};
  float* out[1] = {outL.data()};
  SpeakerArrangement mono = SpeakerArr::kMono;
  ASSERT_EQ(f.plug->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
  AudioBusBuffers inBus{}, outBus{};
  inBus.numChannels = outBus.numChannels = 1;
  inBus.channelBuffers32 = in;
  outBus.channelBuffers32 = out;
  ProcessData d{};
  d.symbolicSampleSize = kSample32;
  d.numSamples = 16;
  d.numInputs = d.numOutputs = 1;
  d.inputs = &inBus;
  d.outputs = &outBus;
  EXPECT_EQ(f.plug->process(d), kResultOk);
  EXPECT_FLOAT_EQ(outL[15], 0.25f);
  EXPECT_DOUBLE_EQ(f.plug->lastRightInput, 0.25); // channel 1 reads channel 0
}

TEST(IPlugVST3Processor, HostileCallsNeverWriteOutOfBoundsOrCrash)
{
  TestPlug* fresh = new TestPlug;
  Ref<IAudioProcessor> freshRef(fresh);
  fresh->initialize(nullptr);
  Block64 early(8);
  EXPECT_EQ(fresh->process(early.data), kResultOk); // before setupProcessing: silence
  EXPECT_EQ(early.out[0][0], 0.0);
  fresh->terminate();

  Fixture f;
  Block64 zero(0);
  EXPECT_EQ(f.plug->process(zero.data), kResultOk);

  Block64 nullChannels(8);
  nullChannels.inPtrs[1] = nullptr;
  nullChannels.outPtrs[0] = nullptr;
  EXPECT_EQ(f.plug->process(nullChannels.data), kResultOk);

  Block64 noArrays(8);
  noArrays.inBus.channelBuffers64 = nullptr;
  noArrays.data.numInputs = 5; // more buses than arrays: only bus 0 is read
  EXPECT_EQ(f.plug->process(noArrays.data), kResultOk);

  Block64 oneChannel(8, 1);
  oneChannel.outBus.numChannels = 1;
  EXPECT_EQ(f.plug->process(oneChannel.data), kResultOk);

  // More frames than prepared (64): processed in pieces of at most 64.
  Block64 big(1000);
  EXPECT_EQ(f.plug->process(big.data), kResultOk);
  EXPECT_EQ(f.plug->largestBlock, 64);
  EXPECT_DOUBLE_EQ(big.out[1][999], 0.5);

  ProcessSetup zeroRate{kRealtime, kSample64, 64, 0.0};
  EXPECT_EQ(f.plug->setupProcessing(zeroRate), kResultOk);
  EXPECT_EQ(f.plug->process(big.data), kResultOk);
  ProcessSetup absurd{kRealtime, kSample64, -5, 44100.0};
  EXPECT_NE(f.plug->setupProcessing(absurd), kResultOk);
}

TEST(IPlugVST3Processor, ProcessAllocatesNothing)
{
  Fixture f;
  auto* changes = new vst3host::ParameterChanges;
  Ref<vst3host::ParameterChanges> changesRef(changes);
  Block64 block(200);
  block.data.inputParameterChanges = changes;
  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid;
  context.tempo = 128.0;
  block.data.processContext = &context;
  f.plug->process(block.data); // warm-up
  changes->AddPoint(0, 3, 0.9);
  changes->AddPoint(65536, 3, 0.0);
  tCounting = true;
  tAllocations = 0;
  f.plug->process(block.data);
  tCounting = false;
  EXPECT_EQ(tAllocations, 0);
  EXPECT_EQ(f.plug->GetTimeInfo().mTempo, 128.0);
  EXPECT_TRUE(f.plug->GetTimeInfo().mTransportIsRunning);

  block.data.processContext = nullptr; // the last context is kept
  f.plug->process(block.data);
  EXPECT_EQ(f.plug->GetTimeInfo().mTempo, 128.0);
}

TEST(IPlugVST3State, RoundTripsAndRefusesTruncatedOrForeignStreams)
{
  Fixture f;
  f.plug->GetParam(0)->SetValue(-0.5);
  f.plug->GetParam(1)->SetValue(2.0);
  auto* out = new vst3host::MemoryStream;
  Ref<vst3host::MemoryStream> outRef(out);
  ASSERT_EQ(static_cast<IComponent*>(f.plug)->getState(out), kResultOk);
  std::vector<std::uint8_t> bytes = out->Bytes();
  ASSERT_EQ(bytes.size(), 3 * 8 + 4u);
  bytes[24] = 1; // bypass word

  Fixture g;
  g.plug->updates.clear();
  auto* in = new vst3host::MemoryStream(bytes);
  Ref<vst3host::MemoryStream> inRef(in);
  in->SetReadChunkLimit(5); // a host that hands the stream over in small pieces
  ASSERT_EQ(static_cast<IComponent*>(g.plug)->setState(in), kResultOk);
  EXPECT_EQ(g.plug->GetParam(0)->GetValue(), -0.5);
  EXPECT_EQ(g.plug->GetParam(1)->GetValue(), 2.0);
  EXPECT_EQ(g.plug->getParamNormalized(1), 1.0);
  EXPECT_EQ(g.plug->getParamNormalized(65536), 1.0);
  EXPECT_FALSE(g.plug->GetBypassed()); // follows the next bypass change in process
  EXPECT_NE(g.plug->updates.find("0:2"), std::string::npos);

  // Too short for the parameter chunk: nothing changes.
  std::vector<std::uint8_t> shortBytes(bytes.begin(), bytes.begin() + 20);
  auto* truncated = new vst3host::MemoryStream(shortBytes);
  Ref<vst3host::MemoryStream> truncatedRef(truncated);
  Fixture h;
  EXPECT_EQ(static_cast<IComponent*>(h.plug)->setState(truncated), kResultFalse);
  EXPECT_EQ(h.plug->GetParam(0)->GetValue(), 0.0);

  // The whole chunk but no bypass word: parameters restored, false reported.
  std::vector<std::uint8_t> noBypass(bytes.begin(), bytes.begin() + 24);
  auto* partial = new vst3host::MemoryStream(noBypass);
  Ref<vst3host::MemoryStream> partialRef(partial);
  EXPECT_EQ(static_cast<IComponent*>(h.plug)->setState(partial), kResultFalse);
  EXPECT_EQ(h.plug->GetParam(0)->GetValue(), -0.5);

  // Garbage: values are brought into range, nothing crashes.
  std::vector<std::uint8_t> garbage(28, 0xFF);
  auto* junk = new vst3host::MemoryStream(garbage);
  Ref<vst3host::MemoryStream> junkRef(junk);
  EXPECT_EQ(static_cast<IComponent*>(h.plug)->setState(junk), kResultOk);
  EXPECT_TRUE(std::isfinite(h.plug->GetParam(0)->GetValue()));
  EXPECT_EQ(static_cast<IComponent*>(h.plug)->setState(nullptr), kInvalidArgument);

  // The controller's own state slots do nothing.
  EXPECT_EQ(static_cast<IEditController*>(h.plug)->setState(junk), kResultOk);
  EXPECT_EQ(h.plug->setComponentState(junk), kResultOk);
}

// The idle tick comes from the host's run loop on Linux; the Windows thread
// timer arrives with the Windows editor backend.
#if defined(__linux__)
namespace
{
// A host context offering only a run loop, as minimal Linux hosts do.
class FakeRunLoop : public Linux::IRunLoop
{
public:
  tresult VST3_CALL queryInterface(const TUID queried, void** obj) override
  {
    *obj = nullptr;
    if (QueryInterfaceAs<Linux::IRunLoop>(this, queried, obj) || QueryInterfaceAs<FUnknown>(this, queried, obj))
      return kResultOk;
    return kNoInterface;
  }
  uint32 VST3_CALL addRef() override { return static_cast<uint32>(++refs); }
  uint32 VST3_CALL release() override { return static_cast<uint32>(--refs); }
  tresult VST3_CALL registerEventHandler(Linux::IEventHandler*, Linux::FileDescriptor) override { return kNotImplemented; }
  tresult VST3_CALL unregisterEventHandler(Linux::IEventHandler*) override { return kNotImplemented; }
  tresult VST3_CALL registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval ms) override
  {
    if (refuse)
      return kNotImplemented;
    handler->addRef();
    timer = handler;
    interval = ms;
    return kResultOk;
  }
  tresult VST3_CALL unregisterTimer(Linux::ITimerHandler* handler) override
  {
    if (handler != timer)
      return kResultFalse;
    timer->release();
    timer = nullptr;
    return kResultOk;
  }
  virtual ~FakeRunLoop() = default;

  int refs = 1;
  bool refuse = false;
  Linux::ITimerHandler* timer = nullptr;
  Linux::TimerInterval interval = 0;
};
} // namespace

TEST(IPlugVST3IdleTimer, TicksFromTheHostRunLoopUntilTerminate)
{
  FakeRunLoop loop;
  TestPlug* plug = new TestPlug;
  ASSERT_EQ(plug->initialize(&loop), kResultOk);
  ASSERT_NE(loop.timer, nullptr);
  EXPECT_EQ(loop.interval, 20u);
  loop.timer->onTimer();
  loop.timer->onTimer();
  EXPECT_EQ(plug->idleTicks, 2);
  plug->terminate();
  EXPECT_EQ(loop.timer, nullptr);
  EXPECT_EQ(loop.refs, 1); // every reference to the host's loop given back
  plug->release();

  FakeRunLoop refusing; // a host that answers "not implemented": no ticks, no leak
  refusing.refuse = true;
  TestPlug* quiet = new TestPlug;
  EXPECT_EQ(quiet->initialize(&refusing), kResultOk);
  quiet->release(); // released without terminate
  EXPECT_EQ(refusing.refs, 1);
}
#endif
