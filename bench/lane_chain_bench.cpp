// The scalar chain against its lane form, in one run: per stereo sample at
// 48 kHz for blocks of 32, 64 and 512 frames; both paths process the same
// input, in turns of about 4096 frames, timed in the thread's CPU time.
//
//   build/release/bench/calvorin_bench --benchmark_filter=ScalarVsLanes
//
// Counters (CPU nanoseconds per stereo sample): scalar = ProcessingChain
// with its meters; lanes = LaneChain writing its meter levels; vector = lanes plus feeding those
// levels to four meter senders one sample at a time, the work the scalar
// chain's meters do; speedup = scalar / vector. The label names the build of
// the lane code; rows marked SSE2 force the baseline build.

#include "plugin/TORVChainParams.h"
#include "dsp/simd/LaneChain.h"
#include "dsp/simd/LaneKernelSet.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
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
      torv::ApplyParamToChain(scalar, i, [&](int idx) { return p[static_cast<size_t>(idx)]; });
    scalar.Reset(kRate);
    controls = {p[kOutGain], p[kMix], p[kBypass]};
    lanes.Configure(scalar, controls);
    for (MeterSender& m : meters)
      m.SetWindow(ProcessingChain::kMeterWindowMs, kRate);

    MakeSignal(c == Case::SilentTail ? 4.0 : 1.0);
    outL.resize(static_cast<size_t>(block));
    outR.resize(static_cast<size_t>(block));
    if (c == Case::SilentTail)
    {
      // Ten seconds of loud signal, then silence: the states decay towards
      // the subnormal range while the benchmark runs.
      Blocks(0, 10 * kSignalFrames / block, nullptr, nullptr, nullptr);
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

  // `count` blocks from block `index` on through the scalar chain, then the
  // same blocks through the lane chain and the meter feed; adds the thread's
  // CPU nanoseconds of each part to the totals (CPU time, so that other
  // processes on the machine do not count).
  void Blocks(int index, int count, double* scalarNs, double* lanesNs, double* feedNs)
  {
    const int blocksInSignal = kSignalFrames / block;
    const auto offset = [&](int k) { return static_cast<size_t>((index + k) % blocksInSignal) * static_cast<size_t>(block); };
    const double t0 = ThreadNs();
    for (int k = 0; k < count; ++k)
    {
      double* in[2] = {inL.data() + offset(k), inR.data() + offset(k)};
      double* out[2] = {outL.data(), outR.data()};
      scalar.ProcessBlock(in, out, block, controls);
      scalar.TransmitMeters([](const MeterRecord&) {});
    }
    const double t1 = ThreadNs();
    const size_t levelsPerBlock = static_cast<size_t>(block) * simd::kLaneMeterValuesPerFrame;
    levels.resize(std::max(levels.size(), levelsPerBlock * static_cast<size_t>(count)));
    for (int k = 0; k < count; ++k)
      lanes.Process(inL.data() + offset(k), inR.data() + offset(k), outL.data(), outR.data(), block,
                    levels.data() + levelsPerBlock * static_cast<size_t>(k));
    const double t2 = ThreadNs();
    const int firstMeter = controls.bypassValue >= 0.5 ? ProcessingChain::kOutputMeter : 0;
    for (int k = 0; k < count; ++k)
    {
      for (int i = 0; i < block; ++i)
      {
        const float* l = levels.data() + levelsPerBlock * static_cast<size_t>(k) +
                         static_cast<size_t>(i) * simd::kLaneMeterValuesPerFrame;
        for (int m = firstMeter; m < ProcessingChain::kNumMeters; ++m)
          meters[static_cast<size_t>(m)].AddSample(l[m], l[m + 4]);
      }
      for (MeterSender& m : meters)
        m.Transmit([](const MeterRecord&) {});
    }
    const double t3 = ThreadNs();
    if (scalarNs)
    {
      *scalarNs += t1 - t0;
      *lanesNs += t2 - t1;
      *feedNs += t3 - t2;
    }
  }

  static double ThreadNs()
  {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
  }
};

void ScalarVsLanes(benchmark::State& state, Case c, bool forceSse2)
{
  const simd::LaneKernels& kernels = forceSse2 ? simd::Sse2LaneKernels() : simd::BestLaneKernels();
  Rig rig(c, static_cast<int>(state.range(0)), kernels);
  double scalarNs = 0.0, lanesNs = 0.0, feedNs = 0.0;
  const int perBatch = std::max(1, 4096 / rig.block);
  int index = 0;
  for (auto _ : state)
  {
    rig.Blocks(index, perBatch, &scalarNs, &lanesNs, &feedNs);
    index += perBatch;
    benchmark::DoNotOptimize(rig.outL.data());
    benchmark::ClobberMemory();
  }
  const double frames = static_cast<double>(state.iterations()) * perBatch * rig.block;
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
