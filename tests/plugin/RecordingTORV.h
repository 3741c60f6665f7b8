#pragma once

// The plug-in with every notification it receives recorded, then passed on to
// its own handlers unchanged.

#include "plugin/TORV.h"

#include <utility>
#include <vector>

namespace calvorin_test
{

class RecordingTORV : public TORV
{
public:
  void OnParamUpdate(int idx, iplug::ParamSource source) override
  {
    updates.emplace_back(idx, source);
    TORV::OnParamUpdate(idx, source);
  }
  void HostPerformEdit(int idx, double norm) override
  {
    performed.emplace_back(idx, norm);
    TORV::HostPerformEdit(idx, norm);
  }
  void OnIdleTick() override
  {
    ++idleTicks;
    TORV::OnIdleTick();
  }

  std::vector<std::pair<int, iplug::ParamSource>> updates;
  std::vector<std::pair<int, double>> performed;
  int idleTicks = 0;
};

} // namespace calvorin_test
