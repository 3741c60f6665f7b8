#pragma once

// A small plug-in on IPlugVST3 for in-process tests: three parameters of the
// three kinds the controller exports differently, two presets, "1-1 2-2".

#include "vst3/IPlugVST3.h"

#include <array>
#include <string>
#include <vector>

namespace vst3test
{

class TestPlug : public iplug::IPlugVST3
{
public:
  static iplug::Config MakeTestConfig()
  {
    iplug::Config c;
    c.nParams = 3;
    c.nPresets = 2;
    c.channelIOStr = "1-1 2-2";
    c.pluginName = "Test";
    c.mfrName = "Maker";
    c.vendorVersion = 0x00010000;
    return c;
  }

  TestPlug() : iplug::IPlugVST3(MakeTestConfig())
  {
    GetParam(0)->DeclareDouble("Gain", 0.0, -1.0, 1.0, 0.01, "dB");
    GetParam(1)->DeclareEnum("Mode", {"LR", "MID", "SIDE"});
    GetParam(2)->DeclareBool("Switch");
    AddFactoryPreset("First", 0.5, 1, 0);
    AddFactoryPreset("Second", -0.5, 2, 1);
  }

  // Output = input * (1 + Gain); remembers what the block saw.
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override
  {
    const double g = 1.0 + GetParam(0)->GetValue();
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < nFrames; ++i)
        outputs[c][i] = inputs[c][i] * g;
    largestBlock = std::max(largestBlock, nFrames);
    lastRightInput = nFrames > 0 ? inputs[1][nFrames - 1] : 0.0;
    ++blocks;
  }

  void OnParamChangeRealtime(int paramIdx) override { ++realtimeChanges[static_cast<size_t>(paramIdx)]; }

  void OnParamUpdate(int paramIdx, iplug::ParamSource source) override
  {
    updates += std::to_string(paramIdx) + ":" + std::to_string(static_cast<int>(source)) + " ";
  }

  void OnHostKnown() override { ++hostKnownCalls; }
  void OnIdleTick() override { ++idleTicks; }

  int largestBlock = 0;
  int blocks = 0;
  double lastRightInput = 0.0;
  std::array<int, 3> realtimeChanges{};
  std::string updates;
  int hostKnownCalls = 0;
  int idleTicks = 0;
};

} // namespace vst3test
