#include "plugin/TORV.h"
#include "plugin/TORVChainParams.h"
#include "dsp/simd/LaneChain.h"
#include "dsp/simd/LaneKernelSet.h"
#include "tests/plugin/EngineReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace iplug;
using testdata::ParamSet;

namespace
{

std::vector<const simd::LaneKernels*> AvailableKernels()
{
  std::vector<const simd::LaneKernels*> kernels{&simd::Sse2LaneKernels()};
  if (simd::Avx2Supported())
    kernels.push_back(&simd::Avx2LaneKernels());
  return kernels;
}

void ApplyAll(ProcessingChain& chain, const ParamSet& params)
{
  for (int p = 0; p < kNumParams; ++p)
    torv::ApplyParamToChain(chain, p, [&](int idx) { return params[static_cast<size_t>(idx)]; });
}

ParamSet RandomParams(std::mt19937_64& random)
{
  auto u = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  ParamSet p = testdata::DefaultParams();
  for (int b = 0; b < 3; ++b)
  {
    p[static_cast<size_t>(kPreGainLow + b)] = u(-1.0, 1.0);
    p[static_cast<size_t>(kPostGainLow + b)] = u(-1.0, 1.0);
    p[static_cast<size_t>(kPullThresholdLow + b)] = u(-80.0, 6.0);
    p[static_cast<size_t>(kPushThresholdLow + b)] = u(-80.0, 6.0);
    p[static_cast<size_t>(kWidthLow + b)] = u(0.0, 200.0);
    p[static_cast<size_t>(kExciteLow + b)] = u(0.0, 1.0) < 0.3 ? 0.0 : u(0.0, 100.0);
    p[static_cast<size_t>(kModeLow + b)] = std::floor(u(0.0, 3.0));
  }
  p[kTime] = u(-1.0, 1.0);
  p[kDepth] = u(0.0, 100.0);
  p[kMix] = u(0.0, 100.0);
  p[kOutGain] = u(-1.0, 1.0);
  p[kBypass] = u(0.0, 1.0) < 0.1 ? 1.0 : 0.0;
  return p;
}

// Worst |vector - scalar| over the engine input and the peak of the scalar
// output, two chains processing in blocks of `block` with the parameter sets
// applied in turn (one per stretch of blocks, as automation); also the worst
// relative difference of their meter records, which must come in the same
// order.
struct Comparison
{
  double worst = 0.0;
  double peak = 0.0;
  double worstMeter = 0.0;
  bool sameRecords = true;
};

// The input is the engine reference input, then a second of silence in which
// the envelopes fall through the pull floor.
Comparison Compare(EnginePath path, const std::vector<ParamSet>& automation, int block)
{
  const std::vector<double> input = testdata::ReadStereoF64("input_48k.f64");
  std::vector<double> inL(input.size() / 2 + 48000, 0.0), inR(inL);
  const int frames = static_cast<int>(inL.size());
  for (size_t i = 0; i < input.size() / 2; ++i)
  {
    inL[i] = input[2 * i];
    inR[i] = input[2 * i + 1];
  }

  ProcessingChain scalar;
  ProcessingChain vector;
  scalar.SetEnginePath(EnginePath::Scalar);
  vector.SetEnginePath(path);
  for (ProcessingChain* chain : {&scalar, &vector})
  {
    ApplyAll(*chain, testdata::DefaultParams());
    chain->Reset(48000.0);
  }

  Comparison c;
  std::vector<double> sL(static_cast<size_t>(block)), sR(sL), vL(sL), vR(sL);
  std::vector<MeterRecord> sMeters, vMeters;
  const int blocksPerSet = (frames / block) / static_cast<int>(automation.size()) + 1;
  for (int start = 0, index = 0; start < frames; start += block, ++index)
  {
    const ParamSet& params = automation[static_cast<size_t>(index / blocksPerSet)];
    if (index % blocksPerSet == 0)
    {
      ApplyAll(scalar, params);
      ApplyAll(vector, params);
    }
    const ProcessingChain::BlockControls controls{params[kOutGain], params[kMix], params[kBypass]};

    const int n = std::min(block, frames - start);
    double* in[2] = {inL.data() + start, inR.data() + start};
    double* sOut[2] = {sL.data(), sR.data()};
    double* vOut[2] = {vL.data(), vR.data()};
    scalar.ProcessBlock(in, sOut, n, controls);
    vector.ProcessBlock(in, vOut, n, controls);
    for (int i = 0; i < n; ++i)
    {
      const size_t k = static_cast<size_t>(i);
      c.peak = std::max({c.peak, std::fabs(sL[k]), std::fabs(sR[k])});
      const double e = std::max(std::fabs(vL[k] - sL[k]), std::fabs(vR[k] - sR[k]));
      c.worst = std::isnan(e) ? INFINITY : std::max(c.worst, e);
    }
    scalar.TransmitMeters([&](const MeterRecord& r) { sMeters.push_back(r); });
    vector.TransmitMeters([&](const MeterRecord& r) { vMeters.push_back(r); });
  }
  c.sameRecords = sMeters.size() == vMeters.size();
  for (size_t i = 0; c.sameRecords && i < sMeters.size(); ++i)
  {
    c.sameRecords = sMeters[i].controlTag == vMeters[i].controlTag;
    for (int v = 0; v < 2; ++v)
    {
      const double a = sMeters[i].values[v];
      const double b = vMeters[i].values[v];
      c.worstMeter = std::max(c.worstMeter, std::fabs(a - b) / std::max(1e-3, std::fabs(a)));
    }
  }
  return c;
}

// The factory presets' parameter values, by name.
std::vector<std::pair<std::string, ParamSet>> FactoryPresets()
{
  TORV plug;
  std::vector<std::pair<std::string, ParamSet>> presets;
  for (int i = 0; i < plug.NPresets(); ++i)
  {
    EXPECT_TRUE(plug.LoadPreset(i));
    ParamSet p;
    for (int idx = 0; idx < kNumParams; ++idx)
      p[static_cast<size_t>(idx)] = plug.GetParam(idx)->GetValue();
    presets.emplace_back(plug.GetPresetName(i), p);
  }
  return presets;
}

// Both builds of the lane code (the best one, and SSE2 alone) against the
// scalar path, in blocks of 512 and of 61 (runs of the lane code that end
// between its passes).
void ExpectSameSound(const std::vector<ParamSet>& automation, const std::string& what)
{
  for (EnginePath path : {EnginePath::Vector, EnginePath::VectorSse2})
  {
    const std::string build = path == EnginePath::VectorSse2 ? "SSE2" : simd::BestLaneKernels().name;
    for (int block : {512, 61})
    {
      const Comparison c = Compare(path, automation, block);
      const std::string where = build + " " + what + ", blocks of " + std::to_string(block);
      EXPECT_GT(c.peak, 0.0) << where;
      EXPECT_LE(c.worst, 1e-12 * c.peak) << where << ": worst " << c.worst << ", peak " << c.peak;
      EXPECT_TRUE(c.sameRecords) << where;
      EXPECT_LE(c.worstMeter, 1e-6) << where;
      char ratio[64];
      std::snprintf(ratio, sizeof ratio, "%.3g (meters %.3g)", c.worst / c.peak, c.worstMeter);
      testing::Test::RecordProperty(build + "_" + what + "_" + std::to_string(block), ratio);
    }
  }
}

} // namespace

TEST(LaneChain, FollowsTheScalarChainOnTheEngineReferenceSettingsAndFactoryPresets)
{
  std::vector<std::pair<std::string, ParamSet>> settings = {{"defaults", testdata::DefaultParams()},
                                                            {"torv", testdata::TorvPresetParams()},
                                                            {"upalot", testdata::UpALotPresetParams()},
                                                            {"mixed", testdata::MixedParams()}};
  for (const auto& preset : FactoryPresets())
    settings.emplace_back("preset " + preset.first, preset.second);
  for (const auto& [name, params] : settings)
    ExpectSameSound({params}, name);
}

TEST(LaneChain, FollowsTheScalarChainUnderRandomAutomation)
{
  std::mt19937_64 random(2024);
  for (int run = 0; run < 4; ++run)
  {
    std::vector<ParamSet> automation;
    for (int i = 0; i < 6; ++i)
      automation.push_back(RandomParams(random));
    ExpectSameSound(automation, "random" + std::to_string(run));
  }
}

TEST(LaneChain, RecoversFromNonFiniteInputAndItsSilentTailStaysNormal)
{
  for (const simd::LaneKernels* k : AvailableKernels())
  {
    ProcessingChain scalar;
    ApplyAll(scalar, testdata::MixedParams());
    simd::LaneChain lanes(*k);
    lanes.Configure(scalar, {0.0, 100.0, 0.0});
    std::vector<double> l(512, 0.8), r(512, -0.7), outL(512), outR(512);
    l[100] = NAN;
    r[200] = INFINITY;
    lanes.Process(l.data(), r.data(), outL.data(), outR.data(), 512);
    std::fill(l.begin(), l.end(), 0.0);
    std::fill(r.begin(), r.end(), 0.0);
    for (int b = 0; b < 200; ++b)
      lanes.Process(l.data(), r.data(), outL.data(), outR.data(), 512);
    for (size_t i = 0; i < outL.size(); ++i)
      ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i])) << k->name << " frame " << i;
    const auto* values = reinterpret_cast<const double*>(&lanes.State());
    for (size_t i = 0; i < sizeof(simd::LaneChainState) / sizeof(double); ++i)
      EXPECT_TRUE(values[i] == 0.0 || std::isnormal(values[i])) << k->name << " state value " << i;
  }
}
