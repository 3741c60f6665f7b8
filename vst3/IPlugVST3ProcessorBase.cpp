#include "vst3/IPlugVST3ProcessorBase.h"

#include "core/HostCode.h"
#include "vst3/IPlugVST3Parameter.h"
#include "vst3/base/StringConvert.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace iplug
{

namespace
{
// Reads a queue's first nPoints points into offsets and values (mapped by
// toValue), skipping unreadable and NaN ones, and returns how many it kept.
// Offsets run forward within the block of nFrames; a host's stray one is held
// in line.
template <typename ToValue>
int ReadQueuePoints(vst3::IParamValueQueue& queue, int nPoints, int nFrames, int* offsets, double* values,
                    ToValue toValue)
{
  int count = 0;
  for (int i = 0; i < nPoints; ++i)
  {
    vst3::int32 offset = 0;
    vst3::ParamValue value = 0.0;
    if (queue.getPoint(i, offset, value) != vst3::kResultOk || value != value)
      continue;
    const int previous = count > 0 ? offsets[count - 1] : 0;
    offsets[count] = std::clamp(offset, previous, std::max(nFrames - 1, previous));
    values[count] = toValue(value);
    ++count;
  }
  return count;
}
} // namespace

IPlugVST3ProcessorBase::IPlugVST3ProcessorBase(const Config& config, IPlugAPIBase& plug)
  : IPlugProcessor(config), mPlug(plug)
{
}

vst3::SpeakerArrangement IPlugVST3ProcessorBase::ArrangementForChannelCount(int nChans)
{
  namespace arr = vst3::SpeakerArr;
  switch (nChans)
  {
  case 1: return arr::kMono;
  case 2: return arr::kStereo;
  case 3: return arr::k30Cine;
  case 4: return arr::kAmbi1stOrderACN;
  case 5: return arr::k50;
  case 6: return arr::k51;
  case 7: return arr::k70Cine;
  case 8: return arr::k71Music;
  case 9: return arr::kAmbi2cdOrderACN;
  case 10: return arr::k71_2;
  case 16: return arr::kAmbi3rdOrderACN;
  default: return arr::kEmpty;
  }
}

void IPlugVST3ProcessorBase::AddAudioBuses(vst3::SingleComponentEffect& component, int configIdx, ERoute direction)
{
  const ChannelConfig* config = GetChannelConfig(configIdx);
  if (!config)
    return;
  const int nBuses = config->NBuses(direction);
  for (int i = 0; i < nBuses; ++i)
  {
    std::string name;
    MakeBusName(direction, i, nBuses, name);
    const vst3::BusType type = i == 0 ? vst3::kMain : vst3::kAux;
    const vst3::uint32 flags = i == 0 ? vst3::BusInfo::kDefaultActive : 0u;
    const vst3::SpeakerArrangement arr = ArrangementForChannelCount(config->NChansOnBus(direction, i));
    if (direction == kInput)
      component.addAudioInput(vst3::Utf8ToUtf16(name), arr, type, flags);
    else
      component.addAudioOutput(vst3::Utf8ToUtf16(name), arr, type, flags);
  }
}

void IPlugVST3ProcessorBase::MakeBuses(vst3::SingleComponentEffect& component)
{
  int inConfig = -1;
  int outConfig = -1;
  MaxBusCount(kInput, inConfig);
  const int maxOutBuses = MaxBusCount(kOutput, outConfig);
  AddAudioBuses(component, inConfig, kInput);
  AddAudioBuses(component, outConfig, kOutput);
  if (GetPlugType() == 2 && maxOutBuses == 0)
    component.addAudioOutput(u"Dummy Output", vst3::SpeakerArr::kEmpty, vst3::kMain, 0);
  if (DoesMIDIIn())
    component.addEventInput(u"MIDI Input", 1);
  if (DoesMIDIOut())
    component.addEventOutput(u"MIDI Output", 1);
}

vst3::tresult IPlugVST3ProcessorBase::SetBusArrangements(vst3::SingleComponentEffect& component,
                                                         const vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                                         const vst3::SpeakerArrangement* outputs, vst3::int32 numOuts)
{
  if (mPlug.GetHost() == kHostMixbus || mPlug.GetHost() == kHostArdour)
    return vst3::kResultTrue;
  if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
    return vst3::kInvalidArgument;

  ResetChannelBuffers();
  int unused = 0;
  if (numIns > MaxBusCount(kInput, unused) || numOuts > MaxBusCount(kOutput, unused))
    return vst3::kResultFalse;

  std::vector<int> inChans(static_cast<size_t>(numIns));
  std::vector<int> outChans(static_cast<size_t>(numOuts));
  for (int i = 0; i < numIns; ++i)
    inChans[static_cast<size_t>(i)] = vst3::SpeakerArr::getChannelCount(inputs[i]);
  for (int i = 0; i < numOuts; ++i)
    outChans[static_cast<size_t>(i)] = vst3::SpeakerArr::getChannelCount(outputs[i]);
  const int configIdx = FindConfigByChannelCounts(inChans, outChans);
  if (configIdx < 0)
    return vst3::kResultFalse;

  // New buses keep the activation the host gave the old ones at that index.
  std::vector<bool> inActive;
  std::vector<bool> outActive;
  for (int i = 0; i < component.getBusCount(vst3::kAudio, vst3::kInput); ++i)
    inActive.push_back(component.getAudioBus(vst3::kInput, i)->isActive());
  for (int i = 0; i < component.getBusCount(vst3::kAudio, vst3::kOutput); ++i)
    outActive.push_back(component.getAudioBus(vst3::kOutput, i)->isActive());

  component.removeAudioBuses();
  AddAudioBuses(component, configIdx, kInput);
  AddAudioBuses(component, configIdx, kOutput);

  for (int i = 0; i < component.getBusCount(vst3::kAudio, vst3::kInput) && i < static_cast<int>(inActive.size()); ++i)
    component.getAudioBus(vst3::kInput, i)->setActive(inActive[static_cast<size_t>(i)]);
  for (int i = 0; i < component.getBusCount(vst3::kAudio, vst3::kOutput) && i < static_cast<int>(outActive.size()); ++i)
    component.getAudioBus(vst3::kOutput, i)->setActive(outActive[static_cast<size_t>(i)]);
  return vst3::kResultTrue;
}

vst3::tresult IPlugVST3ProcessorBase::SetupProcessing(const vst3::ProcessSetup& setup)
{
  // A block size the host cannot mean is refused rather than allocated.
  if (setup.maxSamplesPerBlock <= 0 || setup.maxSamplesPerBlock > (1 << 20))
    return vst3::kInvalidArgument;
  SetSampleRate(setup.sampleRate);
  mOffline = setup.processMode == vst3::kOffline;
  try
  {
    ResizeScratchBuffers(setup.maxSamplesPerBlock);
  }
  catch (const std::bad_alloc&)
  {
    return vst3::kOutOfMemory;
  }
  OnReset();
  return vst3::kResultOk;
}

void IPlugVST3ProcessorBase::PrepareProcessContext(const vst3::ProcessData& data)
{
  using Ctx = vst3::ProcessContext;
  if (data.processContext)
    mProcessContext = *data.processContext;
  const Ctx& c = mProcessContext;
  ITimeInfo t;
  t.mTempo = c.tempo;
  t.mSamplePos = (c.state & Ctx::kProjectTimeMusicValid) ? static_cast<double>(c.projectTimeSamples) : -1.0;
  t.mPPQPos = c.projectTimeMusic;
  t.mLastBar = c.barPositionMusic;
  t.mCycleStart = c.cycleStartMusic;
  t.mCycleEnd = c.cycleEndMusic;
  t.mNumerator = c.timeSigNumerator;
  t.mDenominator = c.timeSigDenominator;
  t.mTransportIsRunning = (c.state & Ctx::kPlaying) != 0;
  t.mTransportLoopEnabled = (c.state & Ctx::kCycleActive) != 0;
  SetTimeInfo(t);
}

bool IPlugVST3ProcessorBase::AddQueuePoints(vst3::IParamValueQueue& queue, int paramIdx, int nFrames)
{
  // A queue longer than this (no host sends one) lands as its last value.
  constexpr int kMaxQueuePoints = 1024;
  const int nPoints = queue.getPointCount();
  if (!TakesParamPoints() || nPoints > kMaxQueuePoints)
    return false;
  const IParam& param = *mPlug.GetParam(paramIdx);
  int offsets[kMaxQueuePoints];
  double values[kMaxQueuePoints];
  const int count = ReadQueuePoints(queue, nPoints, nFrames, offsets, values,
                                    [&](double value) { return param.NormToReal(std::clamp(value, 0.0, 1.0)); });
  return AddParamPoints(paramIdx, offsets, values, count);
}

void IPlugVST3ProcessorBase::AddHostBypassPoints(vst3::IParamValueQueue& queue, int nFrames)
{
  constexpr int kMaxQueuePoints = 64; // a switch: a few changes per block at most
  const int nPoints = std::min<int>(queue.getPointCount(), kMaxQueuePoints);
  if (!TakesParamPoints())
    return;
  int offsets[kMaxQueuePoints];
  double values[kMaxQueuePoints];
  const int count = ReadQueuePoints(queue, nPoints, nFrames, offsets, values,
                                    [](double value) { return value > 0.5 ? 1.0 : 0.0; });
  AddParamPoints(ParamPoint::kHostBypass, offsets, values, count);
}

void IPlugVST3ProcessorBase::ProcessParameterChanges(const vst3::ProcessData& data)
{
  BeginParamPoints();
  vst3::IParameterChanges* changes = data.inputParameterChanges;
  if (!changes)
    return;
  const vst3::int32 nQueues = changes->getParameterCount();
  for (vst3::int32 q = 0; q < nQueues; ++q)
  {
    vst3::IParamValueQueue* queue = changes->getParameterData(q);
    if (!queue)
      continue;
    const vst3::int32 nPoints = queue->getPointCount();
    vst3::int32 offset = 0;
    vst3::ParamValue value = 0.0;
    if (nPoints <= 0 || queue->getPoint(nPoints - 1, offset, value) != vst3::kResultOk)
      continue;
    if (value != value) // a NaN from the host changes nothing
      continue;
    value = std::clamp(value, 0.0, 1.0);

    const vst3::ParamID id = queue->getParameterId();
    if (id == kBypassParamID)
    {
      AddHostBypassPoints(*queue, data.numSamples);
      SetBypassed(value > 0.5);
    }
    else if (id < static_cast<vst3::ParamID>(mPlug.NParams()))
    {
      const int idx = static_cast<int>(id);
      if (!AddQueuePoints(*queue, idx, data.numSamples))
        OnParamChangeRealtime(idx);
      mPlug.GetParam(idx)->SetFromNormalized(value);
      mPlug.OnParamChange(idx, ParamSource::Host, offset);
    }
    else if (id >= kMidiCCParamStartID && DoesMIDIIn())
    {
      const vst3::uint32 k = id - kMidiCCParamStartID;
      const auto channel = static_cast<uint8_t>((k / kMidiCCsPerChannel) & 0x0F);
      const vst3::uint32 controller = k % kMidiCCsPerChannel;
      IMidiMsg msg;
      msg.mOffset = offset;
      if (controller == 128)
      {
        msg.mStatus = static_cast<uint8_t>(0xD0 + channel);
        msg.mData1 = static_cast<uint8_t>(value * 127.0);
      }
      else if (controller == 129)
      {
        const int bend = std::clamp(8192 - static_cast<int>((value * 2.0 - 1.0) * -8192.0), 0, 16383);
        msg.mStatus = static_cast<uint8_t>(0xE0 + channel);
        msg.mData1 = static_cast<uint8_t>(bend & 0x7F);
        msg.mData2 = static_cast<uint8_t>(bend >> 7);
      }
      else
      {
        msg.mStatus = static_cast<uint8_t>(0xB0 + channel);
        msg.mData1 = static_cast<uint8_t>(controller);
        msg.mData2 = static_cast<uint8_t>(value * 127.0);
      }
      ProcessMidiMsg(msg);
    }
  }
}

void IPlugVST3ProcessorBase::ProcessAudio(const vst3::ProcessData& data, vst3::SingleComponentEffect& component,
                                          int symbolicSampleSize)
{
  const int nFrames = data.numSamples;
  if (nFrames <= 0)
    return;

  // The main buses only: this layer creates no side-chain bus.
  const vst3::AudioBusBuffers* in =
    (data.numInputs > 0 && data.inputs && component.getAudioBus(vst3::kInput, 0)) ? &data.inputs[0] : nullptr;
  const vst3::AudioBusBuffers* out = nullptr;
  if (data.numOutputs > 0 && data.outputs)
  {
    const vst3::AudioBus* bus = component.getAudioBus(vst3::kOutput, 0);
    if (bus && bus->isActive())
      out = &data.outputs[0];
    else if (data.outputs[0].channelBuffers64)
    {
      // An inactive bus carries silence rather than whatever the host's buffer held.
      const vst3::AudioBusBuffers& host = data.outputs[0];
      for (int c = 0; c < host.numChannels; ++c)
      {
        if (symbolicSampleSize == vst3::kSample64 && host.channelBuffers64[c])
          std::fill_n(host.channelBuffers64[c], nFrames, 0.0);
        else if (symbolicSampleSize == vst3::kSample32 && host.channelBuffers32[c])
          std::fill_n(host.channelBuffers32[c], nFrames, 0.0f);
      }
      return;
    }
  }
  const int nIn = (in && in->channelBuffers64) ? std::max(0, in->numChannels) : 0;
  const int nOut = (out && out->channelBuffers64) ? std::max(0, out->numChannels) : 0;

  if (symbolicSampleSize == vst3::kSample64)
    ProcessHostChannels(nIn ? in->channelBuffers64 : nullptr, nIn, nOut ? out->channelBuffers64 : nullptr, nOut,
                        nFrames);
  else if (symbolicSampleSize == vst3::kSample32)
    ProcessHostChannels(nIn ? in->channelBuffers32 : nullptr, nIn, nOut ? out->channelBuffers32 : nullptr, nOut,
                        nFrames);
}

} // namespace iplug
