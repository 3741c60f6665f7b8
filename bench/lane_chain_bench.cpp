// The scalar chain against its lane form, in one run: per stereo sample at
// 48 kHz for blocks of 32, 64 and 512 frames, each block processed by both
// paths in turn on the same input.
//
//   build/release/bench/calvorin_bench --benchmark_filter=ScalarVsLanes
//
// Counters (nanoseconds per stereo sample): scalar = ProcessingChain;
// lanes = LaneChain with its meter levels; vector = lanes plus feeding those
// levels to four meter senders one sample at a time, the work the scalar
// chain's meters do; speedup = scalar / vector. The label names the build of
// the lane code; rows marked SSE2 force the baseline build.

#include "dsp/ProcessingChain.h"
#include "dsp/simd/LaneChain.h"
#include "dsp/simd/LaneKernelSet.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <vector>

namespace
{

using namespace iplug;

constexpr double kRate = 48000.0;
constexpr int kSignalFrames = 48000;

enum class Case
{
  Defaults,
  AllExcite100,
  Bypass,
  SilentTail,
};

struct Rig
{
  ProcessingChain scalar{kRate};
  simd::LaneChain lanes;
  std::array<MeterSender, 4> meters{MeterSender(0), MeterSender(1), MeterSender(2), MeterSender(3)};
  ProcessingChain::BlockControls controls;
  std::vector<double> inL, inR, outL, outR;
  std::vector<float> levels;
  int block;

  Rig(Case c, int blockSize, const simd::LaneKernels& kernels)
    : lanes(kernels)
    , block(blockSize)
  {
    std::array<double, kNumParams> p{0, 0, 0, 0, 0, 0, -40, -40, -40, -30, -30, -30, 100,
                                     100, 100, 0, 0, 0, 0, 0, 0, 0, 50, 100, 0, 0};
    if (c == Case::AllExcite100)
      p[kExciteLow] = p[kExciteMid] = p[kExciteHigh] = 100.0;
    if (c == Case::Bypass)
      p[kBypass] = 1.0;
    for (int i = 0; i < kNumParams; ++i)
      scalar.OnParamChange(i, [&](int idx) { return p[static_cast<size_t>(idx)]; });
    scalar.Reset(kRate);
    controls = {p[kOutGain], p[kMix], p[kBypass]};
    lanes.Configure(scalar, controls);
    for (MeterSender& m : meters)
      m.SetWindow(ProcessingChain::kMeterWindowMs, kRate);

    MakeSignal(c == Case::SilentTail ? 4.0 : 1.0);
    outL.resize(static_cast<size_t>(block));
    outR.resize(static_cast<size_t>(block));
    levels.resize(static_cast<size_t>(block) * simd::kLaneMeterValuesPerFrame);
    if (c == Case::SilentTail)
    {
      // Ten seconds of loud signal, then silence: the states decay towards
      // the subnormal range while the benchmark runs.
      for (int b = 0; b < 10 * kSignalFrames / block; ++b)
        Block(b, nullptr, nullptr);
      std::fill(inL.begin(), inL.end(), 0.0);
      std::fill(inR.begin(), inR.end(), 0.0);
    }
  }

  // Music-like test signal: bass, mids, highs, with a level envelope.
  void MakeSignal(double gain)
  {
    inL.resize(kSignalFrames);
    inR.resize(kSignalFrames);
    for (size_t i = 0; i < inL.size(); ++i)
    {
      const double t = static_cast<double>(i) / kRate;
      const double env = 0.3 + 0.7 * std::fabs(std::sin(2 * M_PI * 2 * t));
      inL[i] = gain * env *
               (0.5 * std::sin(2 * M_PI * 55 * t) + 0.2 * std::sin(2 * M_PI * 880 * t) + 0.05 * std::sin(2 * M_PI * 7000 * t));
      inR[i] = gain * env *
               (0.4 * std::sin(2 * M_PI * 82 * t) + 0.25 * std::sin(2 * M_PI * 1300 * t) + 0.05 * std::sin(2 * M_PI * 9500 * t));
    }
  }

  // One block through both paths; adds the nanoseconds of each to the totals.
  void Block(int index, double* scalarNs, double* lanesNs, double* feedNs = nullptr)
  {
    using Clock = std::chrono::steady_clock;
    const size_t offset = static_cast<size_t>(index % (kSignalFrames / block)) * static_cast<size_t>(block);
    double* in[2] = {inL.data() + offset, inR.data() + offset};
    double* out[2] = {outL.data(), outR.data()};
    const auto t0 = Clock::now();
    scalar.ProcessBlock(in, out, block, controls);
    const auto t1 = Clock::now();
    lanes.Process(in[0], in[1], out[0], out[1], block, levels.data());
    const auto t2 = Clock::now();
    const int firstMeter = controls.bypassValue >= 0.5 ? ProcessingChain::kOutputMeter : 0;
    for (int i = 0; i < block; ++i)
    {
      const float* l = levels.data() + static_cast<size_t>(i) * simd::kLaneMeterValuesPerFrame;
      for (int m = firstMeter; m < ProcessingChain::kNumMeters; ++m)
        meters[static_cast<size_t>(m)].AddSample(l[m], l[m + 4]);
    }
    const auto t3 = Clock::now();
    if (scalarNs)
    {
      *scalarNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
      *lanesNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
      *feedNs += std::chrono::duration<double, std::nano>(t3 - t2).count();
    }
    for (MeterSender& m : meters)
      m.Transmit([](const MeterRecord&) {});
    scalar.TransmitMeters([](const MeterRecord&) {});
  }
};

void ScalarVsLanes(benchmark::State& state, Case c, bool forceSse2)
{
  const simd::LaneKernels& kernels = forceSse2 ? simd::Sse2LaneKernels() : simd::BestLaneKernels();
  Rig rig(c, static_cast<int>(state.range(0)), kernels);
  double scalarNs = 0.0, lanesNs = 0.0, feedNs = 0.0;
  int index = 0;
  for (auto _ : state)
  {
    rig.Block(index++, &scalarNs, &lanesNs, &feedNs);
    benchmark::DoNotOptimize(rig.outL.data());
    benchmark::ClobberMemory();
  }
  const double frames = static_cast<double>(state.iterations()) * rig.block;
  state.counters["scalar"] = scalarNs / frames;
  state.counters["lanes"] = lanesNs / frames;
  state.counters["vector"] = (lanesNs + feedNs) / frames;
  state.counters["speedup"] = scalarNs / (lanesNs + feedNs);
  state.SetLabel(kernels.name);
}

void Register()
{
  struct Named
  {
    const char* name;
    Case c;
  };
  for (const Named& n : {Named{"Defaults", Case::Defaults}, Named{"AllExcite100", Case::AllExcite100},
                         Named{"Bypass", Case::Bypass}, Named{"SilentTail", Case::SilentTail}})
  {
    for (bool sse2 : {false, true})
    {
      if (sse2 && !simd::Avx2Supported())
        continue;
      const std::string name = std::string("ScalarVsLanes/") + n.name + (sse2 ? "/SSE2" : "");
      benchmark::RegisterBenchmark(name.c_str(), ScalarVsLanes, n.c, sse2)->Arg(32)->Arg(64)->Arg(512)->MinTime(0.5);
    }
  }
}

const bool kRegistered = (Register(), true);

} // namespace
