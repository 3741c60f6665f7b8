// Host call sequences on the real module: the input bytes choose which calls
// a host makes, in which order and with which arguments, including the odd
// ones (strange rates and block sizes, missing or null buffers, mismatched
// sample sizes, junk parameter queues and state). Invariants: no crash or
// sanitizer report, finite input gives finite output, bypass gives the input
// back, state reads back at its documented size, parameters stay normalised.

#include "dsp/ChainControls.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/ModuleRig.h"
#include "vst3/host/MemoryStream.h"
#include "vst3/host/ParameterChanges.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace
{

using namespace vst3;
using namespace vst3::SpeakerArr;

constexpr ParamID kBypassId = 65536;
constexpr int32 kStateSize = 212;
constexpr int32 kMaxHostBlock = 8192; // what this host allocates at most
constexpr int kMaxCalls = 48;

struct HostState
{
  ProcessSetup setup{kRealtime, kSample32, 0, 0.0};
  bool setupOk = false;
  bool active = false;
  bool processing = false;
  bool mainInActive = false;
  bool mainOutActive = false;
};

// Host-side buffers for two buses of up to 8 channels in both sample sizes.
struct Buffers
{
  std::array<std::vector<float>, 8> in32, out32;
  std::array<std::vector<double>, 8> in64, out64;
  std::array<float*, 8> inPtr32{}, outPtr32{};
  std::array<double*, 8> inPtr64{}, outPtr64{};

  Buffers()
  {
    for (int c = 0; c < 8; ++c)
    {
      in32[c].assign(kMaxHostBlock, 0.0f);
      out32[c].assign(kMaxHostBlock, 0.0f);
      in64[c].assign(kMaxHostBlock, 0.0);
      out64[c].assign(kMaxHostBlock, 0.0);
    }
  }

  void Fill(FuzzInput& in, int32 n, bool finite)
  {
    const uint8_t kind = in.Byte();
    uint32_t seed = in.Take<uint16_t>() + 1u;
    for (int c = 0; c < 8; ++c)
      for (int32 s = 0; s < n; ++s)
      {
        seed = seed * 1664525u + 1013904223u;
        double v = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
        switch (kind % 6)
        {
          case 0: v = 0.0; break;
          case 1: v = (s % 100) < 50 ? 1.0 : -1.0; break;
          case 2: v *= 1e-310; break;
          case 3: v = s == 0 ? 1.0 : 0.0; break;
          case 4: v = (s % 64 == 7 && !finite) ? __builtin_nan("") : v; break;
          default: break;
        }
        in64[c][static_cast<size_t>(s)] = v;
        in32[c][static_cast<size_t>(s)] = static_cast<float>(v);
      }
  }
};

// Shared by every input: allocating them per input would dominate the run time.
Buffers& SharedBuffers()
{
  static Buffers* buffers = new Buffers();
  return *buffers;
}

bool AllFinite(const Buffers& b, int32 channels, int32 n, bool use64)
{
  for (int c = 0; c < channels; ++c)
    for (int32 s = 0; s < n; ++s)
      if (use64 ? !std::isfinite(b.out64[c][static_cast<size_t>(s)])
                : !std::isfinite(b.out32[c][static_cast<size_t>(s)]))
        return false;
  return true;
}

SpeakerArrangement PickArrangement(FuzzInput& in)
{
  static constexpr SpeakerArrangement kChoices[] = {kStereo, kMono, kEmpty, k51, kStereoSurround, 0xFFull};
  const uint8_t sel = in.Byte();
  return sel < 6 * 8 ? kChoices[sel % 6] : in.Take<SpeakerArrangement>();
}

int32 ChannelCount(SpeakerArrangement arr)
{
  return static_cast<int32>(__builtin_popcountll(arr));
}

double PickRate(FuzzInput& in)
{
  static constexpr double kRates[] = {44100.0, 48000.0, 8000.0, 384000.0, 1234.5678, 44123.45, 96000.0,
                                      192000.0, 22050.0, 0.0, -48000.0, 1e9, 1.0};
  const uint8_t sel = in.Byte();
  return sel < 13 * 16 ? kRates[sel % 13] : in.Double();
}

int32 PickBlock(FuzzInput& in)
{
  static constexpr int32 kSizes[] = {512, 1, 64, 8192, 2, 4095, 0, -1, 100000};
  const uint8_t sel = in.Byte();
  return sel < 9 * 16 ? kSizes[sel % 9] : static_cast<int32>(in.Take<uint16_t>());
}

ParamID PickParamId(FuzzInput& in)
{
  const uint8_t sel = in.Byte();
  if (sel < 200)
    return sel % 26;
  if (sel < 230)
    return kBypassId;
  return in.Take<ParamID>();
}

// Random queues; with withBypass false, points for the host's bypass are read
// from the input but not queued (a block that probes bypass owns that queue).
void AddQueues(FuzzInput& in, vst3host::ParameterChanges& changes, int32 numSamples, bool withBypass = true)
{
  const int nQueues = in.Below(4);
  for (int q = 0; q < nQueues; ++q)
  {
    const ParamID id = PickParamId(in);
    const bool queued = withBypass || id != kBypassId;
    const int nPoints = in.Below(4);
    if (nPoints == 0 && queued)
      changes.AddEmptyQueue(id);
    for (int p = 0; p < nPoints; ++p)
    {
      const uint8_t sel = in.Byte();
      const int32 offset = sel < 200 ? (numSamples > 0 ? static_cast<int32>(sel) % numSamples : 0)
                                     : in.Take<int32>();
      const double value = in.Bool() ? in.Byte() / 255.0 : in.Double();
      if (queued)
        changes.AddPoint(id, offset, value);
    }
  }
}

class Session
{
public:
  Session()
    : mInstance(fuzzrig::NewInstance())
    , mChanges(vst3host::MakeCom<vst3host::ParameterChanges>())
    , mOutChanges(vst3host::MakeCom<vst3host::ParameterChanges>())
  {
    // Every host activates the main buses before it starts.
    IComponent* component = mInstance->Component();
    mState.mainInActive = component->activateBus(kAudio, kInput, 0, true) == kResultOk;
    mState.mainOutActive = component->activateBus(kAudio, kOutput, 0, true) == kResultOk;
  }

  ~Session()
  {
    // What every host does before releasing, whatever state it left things in.
    if (mState.processing)
      mInstance->Processor()->setProcessing(false);
    if (mState.active)
      mInstance->Component()->setActive(false);
  }

  void Step(FuzzInput& in)
  {
    IComponent* component = mInstance->Component();
    IAudioProcessor* processor = mInstance->Processor();
    IEditController* controller = mInstance->Controller();
    switch (in.Below(12))
    {
      case 0:
      {
        ProcessSetup setup{static_cast<int32>(in.Below(3)), in.Bool() ? kSample64 : kSample32, PickBlock(in),
                           PickRate(in)};
        if (in.Byte() > 240)
          setup.symbolicSampleSize = in.Take<int32>();
        const bool ok = processor->setupProcessing(setup) == kResultOk;
        if (ok)
        {
          mState.setup = setup;
          mState.setupOk = true;
          if (setup.sampleRate > 0.0 && std::isfinite(setup.sampleRate))
            mLargestRate = std::max(mLargestRate, setup.sampleRate);
        }
        break;
      }
      case 1:
      {
        SpeakerArrangement ins[2] = {PickArrangement(in), PickArrangement(in)};
        SpeakerArrangement outs[2] = {PickArrangement(in), PickArrangement(in)};
        processor->setBusArrangements(in.Bool() ? ins : nullptr, static_cast<int32>(in.Below(3)),
                                      in.Bool() ? outs : nullptr, static_cast<int32>(in.Below(3)));
        break;
      }
      case 2:
      {
        const MediaType type = in.Bool() ? kAudio : kEvent;
        const BusDirection dir = in.Bool() ? kInput : kOutput;
        const int32 index = static_cast<int32>(in.Below(3)) - 1;
        const bool on = in.Bool();
        if (component->activateBus(type, dir, index, on) == kResultOk && type == kAudio && index == 0)
          (dir == kInput ? mState.mainInActive : mState.mainOutActive) = on;
        break;
      }
      case 3:
      {
        const bool on = in.Bool();
        if (component->setActive(on) == kResultOk)
          mState.active = on;
        break;
      }
      case 4:
      {
        const bool on = in.Bool();
        if (processor->setProcessing(on) == kResultOk)
          mState.processing = on;
        break;
      }
      case 5:
      case 6:
        Process(in, false);
        break;
      case 7:
        Process(in, true);
        break;
      case 8:
        State(in);
        break;
      case 9:
      {
        const ParamID id = PickParamId(in);
        controller->setParamNormalized(id, in.Double());
        const double norm = controller->getParamNormalized(id);
        if (id < 26 || id == kBypassId)
          FUZZ_CHECK(norm >= 0.0 && norm <= 1.0);
        break;
      }
      case 10:
      {
        const ParamID id = PickParamId(in);
        String128 text;
        for (auto& unit : text)
          unit = 0x5A5A; // anything not written stays visible as junk
        if (controller->getParamStringByValue(id, in.Double(), text) == kResultOk)
        {
          size_t len = 0;
          while (len < 128 && text[len] != 0)
            ++len;
          FUZZ_CHECK(len < 128);
          double back = -1.0;
          if (controller->getParamValueByString(id, text, back) == kResultOk)
            FUZZ_CHECK(back >= 0.0 && back <= 1.0);
        }
        // Typed text straight from the fuzzer.
        TChar typed[130] = {};
        const std::string raw = in.Text(128);
        for (size_t i = 0; i < raw.size(); ++i)
          typed[i] = static_cast<unsigned char>(raw[i]) | (in.Byte() > 250 ? 0xD800 : 0);
        double value = -1.0;
        if (controller->getParamValueByString(id, typed, value) == kResultOk)
          FUZZ_CHECK(value >= 0.0 && value <= 1.0);
        break;
      }
      default:
        Queries(in);
        break;
    }
  }

private:
  void Process(FuzzInput& in, bool bypassProbe)
  {
    IAudioProcessor* processor = mInstance->Processor();
    const bool use64 = in.Bool() ? mState.setup.symbolicSampleSize == kSample64 : in.Bool();
    int32 numSamples = static_cast<int32>(in.Below(kMaxHostBlock + 1));
    if (in.Byte() > 245)
      numSamples = -static_cast<int32>(in.Byte());
    const int32 fill = std::max<int32>(0, std::min(numSamples, kMaxHostBlock));
    // A host never passes more frames than it allocated.
    numSamples = std::min(numSamples, kMaxHostBlock);

    const bool finite = bypassProbe || in.Byte() < 200;
    mBuffers.Fill(in, fill, finite);
    for (int c = 0; c < 8; ++c)
    {
      std::fill(mBuffers.out32[c].begin(), mBuffers.out32[c].begin() + fill, 7.0f);
      std::fill(mBuffers.out64[c].begin(), mBuffers.out64[c].begin() + fill, 7.0);
      mBuffers.inPtr32[c] = mBuffers.in32[c].data();
      mBuffers.outPtr32[c] = mBuffers.out32[c].data();
      mBuffers.inPtr64[c] = mBuffers.in64[c].data();
      mBuffers.outPtr64[c] = mBuffers.out64[c].data();
    }

    // Bus layout as the host claims it; by default what the plug-in reports.
    SpeakerArrangement inArr = kStereo, outArr = kStereo;
    mInstance->Processor()->getBusArrangement(kInput, 0, inArr);
    mInstance->Processor()->getBusArrangement(kOutput, 0, outArr);
    AudioBusBuffers ins[2]{}, outs[2]{};
    int32 numIns = 1, numOuts = 1;
    ins[0].numChannels = std::min<int32>(ChannelCount(inArr), 8);
    outs[0].numChannels = std::min<int32>(ChannelCount(outArr), 8);
    const bool oddBuffers = !bypassProbe && in.Byte() > 200;
    if (oddBuffers)
    {
      numIns = static_cast<int32>(in.Below(3));
      numOuts = static_cast<int32>(in.Below(3));
      ins[0].numChannels = static_cast<int32>(in.Below(9));
      outs[0].numChannels = static_cast<int32>(in.Below(9));
      ins[1].numChannels = static_cast<int32>(in.Below(3));
      outs[1].numChannels = static_cast<int32>(in.Below(3));
      if (in.Bool())
        mBuffers.inPtr32[in.Below(8)] = nullptr, mBuffers.inPtr64[in.Below(8)] = nullptr;
      if (in.Bool())
        mBuffers.outPtr32[in.Below(8)] = nullptr, mBuffers.outPtr64[in.Below(8)] = nullptr;
    }
    for (auto* bus : {&ins[0], &ins[1]})
      if (use64)
        bus->channelBuffers64 = mBuffers.inPtr64.data();
      else
        bus->channelBuffers32 = mBuffers.inPtr32.data();
    for (auto* bus : {&outs[0], &outs[1]})
      if (use64)
        bus->channelBuffers64 = mBuffers.outPtr64.data();
      else
        bus->channelBuffers32 = mBuffers.outPtr32.data();
    if (oddBuffers && in.Byte() > 200)
      ins[0].channelBuffers32 = nullptr;
    if (oddBuffers && in.Byte() > 200)
      outs[0].channelBuffers32 = nullptr;

    mChanges->Clear();
    mOutChanges->Clear();
    AddQueues(in, *mChanges, numSamples, !bypassProbe);
    if (bypassProbe)
      mChanges->AddPoint(kBypassId, 0, 1.0);

    ProcessData data{};
    data.processMode = mState.setup.processMode;
    data.symbolicSampleSize = use64 ? kSample64 : kSample32;
    data.numSamples = numSamples;
    data.numInputs = numIns;
    data.numOutputs = numOuts;
    data.inputs = (oddBuffers && in.Byte() > 230) ? nullptr : ins;
    data.outputs = (oddBuffers && in.Byte() > 230) ? nullptr : outs;
    data.inputParameterChanges = in.Byte() > 240 ? nullptr : mChanges.Get();
    data.outputParameterChanges = mOutChanges.Get();
    ProcessContext context{};
    context.sampleRate = mState.setup.sampleRate;
    context.tempo = 120.0;
    data.processContext = in.Bool() ? &context : nullptr;

    const tresult result = processor->process(data);

    // The checks apply to a block a well-behaved host could have sent.
    const bool sound = result == kResultOk && !oddBuffers && mState.setupOk && mState.active &&
                       mState.mainInActive && mState.mainOutActive &&
                       mState.processing && numSamples > 0 && numSamples <= mState.setup.maxSamplesPerBlock &&
                       data.inputParameterChanges != nullptr;
    if (!sound)
      return;
    if (finite)
      FUZZ_CHECK(AllFinite(mBuffers, outs[0].numChannels, numSamples, use64));
    if (bypassProbe && mInstance->Processor()->getLatencySamples() == 0)
    {
      // The plug-in fades into bypass; once the fade is over, a block comes
      // back as it went in. The rate the fade was measured for is the largest
      // this run has set up (a refused rate keeps the one before).
      const double fadeFrames = iplug::ChainControls::kGlideMs * 0.001 * mLargestRate + 1.0;
      if (fadeFrames > 64.0 * numSamples)
        return;
      mChanges->Clear();
      for (double done = numSamples; done < fadeFrames + numSamples; done += numSamples)
        processor->process(data);
      const int32 shared = std::min(ins[0].numChannels, outs[0].numChannels);
      for (int c = 0; c < shared; ++c)
        for (int32 s = 0; s < numSamples; ++s)
          FUZZ_CHECK(use64 ? mBuffers.out64[c][static_cast<size_t>(s)] == mBuffers.in64[c][static_cast<size_t>(s)]
                           : mBuffers.out32[c][static_cast<size_t>(s)] == mBuffers.in32[c][static_cast<size_t>(s)]);
      // Leave bypass again through the same path, as a host would.
      mChanges->Clear();
      mChanges->AddPoint(kBypassId, 0, 0.0);
      data.numSamples = 0;
      processor->process(data);
    }
  }

  void State(FuzzInput& in)
  {
    std::vector<uint8_t> bytes;
    if (in.Bool())
    {
      // A saved state with some bytes changed.
      FUZZ_CHECK(mInstance->GetState(bytes) == kResultOk);
      const int edits = in.Below(6);
      for (int e = 0; e < edits && !bytes.empty(); ++e)
        bytes[in.Below(static_cast<uint32_t>(bytes.size()))] = in.Byte();
      if (in.Bool())
        bytes.resize(in.Below(300));
    }
    else
    {
      const std::string raw = in.Text(300);
      bytes.assign(raw.begin(), raw.end());
    }
    mInstance->SetState(bytes);
    std::vector<uint8_t> saved;
    FUZZ_CHECK(mInstance->GetState(saved) == kResultOk);
    FUZZ_CHECK(static_cast<int32>(saved.size()) == kStateSize);
    IEditController* controller = mInstance->Controller();
    for (ParamID id = 0; id < 26; ++id)
    {
      const double norm = controller->getParamNormalized(id);
      FUZZ_CHECK(norm >= 0.0 && norm <= 1.0);
    }
  }

  void Queries(FuzzInput& in)
  {
    IComponent* component = mInstance->Component();
    IAudioProcessor* processor = mInstance->Processor();
    IEditController* controller = mInstance->Controller();
    switch (in.Below(5))
    {
      case 0:
      {
        BusInfo info{};
        component->getBusInfo(in.Bool() ? kAudio : kEvent, in.Bool() ? kInput : kOutput,
                              static_cast<int32>(in.Below(4)) - 1, info);
        SpeakerArrangement arr = 0;
        processor->getBusArrangement(in.Bool() ? kInput : kOutput, static_cast<int32>(in.Below(4)) - 1, arr);
        processor->canProcessSampleSize(in.Take<int32>());
        break;
      }
      case 1:
      {
        ParameterInfo info{};
        controller->getParameterInfo(static_cast<int32>(in.Below(40)) - 5, info);
        const ParamID id = PickParamId(in);
        const double x = in.Double();
        const double plain = controller->normalizedParamToPlain(id, x);
        const double norm = controller->plainParamToNormalized(id, plain);
        if (id < 26 && std::isfinite(x))
          FUZZ_CHECK(std::isfinite(plain) && norm >= 0.0 && norm <= 1.0);
        break;
      }
      case 2:
      {
        // The editor view, created and released without a window (no display here).
        IPlugView* view = controller->createView(in.Bool() ? "editor" : "other");
        if (view)
        {
          ViewRect rect{};
          view->getSize(&rect);
          view->isPlatformTypeSupported("X11EmbedWindowID");
          ViewRect wanted{0, 0, static_cast<int32>(in.Take<int16_t>()), static_cast<int32>(in.Take<int16_t>())};
          view->checkSizeConstraint(&wanted);
          view->onSize(&wanted);
          view->release();
        }
        break;
      }
      case 3:
        processor->getLatencySamples();
        processor->getTailSamples();
        break;
      default:
      {
        // Controller-only state, as hosts store it next to the component's.
        auto stream = vst3host::MakeCom<vst3host::MemoryStream>();
        controller->getState(stream.Get());
        const std::string raw = in.Text(64);
        auto junk = vst3host::MakeCom<vst3host::MemoryStream>(std::vector<uint8_t>(raw.begin(), raw.end()));
        controller->setState(junk.Get());
        break;
      }
    }
  }

  std::unique_ptr<vst3host::PluginInstance> mInstance;
  vst3host::ComPtr<vst3host::ParameterChanges> mChanges;
  vst3host::ComPtr<vst3host::ParameterChanges> mOutChanges;
  HostState mState;
  double mLargestRate = 48000.0; // of the processing set-ups accepted so far
  Buffers& mBuffers = SharedBuffers();
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  FuzzInput in(data, size);
  Session session;
  for (int call = 0; call < kMaxCalls && !in.Empty(); ++call)
    session.Step(in);
  return 0;
}
