#pragma once

#include "tools/calvorin/EffectHost.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace calvorin::test
{

// An in-process effect with a few parameters shaped like the plug-in's: a
// gain in dB (applied to the signal), a percentage, a three-way mode and two
// switches named "Bypass" (the host's and the plug-in's). Records every call.
class FakeEffectHost : public cli::EffectHost
{
public:
  enum Id
  {
    kDepth = 0,
    kGain = 1,
    kMode = 2,
    kPluginBypass = 25,
    kHostBypass = 65536
  };

  cli::EffectClass Class() override { return {"Fake", "Maker", "1.2.3", "Fx|Dynamics"}; }

  std::vector<cli::HostParameter> Parameters() override
  {
    return {{kHostBypass, "Bypass", "", 1, 65537, 0.0},
            {kDepth, "Depth", "%", 0, 1, 0.5},
            {kGain, "Out Gain", "dB", 0, 1, 0.5},
            {kMode, "Mode High", "", 2, 1, 0.0},
            {kPluginBypass, "Bypass", "", 1, 1, 0.0}};
  }

  std::vector<std::string> PresetNames() override { return {"DEFAULT", "TORV", "UP A LOT"}; }

  bool ValueToText(int id, double norm, std::string& text) override
  {
    switch (id)
    {
    case kDepth: text = std::to_string(static_cast<int>(std::lround(norm * 100.0))); return true;
    case kGain: text = std::to_string(static_cast<int>(std::lround(norm * 48.0 - 24.0))); return true;
    case kMode: text = norm < 0.25 ? "LR" : norm < 0.75 ? "MID" : "SIDE"; return true;
    default: text = norm >= 0.5 ? "1" : "0"; return true;
    }
  }

  bool TextToValue(int id, const std::string& text, double& norm) override
  {
    if (id == kMode)
    {
      if (text == "LR" || text == "MID" || text == "SIDE")
      {
        norm = text == "LR" ? 0.0 : text == "MID" ? 0.5 : 1.0;
        return true;
      }
      return false;
    }
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
      return false;
    if (id == kDepth)
      norm = value / 100.0;
    else if (id == kGain)
      norm = (value + 24.0) / 48.0;
    else
      norm = value >= 0.5 ? 1.0 : 0.0;
    norm = std::fmin(std::fmax(norm, 0.0), 1.0);
    return true;
  }

  bool Prepare(double rate, int block, int channels, cli::SamplePrecision precision, std::string& error) override
  {
    if (refusePrepare)
    {
      error = "the plug-in refused the processing set-up";
      return false;
    }
    preparedRate = rate;
    preparedBlock = block;
    preparedChannels = channels;
    preparedPrecision = precision;
    log.push_back("prepare");
    return true;
  }

  bool LoadPreset(int index, std::string&) override
  {
    log.push_back("preset " + std::to_string(index));
    gainNorm = index == 1 ? 0.625 : 0.5; // TORV: +6 dB
    return true;
  }

  bool SetParameter(int id, double norm) override
  {
    log.push_back("set " + std::to_string(id) + " " + std::to_string(norm));
    if (id == kGain)
      gainNorm = norm;
    if (id == kHostBypass || id == kPluginBypass)
      bypassed = norm >= 0.5;
    return true;
  }

  double ParameterValue(int id) override { return id == kGain ? gainNorm : 0.0; }

  // Logged as "point <block> <id> <offset> <value>", the block counted from 0.
  bool AddPoint(int id, int offset, double norm) override
  {
    log.push_back("point " + std::to_string(blocks) + " " + std::to_string(id) + " " + std::to_string(offset) + " " +
                  std::to_string(norm));
    return true;
  }

  void Process(float* const* in, float* const* out, int n) override { Run(in, out, n, 32); }
  void Process(double* const* in, double* const* out, int n) override { Run(in, out, n, 64); }

  void Stop() override { log.push_back("stop"); }

  bool SaveEditorSnapshot(const std::string& path, float scale, std::string&) override
  {
    log.push_back("snapshot " + std::to_string(scale));
    std::ofstream(path) << "editor";
    return true;
  }

  template <typename S>
  void Run(S* const* in, S* const* out, int n, int bits)
  {
    processedBits = bits;
    largestBlock = std::max(largestBlock, n);
    ++blocks;
    if (cancelAfterBlocks > 0 && blocks >= cancelAfterBlocks && cancelFlag)
      *cancelFlag = true;
    const double gain = std::pow(10.0, (gainNorm * 48.0 - 24.0) / 20.0);
    for (int c = 0; c < preparedChannels; ++c)
      for (int i = 0; i < n; ++i)
        out[c][i] = bypassed ? in[c][i] : static_cast<S>(in[c][i] * gain);
  }

  bool refusePrepare = false;
  double preparedRate = 0.0;
  int preparedBlock = 0;
  int preparedChannels = 0;
  cli::SamplePrecision preparedPrecision = cli::SamplePrecision::k32;
  int processedBits = 0;
  int largestBlock = 0;
  int blocks = 0;
  int cancelAfterBlocks = 0;
  std::atomic<bool>* cancelFlag = nullptr;
  double gainNorm = 0.5;
  bool bypassed = false;
  std::vector<std::string> log;
};

} // namespace calvorin::test
