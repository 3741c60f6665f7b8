#include "dsp/FloatingPointModeGuard.h"
#include "plugin/TORVChainParams.h"
#include "tests/plugin/EngineReference.h"
#include "tests/support/EnginePaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace iplug;
using testdata::ParamSet;

namespace
{

struct Rendered
{
  std::vector<double> left;
  std::vector<double> right;
  std::vector<MeterRecord> meters;
};

void ApplyAll(ProcessingChain& chain, const ParamSet& params)
{
  for (int p = 0; p < kNumParams; ++p)
    torv::ApplyParamToChain(chain, p, [&](int idx) { return params[static_cast<size_t>(idx)]; });
}

ProcessingChain::BlockControls ControlsOf(const ParamSet& params)
{
  return {params[kOutGain], params[kMix], params[kBypass]};
}

// Renders interleaved stereo in blocks, draining the meters after each block.
Rendered Render(ProcessingChain& chain, const ParamSet& params, const std::vector<double>& interleaved,
                int blockSize = testdata::kEngineBlock)
{
  const int frames = static_cast<int>(interleaved.size() / 2);
  Rendered out;
  std::vector<double> inL(static_cast<size_t>(frames)), inR(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i)
  {
    inL[static_cast<size_t>(i)] = interleaved[2 * static_cast<size_t>(i)];
    inR[static_cast<size_t>(i)] = interleaved[2 * static_cast<size_t>(i) + 1];
  }
  out.left.resize(static_cast<size_t>(frames));
  out.right.resize(static_cast<size_t>(frames));
  for (int start = 0; start < frames; start += blockSize)
  {
    const int n = std::min(blockSize, frames - start);
    double* inputs[2] = {inL.data() + start, inR.data() + start};
    double* outputs[2] = {out.left.data() + start, out.right.data() + start};
    chain.ProcessBlock(inputs, outputs, n, ControlsOf(params));
    chain.TransmitMeters([&](const MeterRecord& r) { out.meters.push_back(r); });
  }
  return out;
}

std::vector<double> TestSignal(int frames, double sampleRate = 48000.0)
{
  std::vector<double> s(2 * static_cast<size_t>(frames));
  for (int n = 0; n < frames; ++n)
  {
    const double t = n / sampleRate;
    const double env = (n / 4800) % 3 == 0 ? 1.0 : 0.05;
    s[2 * static_cast<size_t>(n)] = env * (0.6 * std::sin(2 * std::numbers::pi * 70 * t) + 0.2 * std::sin(2 * std::numbers::pi * 3000 * t));
    s[2 * static_cast<size_t>(n) + 1] = env * (0.5 * std::sin(2 * std::numbers::pi * 400 * t) - 0.3 * std::sin(2 * std::numbers::pi * 9000 * t));
  }
  return s;
}

// A fresh chain on `path` set to params, rendering input.
Rendered RenderFresh(EnginePath path, const ParamSet& params, const std::vector<double>& interleaved)
{
  ProcessingChain chain;
  chain.SetEnginePath(path);
  ApplyAll(chain, params);
  return Render(chain, params, interleaved);
}

} // namespace

// Every case runs on both engine paths.
class ProcessingChainPaths : public ::testing::TestWithParam<EnginePath>
{
};

INSTANTIATE_TEST_SUITE_P(EnginePaths, ProcessingChainPaths, testsupport::kEnginePaths, testsupport::EnginePathName);

TEST_P(ProcessingChainPaths, MixZeroGivesSplitBandSumTimesOutGain)
{
  ParamSet params = testdata::DefaultParams();
  params[kMix] = 0;
  params[kOutGain] = 0.5; // +12 dB
  params[kExciteMid] = 100;
  params[kPreGainHigh] = 1;
  const std::vector<double> input = TestSignal(4800);
  const Rendered r = RenderFresh(GetParam(), params, input);

  BandSplitter left;
  BandSplitter right;
  left.Design(48000.0);
  right.Design(48000.0);
  const double g = std::exp(12.0 * 0.1151292546497);
  for (size_t i = 0; i < r.left.size(); ++i)
  {
    double lo = input[2 * i], mi = lo, hi = lo;
    left.Process(lo, mi, hi);
    ASSERT_EQ(r.left[i], ((hi + mi) + lo) * g) << i;
    lo = mi = hi = input[2 * i + 1];
    right.Process(lo, mi, hi);
    ASSERT_EQ(r.right[i], ((hi + mi) + lo) * g) << i;
  }
}

TEST_P(ProcessingChainPaths, OutGainMinusOneIsExactSilence)
{
  ParamSet params = testdata::TorvPresetParams();
  params[kOutGain] = -1;
  const Rendered r = RenderFresh(GetParam(), params, TestSignal(4800));
  for (size_t i = 0; i < r.left.size(); ++i)
  {
    ASSERT_EQ(r.left[i], 0.0);
    ASSERT_EQ(r.right[i], 0.0);
  }
}

TEST_P(ProcessingChainPaths, BypassIsBitExactAndFeedsOnlyTheOutputMeter)
{
  ParamSet params = testdata::TorvPresetParams();
  params[kBypass] = 1;
  params[kOutGain] = 0.7;
  const std::vector<double> input = TestSignal(9600);
  const Rendered r = RenderFresh(GetParam(), params, input);
  for (size_t i = 0; i < r.left.size(); ++i)
  {
    ASSERT_EQ(r.left[i], input[2 * i]);
    ASSERT_EQ(r.right[i], input[2 * i + 1]);
  }
  ASSERT_EQ(r.meters.size(), 10u); // 9600 / 960 windows, plus the initial record
  for (const MeterRecord& m : r.meters)
  {
    EXPECT_EQ(m.controlTag, ProcessingChain::kOutputMeter);
    EXPECT_EQ(m.values[0], m.values[1]);
  }
}

TEST_P(ProcessingChainPaths, EmptyBlockChangesNothing)
{
  const ParamSet params = testdata::MixedParams();
  ProcessingChain a;
  a.SetEnginePath(GetParam());
  ProcessingChain b;
  b.SetEnginePath(GetParam());
  ApplyAll(a, params);
  ApplyAll(b, params);
  const std::vector<double> input = TestSignal(2048);
  Render(a, params, std::vector<double>(input.begin(), input.begin() + 2048));
  Render(b, params, std::vector<double>(input.begin(), input.begin() + 2048));
  double* none[2] = {nullptr, nullptr};
  for (int n : {0, -5})
    b.ProcessBlock(none, none, n, ControlsOf(params));
  std::vector<MeterRecord> fromEmpty;
  b.TransmitMeters([&](const MeterRecord& m) { fromEmpty.push_back(m); });
  EXPECT_TRUE(fromEmpty.empty());
  const std::vector<double> rest(input.begin() + 2048, input.end());
  const Rendered ra = Render(a, params, rest);
  const Rendered rb = Render(b, params, rest);
  EXPECT_EQ(ra.left, rb.left);
  EXPECT_EQ(ra.right, rb.right);
}

// NaN, infinities and samples beyond +120 dBFS are processed as silence: the
// output equals, sample for sample, that of zeros in their place. Up to that
// bound samples are processed as they are.
TEST_P(ProcessingChainPaths, InputThatIsNoAudioIsProcessedAsSilence)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double bound = ProcessingChain::kMaxInputMagnitude;
  const auto render = [this](double value) {
    const ParamSet params = testdata::MixedParams();
    ProcessingChain chain;
    chain.SetEnginePath(GetParam());
    ApplyAll(chain, params);
    std::vector<double> input = TestSignal(4 * 512);
    input[2 * 700] = value; // left channel, second block
    for (size_t i = 900; i < 1000; ++i)
      input[2 * i + 1] = value;
    return Render(chain, params, input);
  };
  const Rendered zeros = render(0.0);
  const struct
  {
    double value;
    bool silence;
  } cases[] = {{nan, true},         {inf, true},           {-inf, true},
               {1e300, true},       {-1e300, true},        {std::nextafter(bound, inf), true},
               {bound, false},      {-bound, false},       {100.0, false}}; // 100: +40 dBFS
  for (const auto& c : cases)
  {
    const Rendered r = render(c.value);
    for (size_t i = 0; i < r.left.size(); ++i)
    {
      ASSERT_TRUE(std::isfinite(r.left[i]) && std::isfinite(r.right[i])) << c.value << " at " << i;
      if (c.silence)
      {
        ASSERT_TRUE(r.left[i] == zeros.left[i] && r.right[i] == zeros.right[i]) << c.value << " at " << i;
      }
    }
    EXPECT_EQ(r.left == zeros.left && r.right == zeros.right, c.silence) << c.value;
  }
}

TEST_P(ProcessingChainPaths, ResetRedesignsForTheHostRate)
{
  for (double rate : {44100.0, 96000.0})
  {
    ProcessingChain chain;
    chain.SetEnginePath(GetParam());
    ApplyAll(chain, testdata::DefaultParams());
    chain.SetTimeFactor(10.0); // T = 10 before the rate is known: kept across the redesign
    chain.Reset(rate);
    EXPECT_EQ(chain.SampleRate(), rate);
    EXPECT_EQ(chain.Meter(0).WindowSamples(), static_cast<int>(std::trunc(0.02 * rate)));
    EXPECT_EQ(chain.Dynamics(1).ReleaseCoefficient(), BandDynamics::EnvelopeCoefficient(10.0, 28.0, rate));
    chain.SetTimeFactor(1.0); // later Time changes use the host rate too
    EXPECT_EQ(chain.Dynamics(2).AttackCoefficient(), BandDynamics::EnvelopeCoefficient(1.0, 0.8, rate));

    // An 88 Hz sine leaves Low and Mid each 3 dB down: the dry band meters
    // average |0.7071 sin| = 0.4502.
    const int frames = static_cast<int>(rate);
    std::vector<double> sine(2 * static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n)
      sine[2 * static_cast<size_t>(n)] = sine[2 * static_cast<size_t>(n) + 1] = std::sin(2 * std::numbers::pi * 88.0 * n / rate);
    const Rendered r = Render(chain, testdata::DefaultParams(), sine);
    // Averaged over the second half second (whole windows of a non-whole
    // number of periods).
    double lowDry = 0, midDry = 0;
    int outputRecords = 0, lowCount = 0, midCount = 0;
    for (const MeterRecord& m : r.meters)
    {
      outputRecords += m.controlTag == ProcessingChain::kOutputMeter;
      if (outputRecords < 25)
        continue;
      if (m.controlTag == 0)
      {
        lowDry += m.values[1];
        ++lowCount;
      }
      if (m.controlTag == 1)
      {
        midDry += m.values[1];
        ++midCount;
      }
    }
    lowDry /= lowCount;
    midDry /= midCount;
    const double expected = 2.0 / std::numbers::pi * std::sqrt(0.5);
    EXPECT_NEAR(lowDry, expected, 0.002) << rate;
    EXPECT_NEAR(midDry, expected, 0.002) << rate;
    EXPECT_EQ(outputRecords, 50) << rate; // 20 ms windows in one second
  }
}

TEST_P(ProcessingChainPaths, UnusableRatesKeepThePreviousDesign)
{
  const ParamSet params = testdata::TorvPresetParams();
  const std::vector<double> input = TestSignal(2048);
  ProcessingChain reference;
  reference.SetEnginePath(GetParam());
  ApplyAll(reference, params);
  reference.Reset(48000.0);
  const Rendered expected = Render(reference, params, input);
  for (double rate : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
  {
    ProcessingChain chain;
    chain.SetEnginePath(GetParam());
    ApplyAll(chain, params);
    chain.Reset(rate);
    EXPECT_EQ(chain.SampleRate(), 48000.0);
    const Rendered r = Render(chain, params, input);
    EXPECT_EQ(r.left, expected.left) << rate;
  }
  for (double rate : {1234.5678, 384000.0, 1.0})
  {
    ProcessingChain chain;
    chain.SetEnginePath(GetParam());
    ApplyAll(chain, params);
    chain.Reset(rate);
    const Rendered r = Render(chain, params, input);
    for (size_t i = 0; i < r.left.size(); ++i)
      ASSERT_TRUE(std::isfinite(r.left[i]) && std::isfinite(r.right[i])) << rate;
  }
}

TEST_P(ProcessingChainPaths, SilentTailNeverGoesSubnormalAndCallerModeIsRestored)
{
  ParamSet params = testdata::DefaultParams();
  params[kTime] = -0.99; // T = 0.01: fast envelope decay
  ProcessingChain chain;
  chain.SetEnginePath(GetParam());
  ApplyAll(chain, params);
  std::vector<double> signal = TestSignal(4800);
  signal.resize(2 * 48000 * 6, 0.0); // the 88 Hz filters take about 4 s to pass 1e-308
#if defined(CALVORIN_HAS_MXCSR)
  const unsigned before = _mm_getcsr();
#endif
  const Rendered r = Render(chain, params, signal);
#if defined(CALVORIN_HAS_MXCSR)
  EXPECT_EQ(_mm_getcsr(), before);
#endif
  for (size_t i = 0; i < r.left.size(); ++i)
  {
    ASSERT_NE(std::fpclassify(r.left[i]), FP_SUBNORMAL) << i;
    ASSERT_NE(std::fpclassify(r.right[i]), FP_SUBNORMAL) << i;
  }
  for (int b = 0; b < ProcessingChain::kNumBands; ++b)
  {
    EXPECT_NE(std::fpclassify(chain.Dynamics(b).PullEnvelope()), FP_SUBNORMAL) << b;
    EXPECT_NE(std::fpclassify(chain.Dynamics(b).PushEnvelope()), FP_SUBNORMAL) << b;
  }
}
