#pragma once

#include <climits>
#include <cstddef>
#include <vector>

namespace iplug
{

// Direction of a bus or channel. The values are the ones the channel
// configuration records store (0 = input, 1 = output).
enum ERoute
{
  kInput = 0,
  kOutput = 1
};

// Channel count that a "*" item in the channel configuration text stands for.
constexpr int kWildcardChannelCount = -64;

// Channel totals of absurd texts ("2147483647.1") stop at the int limits
// instead of overflowing.
inline int SaturatingChannelSum(int a, int b)
{
  const long long sum = static_cast<long long>(a) + b;
  return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

// One bus of a channel configuration.
struct BusSpec
{
  ERoute mDirection = kInput;
  int mNumChans = 0; // kWildcardChannelCount for "*"
};

// One supported bus layout: the input buses, then the output buses, in the
// order the configuration text lists them.
struct ChannelConfig
{
  std::vector<BusSpec> mInputBuses;
  std::vector<BusSpec> mOutputBuses;

  const std::vector<BusSpec>& Buses(ERoute direction) const
  {
    return direction == kInput ? mInputBuses : mOutputBuses;
  }

  int NBuses(ERoute direction) const { return static_cast<int>(Buses(direction).size()); }

  // Channel count of one bus; 0 when the configuration has no such bus.
  int NChansOnBus(ERoute direction, int busIdx) const
  {
    const auto& buses = Buses(direction);
    if (busIdx < 0 || busIdx >= static_cast<int>(buses.size()))
      return 0;
    return buses[static_cast<std::size_t>(busIdx)].mNumChans;
  }

  // Sum of the bus channel counts; a wildcard bus contributes -64.
  int TotalNChannels(ERoute direction) const
  {
    int total = 0;
    for (const BusSpec& bus : Buses(direction))
      total = SaturatingChannelSum(total, bus.mNumChans);
    return total;
  }

  bool ContainsWildcard(ERoute direction) const
  {
    for (const BusSpec& bus : Buses(direction))
      if (bus.mNumChans == kWildcardChannelCount)
        return true;
    return false;
  }
};

} // namespace iplug
