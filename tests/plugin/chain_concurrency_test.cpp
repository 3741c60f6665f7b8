// Parameter edits, processing and meter draining on three threads at once, as
// in a host: run it in the thread-sanitizer build (tools/build.sh tsan) to
// prove there is no data race between them.

#include "plugin/TORVChainParams.h"
#include "tests/plugin/EngineReference.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using namespace iplug;

TEST(ProcessingChainConcurrency, EditsProcessingAndMeterDrainRunTogether)
{
  ProcessingChain chain;
  // Parameter values as the host would hold them: atomics shared by all threads.
  std::array<std::atomic<double>, kNumParams> values;
  const testdata::ParamSet defaults = testdata::DefaultParams();
  for (size_t i = 0; i < values.size(); ++i)
    values[i].store(defaults[i]);
  const auto valueOf = [&](int idx) { return values[static_cast<size_t>(idx)].load(std::memory_order_relaxed); };
  for (int p = 0; p < kNumParams; ++p)
    torv::ApplyParamToChain(chain, p, valueOf);

  std::atomic<bool> stop{false};
  std::atomic<long> delivered{0};

  std::thread editor([&] {
    for (int n = 0; !stop.load(); ++n)
    {
      const int p = n % kNumParams;
      const double phase = 0.5 + 0.5 * std::sin(0.37 * n);
      double v = phase * 2.0 - 1.0;
      if (p >= kPullThresholdLow && p <= kPushThresholdHigh)
        v = -80.0 + 86.0 * phase;
      else if (p >= kWidthLow && p <= kDepth && p != kTime)
        v = p >= kModeLow && p <= kModeHigh ? n % 3 : 100.0 * phase;
      values[static_cast<size_t>(p)].store(v, std::memory_order_relaxed);
      torv::ApplyParamToChain(chain, p, valueOf);
    }
  });
  std::thread idle([&] {
    while (!stop.load())
      chain.TransmitMeters([&](const MeterRecord&) { delivered.fetch_add(1, std::memory_order_relaxed); });
  });

  std::vector<double> inL(256), inR(256), outL(256), outR(256);
  for (int block = 0; block < 400; ++block)
  {
    for (size_t i = 0; i < inL.size(); ++i)
    {
      inL[i] = 0.7 * std::sin(0.05 * static_cast<double>(block * 256 + static_cast<int>(i)));
      inR[i] = -0.4 * inL[i];
    }
    double* inputs[2] = {inL.data(), inR.data()};
    double* outputs[2] = {outL.data(), outR.data()};
    chain.ProcessBlock(inputs, outputs, 256,
                       {valueOf(kOutGain), valueOf(kMix), valueOf(kBypass)});
    for (size_t i = 0; i < outL.size(); ++i)
      ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i]));
  }
  stop.store(true);
  editor.join();
  idle.join();
  chain.TransmitMeters([&](const MeterRecord&) { delivered.fetch_add(1); });
  EXPECT_GT(delivered.load(), 0);
}
