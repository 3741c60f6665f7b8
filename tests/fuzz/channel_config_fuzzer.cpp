// Channel configuration texts: any text parses without a crash or overflow,
// and the reported maxima agree with the configurations returned.

#include "core/IPlugProcessor.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstdint>
#include <string>

using iplug::ChannelConfig;
using iplug::kInput;
using iplug::kOutput;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size); // stops at an embedded zero when read as C text
  std::vector<ChannelConfig> configs;
  int maxIn = -1, maxOut = -1, maxInBuses = -1, maxOutBuses = -1;
  const int n = iplug::IPlugProcessor::ParseChannelConfig(text.c_str(), configs, maxIn, maxOut, maxInBuses,
                                                         maxOutBuses);
  FUZZ_CHECK(n == static_cast<int>(configs.size()));
  FUZZ_CHECK(maxIn >= 0 && maxOut >= 0 && maxInBuses >= 0 && maxOutBuses >= 0);

  int widestIn = 0, widestOut = 0, mostInBuses = 0, mostOutBuses = 0;
  for (const ChannelConfig& config : configs)
  {
    for (auto direction : {kInput, kOutput})
      for (const auto& bus : config.Buses(direction))
      {
        FUZZ_CHECK(bus.mDirection == direction);
        FUZZ_CHECK(bus.mNumChans > 0 || bus.mNumChans == iplug::kWildcardChannelCount);
      }
    widestIn = std::max(widestIn, config.TotalNChannels(kInput));
    widestOut = std::max(widestOut, config.TotalNChannels(kOutput));
    mostInBuses = std::max(mostInBuses, config.NBuses(kInput));
    mostOutBuses = std::max(mostOutBuses, config.NBuses(kOutput));
  }
  FUZZ_CHECK(maxInBuses == mostInBuses && maxOutBuses == mostOutBuses);
  FUZZ_CHECK(maxIn >= widestIn && maxOut >= widestOut);

  // A second parse appends and reports the same figures.
  int again[4];
  const int n2 = iplug::IPlugProcessor::ParseChannelConfig(text.c_str(), configs, again[0], again[1], again[2],
                                                          again[3]);
  FUZZ_CHECK(n2 == n && static_cast<int>(configs.size()) == 2 * n);
  FUZZ_CHECK(again[0] == maxIn && again[1] == maxOut && again[2] == maxInBuses && again[3] == maxOutBuses);
  return 0;
}
