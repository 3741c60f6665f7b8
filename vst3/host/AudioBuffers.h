#pragma once

// Host-side sample storage for process(): one AudioBusBuffers per audio bus
// of each direction, every channel backed by both a 32-bit and a 64-bit
// buffer of the maximum block size, so one set of buffers serves either
// sample size.

#include "vst3/abi/AudioProcessor.h"

#include <vector>

namespace vst3host
{

class AudioBuffers
{
public:
  // channelsPerBus: the channel count of each bus, in bus order.
  void Allocate(const std::vector<vst3::int32>& channelsPerBus, vst3::int32 maxSamples);

  vst3::int32 BusCount() const { return static_cast<vst3::int32>(mBuses.size()); }
  vst3::int32 ChannelCount(vst3::int32 bus) const;
  vst3::int32 MaxSamples() const { return mMaxSamples; }

  float* Channel32(vst3::int32 bus, vst3::int32 channel);
  double* Channel64(vst3::int32 bus, vst3::int32 channel);

  // Points every bus's channel array at the 32- or 64-bit storage and
  // returns the array to put into ProcessData (null when there is no bus).
  vst3::AudioBusBuffers* Prepare(vst3::int32 symbolicSampleSize);

  // Writes zeros into every channel of both sample sizes.
  void Clear();

private:
  struct Bus
  {
    std::vector<std::vector<float>> samples32;
    std::vector<std::vector<double>> samples64;
    std::vector<float*> pointers32;
    std::vector<double*> pointers64;
  };
  std::vector<Bus> mBuses;
  std::vector<vst3::AudioBusBuffers> mBusBuffers;
  vst3::int32 mMaxSamples = 0;
};

} // namespace vst3host
