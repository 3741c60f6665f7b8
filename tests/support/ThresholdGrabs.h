#pragma once

// Where a user grabs the threshold lines of the editor at scale 1, for the
// window tests: inside the push zone (above the push line) and the pull zone
// (below the pull line) of each band, and the drag that moves each line 30
// units away from the other.

#include <string>
#include <vector>

namespace calvorin_test
{

struct ThresholdGrab
{
  float x, y;      // the press, in editor units
  float dy;        // the drag
  int paramIdx;    // the threshold it moves
  bool raises;     // true: the threshold goes up
  std::string what;
};

// state: the 26 parameter values (thresholds in dB at 6..11).
inline std::vector<ThresholdGrab> ThresholdGrabs(const std::vector<double>& state)
{
  const auto lineY = [](double db) { return static_cast<float>(382.0 - 340.0 * (db + 80.0) / 86.0); };
  const char* bands[] = {"Low", "Mid", "High"};
  std::vector<ThresholdGrab> grabs;
  for (int band = 0; band < 3; ++band)
  {
    const float middle = 10.f + 132.f * static_cast<float>(band) + 122.f / 6.f;
    grabs.push_back({middle, lineY(state[9 + band]) - 12.f, -30.f, 9 + band, true, std::string("push ") + bands[band]});
    grabs.push_back({middle, lineY(state[6 + band]) + 12.f, 30.f, 6 + band, false, std::string("pull ") + bands[band]});
  }
  return grabs;
}

// The threshold moved more than 5 dB the way its drag went.
inline bool ThresholdFollowed(const ThresholdGrab& grab, const std::vector<double>& before,
                              const std::vector<double>& after)
{
  const double moved = after[static_cast<size_t>(grab.paramIdx)] - before[static_cast<size_t>(grab.paramIdx)];
  return grab.raises ? moved > 5.0 : moved < -5.0;
}

} // namespace calvorin_test
