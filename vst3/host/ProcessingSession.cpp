#include "vst3/host/ProcessingSession.h"

#include "vst3/host/ComObject.h"

#include <algorithm>

namespace vst3host
{

namespace
{

std::vector<vst3::int32> BusChannels(vst3::IComponent* component, vst3::BusDirection dir)
{
  std::vector<vst3::int32> channels;
  const vst3::int32 n = component ? component->getBusCount(vst3::kAudio, dir) : 0;
  for (vst3::int32 i = 0; i < n; ++i) {
    vst3::BusInfo info{};
    channels.push_back(component->getBusInfo(vst3::kAudio, dir, i, info) == vst3::kResultOk ? info.channelCount
                                                                                           : 0);
  }
  return channels;
}

} // namespace

ProcessingSession::ProcessingSession(vst3::IComponent* component, vst3::IAudioProcessor* processor)
  : mComponent(component),
    mProcessor(processor),
    mInputChanges(MakeCom<ParameterChanges>(64, 1024)), // room for a dense automation curve in a long block
    mOutputChanges(MakeCom<ParameterChanges>()),
    mInputEvents(MakeCom<EventList>()),
    mOutputEvents(MakeCom<EventList>())
{
  mContext.state = vst3::ProcessContext::kPlaying | vst3::ProcessContext::kTempoValid |
                   vst3::ProcessContext::kTimeSigValid | vst3::ProcessContext::kProjectTimeMusicValid;
  mContext.tempo = 120.0;
  mContext.timeSigNumerator = 4;
  mContext.timeSigDenominator = 4;
}

ProcessingSession::~ProcessingSession()
{
  Stop();
}

vst3::tresult ProcessingSession::Setup(const ProcessConfig& config)
{
  if (!mProcessor)
    return vst3::kNotInitialized;
  vst3::ProcessSetup setup{config.processMode, config.symbolicSampleSize, config.maxSamplesPerBlock,
                           config.sampleRate};
  const vst3::tresult r = mProcessor->setupProcessing(setup);
  if (r != vst3::kResultOk)
    return r;
  mConfig = config;
  mInputs.Allocate(BusChannels(mComponent, vst3::kInput), config.maxSamplesPerBlock);
  mOutputs.Allocate(BusChannels(mComponent, vst3::kOutput), config.maxSamplesPerBlock);
  mContext.sampleRate = config.sampleRate;
  return r;
}

vst3::tresult ProcessingSession::Start()
{
  if (!mComponent || !mProcessor)
    return vst3::kNotInitialized;
  Stop();
  for (vst3::BusDirection dir : {vst3::kInput, vst3::kOutput}) {
    const vst3::int32 n = mComponent->getBusCount(vst3::kAudio, dir);
    for (vst3::int32 i = 0; i < n; ++i) {
      vst3::BusInfo info{};
      const bool defaultActive = mComponent->getBusInfo(vst3::kAudio, dir, i, info) == vst3::kResultOk &&
                                 (info.flags & vst3::BusInfo::kDefaultActive);
      if (i == 0 || defaultActive)
        mComponent->activateBus(vst3::kAudio, dir, i, 1);
    }
  }
  vst3::tresult r = mComponent->setActive(1);
  if (r != vst3::kResultOk)
    return r;
  mStarted = true;
  // setProcessing is optional for plug-ins: kNotImplemented still processes.
  r = mProcessor->setProcessing(1);
  return r == vst3::kNotImplemented ? vst3::kResultOk : r;
}

vst3::tresult ProcessingSession::Stop()
{
  if (!mStarted)
    return vst3::kResultOk;
  mStarted = false;
  mProcessor->setProcessing(0);
  return mComponent->setActive(0);
}

vst3::ProcessData& ProcessingSession::PrepareData(vst3::int32 numSamples)
{
  mData = vst3::ProcessData{};
  mData.processMode = mConfig.processMode;
  mData.symbolicSampleSize = mConfig.symbolicSampleSize;
  mData.numSamples = numSamples;
  mData.numInputs = mInputs.BusCount();
  mData.numOutputs = mOutputs.BusCount();
  mData.inputs = mInputs.Prepare(mConfig.symbolicSampleSize);
  mData.outputs = mOutputs.Prepare(mConfig.symbolicSampleSize);
  mData.inputParameterChanges = mInputChanges.Get();
  mData.outputParameterChanges = mOutputChanges.Get();
  mData.inputEvents = mInputEvents.Get();
  mData.outputEvents = mOutputEvents.Get();
  mData.processContext = mSendContext ? &mContext : nullptr;
  return mData;
}

vst3::tresult ProcessingSession::Process(vst3::int32 numSamples)
{
  if (!mProcessor)
    return vst3::kNotInitialized;
  if (numSamples < 0 || numSamples > mConfig.maxSamplesPerBlock)
    return vst3::kInvalidArgument;
  mOutputChanges->Clear();
  mOutputEvents->Clear();
  vst3::ProcessData& data = PrepareData(numSamples);
  const vst3::tresult r = mProcessor->process(data);
  mInputChanges->Clear();
  mInputEvents->Clear();
  AdvanceTransport(numSamples);
  return r;
}

void ProcessingSession::AdvanceTransport(vst3::int32 numSamples)
{
  mContext.projectTimeSamples += numSamples;
  mContext.continousTimeSamples += numSamples;
  if (mContext.sampleRate > 0.0)
    mContext.projectTimeMusic = static_cast<double>(mContext.projectTimeSamples) / mContext.sampleRate *
                                mContext.tempo / 60.0;
}

void ProcessingSession::SetInput(vst3::int32 bus, vst3::int32 channel, const double* samples, vst3::int32 n)
{
  n = std::min(n, mInputs.MaxSamples());
  if (mConfig.symbolicSampleSize == vst3::kSample64) {
    if (double* dst = mInputs.Channel64(bus, channel))
      std::copy(samples, samples + n, dst);
  } else if (float* dst = mInputs.Channel32(bus, channel)) {
    for (vst3::int32 i = 0; i < n; ++i)
      dst[i] = static_cast<float>(samples[i]);
  }
}

void ProcessingSession::GetOutput(vst3::int32 bus, vst3::int32 channel, double* samples, vst3::int32 n)
{
  n = std::min(n, mOutputs.MaxSamples());
  if (mConfig.symbolicSampleSize == vst3::kSample64) {
    if (const double* src = mOutputs.Channel64(bus, channel))
      std::copy(src, src + n, samples);
  } else if (const float* src = mOutputs.Channel32(bus, channel)) {
    for (vst3::int32 i = 0; i < n; ++i)
      samples[i] = src[i];
  }
}

vst3::tresult ProcessingSession::Run(const std::vector<std::vector<double>>& in,
                                     std::vector<std::vector<double>>& out, vst3::int32 blockSize)
{
  if (blockSize <= 0 || blockSize > mConfig.maxSamplesPerBlock)
    return vst3::kInvalidArgument;
  std::size_t length = 0;
  for (const auto& ch : in)
    length = std::max(length, ch.size());
  const vst3::int32 inChannels = mInputs.ChannelCount(0);
  const vst3::int32 outChannels = mOutputs.ChannelCount(0);
  out.assign(static_cast<std::size_t>(outChannels), std::vector<double>(length, 0.0));
  std::vector<double> silence(static_cast<std::size_t>(blockSize), 0.0);
  for (std::size_t pos = 0; pos < length; pos += static_cast<std::size_t>(blockSize)) {
    const vst3::int32 n = static_cast<vst3::int32>(std::min<std::size_t>(blockSize, length - pos));
    for (vst3::int32 c = 0; c < inChannels; ++c) {
      const std::size_t ci = static_cast<std::size_t>(c);
      const bool have = ci < in.size() && in[ci].size() >= pos + static_cast<std::size_t>(n);
      SetInput(0, c, have ? in[ci].data() + pos : silence.data(), n);
    }
    const vst3::tresult r = Process(n);
    if (r != vst3::kResultOk)
      return r;
    for (vst3::int32 c = 0; c < outChannels; ++c)
      GetOutput(0, c, out[static_cast<std::size_t>(c)].data() + pos, n);
  }
  return vst3::kResultOk;
}

} // namespace vst3host
