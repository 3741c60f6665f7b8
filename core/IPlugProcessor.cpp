#include "core/IPlugProcessor.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace iplug
{

namespace
{

// Scratch buffers grow in steps of 4096 bytes.
constexpr size_t kScratchGranularitySamples = 4096 / sizeof(double);

// Calls f for every non-empty piece of text between separators; runs of the
// separator count as one.
template <typename F>
void ForEachToken(std::string_view text, char separator, F&& f)
{
  size_t pos = 0;
  while (pos < text.size())
  {
    size_t end = text.find(separator, pos);
    if (end == std::string_view::npos)
      end = text.size();
    if (end > pos)
      f(text.substr(pos, end - pos));
    pos = end + 1;
  }
}

// A channel count item: "*" is the wildcard; otherwise the leading decimal
// number, 0 when there is none. Independent of the C locale.
int ParseChannelCount(std::string_view item)
{
  if (item == "*")
    return kWildcardChannelCount;
  size_t i = 0;
  while (i < item.size() && (item[i] == ' ' || item[i] == '\t' || item[i] == '\n' || item[i] == '\r'))
    ++i;
  if (i < item.size() && item[i] == '+')
    ++i;
  long long value = 0;
  for (; i < item.size() && item[i] >= '0' && item[i] <= '9'; ++i)
    value = std::min<long long>(value * 10 + (item[i] - '0'), INT_MAX);
  return static_cast<int>(value);
}

void ParseSide(std::string_view side, ERoute direction, std::vector<BusSpec>& buses, int& total)
{
  ForEachToken(side, '.', [&](std::string_view item) {
    const int count = ParseChannelCount(item);
    total = SaturatingChannelSum(total, count);
    if (count != 0)
      buses.push_back({direction, count});
  });
}

} // namespace

IPlugProcessor::IPlugProcessor(const Config& config)
  : mPlugType(config.plugType)
  , mDoesMidiIn(config.plugDoesMidiIn)
  , mDoesMidiOut(config.plugDoesMidiOut)
  , mDoesMPE(config.plugDoesMPE)
  , mLatency(std::max(config.latency, 0))
{
  int maxNIn = 0, maxNOut = 0, maxNInBuses = 0, maxNOutBuses = 0;
  ParseChannelConfig(config.channelIOStr, mChannelConfigs, maxNIn, maxNOut, maxNInBuses, maxNOutBuses);

  mInputPtrs.assign(static_cast<size_t>(maxNIn), nullptr);
  mOutputPtrs.assign(static_cast<size_t>(maxNOut), nullptr);
  mInChannels.resize(static_cast<size_t>(maxNIn));
  mOutChannels.resize(static_cast<size_t>(maxNOut));
  for (int i = 0; i < maxNIn; ++i)
    mInChannels[static_cast<size_t>(i)].mSlot = &mInputPtrs[static_cast<size_t>(i)];
  for (int i = 0; i < maxNOut; ++i)
    mOutChannels[static_cast<size_t>(i)].mSlot = &mOutputPtrs[static_cast<size_t>(i)];

  if (maxNIn > 0)
  {
    mLatencyDelay = std::make_unique<MultichannelDelayLine>(maxNIn);
    mLatencyDelay->Resize(GetLatency());
  }
  ResetChannelBuffers();
}

IPlugProcessor::~IPlugProcessor() = default;

// ---------------------------------------------------------------------------
// Hooks

void IPlugProcessor::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  if (nFrames <= 0)
    return;
  const int nIn = MaxNChannels(kInput);
  const int nOut = MaxNChannels(kOutput);
  const size_t bytes = sizeof(double) * static_cast<size_t>(nFrames);
  for (int i = 0; i < nOut; ++i)
  {
    if (i < nIn)
    {
      if (inputs[i] != outputs[i])
        std::memmove(outputs[i], inputs[i], bytes);
    }
    else
    {
      std::memset(outputs[i], 0, bytes);
    }
  }
}

void IPlugProcessor::ProcessMidiMsg(const IMidiMsg& msg)
{
  SendMidiMsg(msg);
}

bool IPlugProcessor::SendMidiMsgs(const IMidiMsg* msgs, int count)
{
  bool allSent = true;
  for (int i = 0; i < count; ++i)
    allSent &= SendMidiMsg(msgs[i]);
  return allSent;
}

void IPlugProcessor::MakeBusName(ERoute direction, int busIdx, int nBuses, std::string& name) const
{
  char text[32];
  if (direction == kInput)
  {
    if (nBuses == 1)
      name = "Input";
    else if (nBuses == 2)
      name = busIdx == 0 ? "Main" : "Aux";
    else
    {
      std::snprintf(text, sizeof(text), "Input %i", busIdx);
      name = text;
    }
  }
  else
  {
    if (nBuses == 1)
      name = "Output";
    else
    {
      std::snprintf(text, sizeof(text), "Output %i", busIdx);
      name = text;
    }
  }
}

void IPlugProcessor::SetLatencySamples(int samples)
{
  samples = std::max(samples, 0);
  mLatency.store(samples, std::memory_order_relaxed);
  if (mLatencyDelay)
    mLatencyDelay->Resize(samples);
}

// ---------------------------------------------------------------------------
// Automation points

bool IPlugProcessor::AddParamPoints(int paramIdx, const int* offsets, const double* values, int count)
{
  if (!TakesParamPoints() || count > mParamPoints.Room())
    return false;
  for (int i = 0; i < count; ++i)
    mParamPoints.Add({paramIdx, offsets[i], values[i]});
  return true;
}

void IPlugProcessor::FinishParamPoints()
{
  if (!mParamPointsProcessed)
  {
    ParamChangeSet changed;
    for (const ParamPoint& point : mParamPoints.Points())
      changed.Mark(point.paramIdx);
    changed.TakeAll([this](int paramIdx) { OnParamChangeRealtime(paramIdx); });
  }
  mParamPoints.Clear();
}

// ---------------------------------------------------------------------------
// Channel configurations

int IPlugProcessor::ParseChannelConfig(const char* text, std::vector<ChannelConfig>& configs, int& maxNInputs,
                                       int& maxNOutputs, int& maxNInputBuses, int& maxNOutputBuses)
{
  maxNInputs = maxNOutputs = maxNInputBuses = maxNOutputBuses = 0;
  if (!text)
    return 0;

  int nConfigs = 0;
  ForEachToken(text, ' ', [&](std::string_view token) {
    ChannelConfig config;
    int totalIn = 0, totalOut = 0;
    int side = 0;
    ForEachToken(token, '-', [&](std::string_view sideText) {
      if (side == 0)
        ParseSide(sideText, kInput, config.mInputBuses, totalIn);
      else if (side == 1)
        ParseSide(sideText, kOutput, config.mOutputBuses, totalOut);
      ++side;
    });
    maxNInputs = std::max(maxNInputs, totalIn);
    maxNOutputs = std::max(maxNOutputs, totalOut);
    maxNInputBuses = std::max(maxNInputBuses, config.NBuses(kInput));
    maxNOutputBuses = std::max(maxNOutputBuses, config.NBuses(kOutput));
    configs.push_back(std::move(config));
    ++nConfigs;
  });
  return nConfigs;
}

const ChannelConfig* IPlugProcessor::GetChannelConfig(int idx) const
{
  if (idx < 0 || idx >= NChannelConfigs())
    return nullptr;
  return &mChannelConfigs[static_cast<size_t>(idx)];
}

int IPlugProcessor::MaxBusCount(ERoute direction, int& configIdx) const
{
  int maxCount = 0;
  configIdx = -1;
  for (int i = 0; i < NChannelConfigs(); ++i)
  {
    const int n = mChannelConfigs[static_cast<size_t>(i)].NBuses(direction);
    if (n >= maxCount)
    {
      maxCount = n;
      configIdx = i;
    }
  }
  return maxCount;
}

int IPlugProcessor::FindConfigByChannelCounts(std::span<const int> inputBusChans,
                                              std::span<const int> outputBusChans) const
{
  auto matches = [](const std::vector<BusSpec>& buses, std::span<const int> counts) {
    if (buses.size() != counts.size())
      return false;
    for (size_t i = 0; i < counts.size(); ++i)
      if (buses[i].mNumChans != counts[i])
        return false;
    return true;
  };
  for (int i = 0; i < NChannelConfigs(); ++i)
  {
    const ChannelConfig& config = mChannelConfigs[static_cast<size_t>(i)];
    if (matches(config.mInputBuses, inputBusChans) && matches(config.mOutputBuses, outputBusChans))
      return i;
  }
  return -1;
}

int IPlugProcessor::MaxChannelsOnFirstInputBus() const
{
  if (mChannelConfigs.empty())
    return 0;
  if (mChannelConfigs.front().ContainsWildcard(kInput))
    return -1;
  int maxChans = 0;
  for (const ChannelConfig& config : mChannelConfigs)
    maxChans = std::max(maxChans, config.NChansOnBus(kInput, 0));
  return maxChans;
}

// ---------------------------------------------------------------------------
// Channels

const ChannelRecord* IPlugProcessor::Record(ERoute direction, int chIdx) const
{
  const auto& records = Records(direction);
  if (chIdx < 0 || chIdx >= static_cast<int>(records.size()))
    return nullptr;
  return &records[static_cast<size_t>(chIdx)];
}

int IPlugProcessor::NChannelsConnected(ERoute direction) const
{
  int n = 0;
  for (const ChannelRecord& record : Records(direction))
    n += record.mConnected ? 1 : 0;
  return n;
}

bool IPlugProcessor::IsChannelConnected(ERoute direction, int chIdx) const
{
  const ChannelRecord* record = Record(direction, chIdx);
  return record && record->mConnected;
}

const double* IPlugProcessor::ChannelPointer(ERoute direction, int chIdx) const
{
  const ChannelRecord* record = Record(direction, chIdx);
  return record ? *record->mSlot : nullptr;
}

const double* IPlugProcessor::ScratchBuffer(ERoute direction, int chIdx) const
{
  const ChannelRecord* record = Record(direction, chIdx);
  return record ? record->mScratch.data() : nullptr;
}

const char* IPlugProcessor::GetChannelLabel(ERoute direction, int chIdx) const
{
  const ChannelRecord* record = Record(direction, chIdx);
  return record ? record->mLabel.c_str() : "";
}

void IPlugProcessor::SetChannelLabel(ERoute direction, int chIdx, const char* label)
{
  if (chIdx < 0 || chIdx >= MaxNChannels(direction))
    return;
  Records(direction)[static_cast<size_t>(chIdx)].mLabel = label ? label : "";
}

void IPlugProcessor::ResizeScratchBuffers(int blockSize)
{
  blockSize = std::max(blockSize, 0);
  if (blockSize == mBlockSize)
    return;
  const size_t n = static_cast<size_t>(blockSize);
  const size_t capacity = (n + kScratchGranularitySamples - 1) / kScratchGranularitySamples * kScratchGranularitySamples;
  for (auto* records : {&mInChannels, &mOutChannels})
  {
    for (ChannelRecord& record : *records)
    {
      record.mScratch.reserve(capacity);
      record.mScratch.assign(n, 0.0);
    }
  }
  mBlockSize = blockSize;
  // Slots that pointed at scratch must follow a reallocated buffer.
  ResetChannelBuffers();
}

// ---------------------------------------------------------------------------
// Block-level helpers

void IPlugProcessor::CopyThroughOnBypass(int nFrames)
{
  if (nFrames <= 0)
    return;
  const int nIn = MaxNChannels(kInput);
  const int nOut = MaxNChannels(kOutput);
  const int nCopied = std::min(nIn, nOut);
  if (GetLatency() > 0 && mLatencyDelay && mLatencyDelay->DelaySamples() > 0)
    mLatencyDelay->Process(mInputPtrs.data(), mOutputPtrs.data(), nCopied, nFrames);
  else
  {
    for (int i = 0; i < nCopied; ++i)
      if (mInputPtrs[static_cast<size_t>(i)] != mOutputPtrs[static_cast<size_t>(i)])
        std::memmove(mOutputPtrs[static_cast<size_t>(i)], mInputPtrs[static_cast<size_t>(i)],
                     sizeof(double) * static_cast<size_t>(nFrames));
  }
  for (int i = nCopied; i < nOut; ++i)
    std::memset(mOutputPtrs[static_cast<size_t>(i)], 0, sizeof(double) * static_cast<size_t>(nFrames));
}

void IPlugProcessor::CopyToSinglePrecision(float* dst, const double* src, int count, bool flushSubnormals)
{
  if (!flushSubnormals)
  {
    for (int i = 0; i < count; ++i)
      dst[i] = static_cast<float>(src[i]);
    return;
  }
  for (int i = 0; i < count; ++i)
  {
    const float v = static_cast<float>(src[i]);
    dst[i] = std::fabs(v) < FLT_MIN ? 0.0f : v;
  }
}

// ---------------------------------------------------------------------------
// Buffer attachment

void IPlugProcessor::ResetChannelBuffers()
{
  for (auto* records : {&mInChannels, &mOutChannels})
  {
    for (ChannelRecord& record : *records)
    {
      record.mConnected = false;
      record.mHostBuffer32 = nullptr;
      *record.mSlot = record.mScratch.data();
    }
  }
}

ChannelRecord* IPlugProcessor::ConnectChannel(ERoute direction, int chIdx)
{
  if (chIdx < 0 || chIdx >= MaxNChannels(direction))
    return nullptr;
  ChannelRecord& record = Records(direction)[static_cast<size_t>(chIdx)];
  record.mConnected = true;
  return &record;
}

void IPlugProcessor::AttachInputChannels(int firstChan, int nHostChans, double* const* hostChans, int frameOffset)
{
  for (int i = 0; hostChans && i < nHostChans; ++i)
    if (ChannelRecord* record = hostChans[i] ? ConnectChannel(kInput, firstChan + i) : nullptr)
      *record->mSlot = hostChans[i] + frameOffset;
}

void IPlugProcessor::AttachInputChannels(int firstChan, int nHostChans, float* const* hostChans, int frameOffset,
                                         int nFrames)
{
  nFrames = std::clamp(nFrames, 0, mBlockSize);
  for (int i = 0; hostChans && i < nHostChans; ++i)
  {
    if (ChannelRecord* record = hostChans[i] ? ConnectChannel(kInput, firstChan + i) : nullptr)
    {
      record->mHostBuffer32 = hostChans[i] + frameOffset;
      double* scratch = record->mScratch.data();
      std::copy(record->mHostBuffer32, record->mHostBuffer32 + nFrames, scratch);
      *record->mSlot = scratch;
    }
  }
}

void IPlugProcessor::AttachOutputChannels(int firstChan, int nHostChans, double* const* hostChans, int frameOffset)
{
  for (int i = 0; hostChans && i < nHostChans; ++i)
    if (ChannelRecord* record = hostChans[i] ? ConnectChannel(kOutput, firstChan + i) : nullptr)
      *record->mSlot = hostChans[i] + frameOffset;
}

void IPlugProcessor::AttachOutputChannels(int firstChan, int nHostChans, float* const* hostChans, int frameOffset)
{
  for (int i = 0; hostChans && i < nHostChans; ++i)
  {
    if (ChannelRecord* record = hostChans[i] ? ConnectChannel(kOutput, firstChan + i) : nullptr)
    {
      record->mHostBuffer32 = hostChans[i] + frameOffset;
      *record->mSlot = record->mScratch.data();
    }
  }
}

void IPlugProcessor::CompleteInputs(int nFrames, bool mirrorMono)
{
  nFrames = std::clamp(nFrames, 0, mBlockSize);
  const size_t bytes = sizeof(double) * static_cast<size_t>(nFrames);
  for (ChannelRecord& record : mInChannels)
  {
    if (!record.mConnected)
    {
      *record.mSlot = record.mScratch.data();
      std::memset(record.mScratch.data(), 0, bytes);
    }
  }
  // A copy rather than a shared pointer: channel 0 may be processed in place.
  if (mirrorMono && mInChannels.size() >= 2 && NChannelsConnected(kInput) == 1 && mInChannels[0].mConnected)
    std::memcpy(mInChannels[1].mScratch.data(), mInputPtrs[0], bytes);
}

void IPlugProcessor::RunAttachedBlock(int nFrames)
{
  nFrames = std::min(nFrames, mBlockSize);
  if (nFrames <= 0)
    return;
  const bool bypassed = GetBypassed();
  mParamPointsProcessed = true;
  if (bypassed && !ProcessesBypass())
    CopyThroughOnBypass(nFrames);
  else
  {
    // Keep the bypass delay line filled so that switching to bypass continues
    // from the current input rather than from an old one.
    if (mLatencyDelay && mLatencyDelay->DelaySamples() > 0)
      mLatencyDelay->Write(mInputPtrs.data(), std::min(MaxNChannels(kInput), MaxNChannels(kOutput)), nFrames);
    ProcessBlock(mInputPtrs.data(), mOutputPtrs.data(), nFrames);
  }
  for (ChannelRecord& record : mOutChannels)
    if (record.mConnected && record.mHostBuffer32)
      CopyToSinglePrecision(record.mHostBuffer32, *record.mSlot, nFrames, !bypassed); // bypass returns the input as it was
}

template <typename Sample>
void IPlugProcessor::ProcessHostChannelsImpl(Sample* const* inputs, int nInputs, Sample* const* outputs, int nOutputs,
                                             int nFrames)
{
  if (nFrames <= 0)
    return;
  if (!inputs)
    nInputs = 0;
  if (!outputs)
    nOutputs = 0;

  // Host channels the plug-in cannot fill, or every channel before the host
  // has set a block size, get silence.
  const int firstSilent = mBlockSize > 0 ? MaxNChannels(kOutput) : 0;
  for (int ch = firstSilent; ch < nOutputs; ++ch)
    if (outputs[ch])
      std::fill(outputs[ch], outputs[ch] + nFrames, Sample(0));
  // Without output channels (a parameter flush) there is nothing to deliver.
  if (mBlockSize <= 0 || nOutputs <= 0)
    return;

  for (int offset = 0; offset < nFrames; offset += mBlockSize)
  {
    const int n = std::min(mBlockSize, nFrames - offset);
    mPieceOffset = offset;
    ResetChannelBuffers();
    if constexpr (std::is_same_v<Sample, float>)
      AttachInputChannels(0, nInputs, inputs, offset, n);
    else
      AttachInputChannels(0, nInputs, inputs, offset);
    AttachOutputChannels(0, nOutputs, outputs, offset);
    CompleteInputs(n, true);
    RunAttachedBlock(n);
  }
  mPieceOffset = 0;
}

void IPlugProcessor::ProcessHostChannels(double* const* inputs, int nInputs, double* const* outputs, int nOutputs,
                                         int nFrames)
{
  ProcessHostChannelsImpl(inputs, nInputs, outputs, nOutputs, nFrames);
}

void IPlugProcessor::ProcessHostChannels(float* const* inputs, int nInputs, float* const* outputs, int nOutputs,
                                         int nFrames)
{
  ProcessHostChannelsImpl(inputs, nInputs, outputs, nOutputs, nFrames);
}

} // namespace iplug
