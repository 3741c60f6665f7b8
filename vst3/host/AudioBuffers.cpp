#include "vst3/host/AudioBuffers.h"

#include <algorithm>

namespace vst3host
{

void AudioBuffers::Allocate(const std::vector<vst3::int32>& channelsPerBus, vst3::int32 maxSamples)
{
  mMaxSamples = std::max<vst3::int32>(maxSamples, 0);
  const std::size_t n = static_cast<std::size_t>(mMaxSamples);
  mBuses.assign(channelsPerBus.size(), Bus{});
  for (std::size_t b = 0; b < channelsPerBus.size(); ++b) {
    const std::size_t channels = static_cast<std::size_t>(std::max<vst3::int32>(channelsPerBus[b], 0));
    Bus& bus = mBuses[b];
    bus.samples32.assign(channels, std::vector<float>(n, 0.0f));
    bus.samples64.assign(channels, std::vector<double>(n, 0.0));
    bus.pointers32.resize(channels);
    bus.pointers64.resize(channels);
    for (std::size_t c = 0; c < channels; ++c) {
      bus.pointers32[c] = bus.samples32[c].data();
      bus.pointers64[c] = bus.samples64[c].data();
    }
  }
  mBusBuffers.assign(mBuses.size(), vst3::AudioBusBuffers{});
}

vst3::int32 AudioBuffers::ChannelCount(vst3::int32 bus) const
{
  if (bus < 0 || bus >= BusCount())
    return 0;
  return static_cast<vst3::int32>(mBuses[static_cast<std::size_t>(bus)].samples32.size());
}

float* AudioBuffers::Channel32(vst3::int32 bus, vst3::int32 channel)
{
  if (channel < 0 || channel >= ChannelCount(bus))
    return nullptr;
  return mBuses[static_cast<std::size_t>(bus)].samples32[static_cast<std::size_t>(channel)].data();
}

double* AudioBuffers::Channel64(vst3::int32 bus, vst3::int32 channel)
{
  if (channel < 0 || channel >= ChannelCount(bus))
    return nullptr;
  return mBuses[static_cast<std::size_t>(bus)].samples64[static_cast<std::size_t>(channel)].data();
}

vst3::AudioBusBuffers* AudioBuffers::Prepare(vst3::int32 symbolicSampleSize)
{
  for (std::size_t b = 0; b < mBuses.size(); ++b) {
    Bus& bus = mBuses[b];
    vst3::AudioBusBuffers& out = mBusBuffers[b];
    out.numChannels = static_cast<vst3::int32>(bus.samples32.size());
    out.silenceFlags = 0;
    if (symbolicSampleSize == vst3::kSample64)
      out.channelBuffers64 = bus.pointers64.empty() ? nullptr : bus.pointers64.data();
    else
      out.channelBuffers32 = bus.pointers32.empty() ? nullptr : bus.pointers32.data();
  }
  return mBusBuffers.empty() ? nullptr : mBusBuffers.data();
}

void AudioBuffers::Clear()
{
  for (Bus& bus : mBuses) {
    for (auto& ch : bus.samples32)
      std::fill(ch.begin(), ch.end(), 0.0f);
    for (auto& ch : bus.samples64)
      std::fill(ch.begin(), ch.end(), 0.0);
  }
}

} // namespace vst3host
