// Host torture: the inputs, rates and block patterns real hosts produce, and
// some they should not. Whatever comes in, what leaves the plug-in is finite,
// bounded and free of subnormal numbers.

#include "tests/robust/TortureRig.h"
#include "tests/support/EnginePaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace torture;

namespace
{

// 36 dB above full scale: far beyond any gain the parameters allow for these
// inputs, far below what an unstable filter or a runaway envelope produces.
constexpr double kBound = 64.0;
constexpr const char* kPresets[] = {"DEFAULT", "TORV", "UP A LOT"};

struct NamedSignal
{
  const char* name;
  Stereo signal;
};

std::vector<NamedSignal> HarshSignals(size_t frames, double sampleRate)
{
  std::vector<NamedSignal> signals;
  signals.push_back({"silence", MakeStereo(frames)});

  Stereo impulses = MakeStereo(frames);
  for (size_t i = 0; i < frames; i += 4801)
    impulses[0][i] = impulses[1][i] = 1.0;
  signals.push_back({"impulses", impulses});

  Stereo square = MakeStereo(frames);
  const size_t halfPeriod = static_cast<size_t>(sampleRate / 110.0 / 2.0) + 1;
  for (size_t i = 0; i < frames; ++i)
    square[0][i] = square[1][i] = ((i / halfPeriod) % 2) ? -1.0 : 1.0;
  signals.push_back({"full-scale square", square});

  Stereo dc = MakeStereo(frames);
  for (size_t i = 0; i < frames; ++i)
  {
    dc[0][i] = 1.0;
    dc[1][i] = -1.0;
  }
  signals.push_back({"DC", dc});

  Stereo tiny = MakeStereo(frames);
  for (size_t i = 0; i < frames; ++i)
    tiny[0][i] = tiny[1][i] = (i % 2) ? 1e-38 : -1e-38;
  signals.push_back({"1e-38", tiny});

  Stereo denormal = MakeStereo(frames);
  Noise noise(7);
  for (size_t i = 0; i < frames; ++i)
  {
    denormal[0][i] = noise.Next() * 1e-310;
    denormal[1][i] = (i % 3) ? std::numeric_limits<double>::denorm_min() : -2e-320;
  }
  signals.push_back({"denormals", denormal});

  Stereo decay = MakeStereo(frames);
  // A burst that decays into the subnormal range: the filters' tails must not.
  for (size_t i = 0; i < std::min<size_t>(frames, 480); ++i)
    decay[0][i] = decay[1][i] = noise.Next();
  signals.push_back({"burst then silence", decay});

  Stereo loud = MakeStereo(frames);
  for (size_t i = 0; i < frames; ++i)
  {
    loud[0][i] = noise.Next();
    loud[1][i] = noise.Next();
  }
  signals.push_back({"full-scale noise", loud});
  return signals;
}

} // namespace

// Every case runs on both engine paths.
class HostTorture : public ::testing::TestWithParam<iplug::EnginePath>
{
};

INSTANTIATE_TEST_SUITE_P(EnginePaths, HostTorture, testsupport::kEnginePaths, testsupport::EnginePathName);

TEST_P(HostTorture, HarshSignalsThroughEveryPresetStayFiniteBoundedAndNormal)
{
  const size_t frames = 48000;
  for (const char* preset : kPresets)
    for (const NamedSignal& s : HarshSignals(frames, 48000.0))
    {
      Rig rig(GetParam());
      rig.Prepare(48000.0, 512);
      ASSERT_TRUE(rig.LoadPresetNamed(preset));
      const OutputReport r = Inspect(rig.Run(s.signal, 512));
      EXPECT_TRUE(r.Clean(kBound)) << preset << ", " << s.name << ": " << r.nonFinite << " non-finite, "
                                   << r.subnormal << " subnormal, peak " << r.peak << ", first bad sample "
                                   << r.firstBad;
    }
}

TEST_P(HostTorture, SilenceInGivesSilenceOutAfterTheTailsDecay)
{
  Rig rig(GetParam());
  rig.Prepare(48000.0, 256);
  Stereo in = MakeStereo(96000);
  Noise noise;
  for (size_t i = 0; i < 4800; ++i)
    in[0][i] = in[1][i] = noise.Next();
  const Stereo out = rig.Run(in, 256);
  // Ten seconds of the longest release would be far more than needed; one second suffices.
  EXPECT_LT(Inspect(out, 48000 + 4800).peak, 1e-6);
}

TEST_P(HostTorture, SampleRatesFromVeryLowToVeryHighAndOddOnes)
{
  for (const double rate : {8000.0, 11025.0, 16000.0, 22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0,
                            176400.0, 192000.0, 352800.0, 384000.0, 1234.5678, 44123.45, 3000.0, 5000.1})
  {
    const size_t frames = static_cast<size_t>(rate * 0.5);
    for (const NamedSignal& s : HarshSignals(frames, rate))
    {
      Rig rig(GetParam());
      rig.Prepare(rate, 1024);
      ASSERT_TRUE(rig.LoadPresetNamed("UP A LOT"));
      const OutputReport r = Inspect(rig.Run(s.signal, 1000));
      EXPECT_TRUE(r.Clean(kBound)) << rate << " Hz, " << s.name << ": " << r.nonFinite << " non-finite, "
                                   << r.subnormal << " subnormal, peak " << r.peak;
    }
  }
}

TEST_P(HostTorture, RateChangesBetweenRunsKeepTheOutputSound)
{
  Rig rig(GetParam());
  Noise noise;
  for (const double rate : {44100.0, 384000.0, 8000.0, 1234.5678, 96000.0, 44123.45})
  {
    rig.Prepare(rate, 333);
    Stereo in = MakeStereo(20000);
    for (size_t i = 0; i < in[0].size(); ++i)
      in[0][i] = in[1][i] = noise.Next();
    const OutputReport r = Inspect(rig.Run(in, 333));
    EXPECT_TRUE(r.Clean(kBound)) << rate << " Hz: peak " << r.peak;
  }
}

TEST_P(HostTorture, BlockSizeChangingEveryCallGivesTheSameOutputAsFixedBlocks)
{
  Stereo in = MakeStereo(120000);
  Noise noise(99);
  for (size_t i = 0; i < in[0].size(); ++i)
  {
    const double env = 0.5 + 0.5 * std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / 24000.0);
    in[0][i] = env * noise.Next();
    in[1][i] = env * noise.Next() * 0.3;
  }

  Rig fixed(GetParam());
  fixed.Prepare(48000.0, 8192);
  ASSERT_TRUE(fixed.LoadPresetNamed("TORV"));
  const Stereo reference = fixed.Run(in, 8192);

  Rig varying(GetParam());
  varying.Prepare(48000.0, 8192);
  ASSERT_TRUE(varying.LoadPresetNamed("TORV"));
  Stereo out = MakeStereo(in[0].size());
  Noise sizes(5);
  const int pattern[] = {1, 2, 3, 8191, 8192, 7, 64, 4095, 1, 1, 513};
  size_t pos = 0;
  for (int call = 0; pos < in[0].size(); ++call)
  {
    int n = call < 11 ? pattern[call] : 1 + static_cast<int>((sizes.Next() + 1.0) * 0.5 * 8191.0);
    n = std::min<int>(n, static_cast<int>(in[0].size() - pos));
    varying.ProcessAt(in, out, pos, n);
    pos += static_cast<size_t>(n);
  }

  double maxDiff = 0.0;
  for (int ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i < in[0].size(); ++i)
      maxDiff = std::max(maxDiff, std::fabs(out[static_cast<size_t>(ch)][i] - reference[static_cast<size_t>(ch)][i]));
  EXPECT_LT(maxDiff, 1e-12) << "the output depends on how the host cuts the blocks";
  EXPECT_TRUE(Inspect(out).Clean(kBound));
}

TEST_P(HostTorture, MoreFramesThanPreparedAreProcessedInPieces)
{
  Stereo in = MakeStereo(10000);
  Noise noise(3);
  for (size_t i = 0; i < in[0].size(); ++i)
    in[0][i] = in[1][i] = noise.Next();

  Rig prepared(GetParam());
  prepared.Prepare(48000.0, 10000);
  const Stereo reference = prepared.Run(in, 10000);

  Rig small(GetParam());
  small.Prepare(48000.0, 64);
  const Stereo out = small.Run(in, 10000); // one call of 10000 frames, 64 prepared
  double maxDiff = 0.0;
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i < in[0].size(); ++i)
      maxDiff = std::max(maxDiff, std::fabs(out[ch][i] - reference[ch][i]));
  EXPECT_LT(maxDiff, 1e-12);

  // Before any block size is set the host still gets defined output: silence.
  Rig unprepared(GetParam());
  Stereo junk = MakeStereo(512);
  junk[0].assign(512, 123.0);
  junk[1].assign(512, -123.0);
  unprepared.ProcessAt(in, junk, 0, 512);
  EXPECT_EQ(Inspect(junk).peak, 0.0);
}

TEST_P(HostTorture, StateAndPresetsRecalledBetweenBlocksWhileProcessing)
{
  Rig rig(GetParam());
  rig.Prepare(44100.0, 256);
  TORV& plug = rig.Plug();

  // Chunks of every preset plus one of extreme but valid values.
  std::vector<iplug::StateBlob> chunks;
  for (int p = 0; p < plug.NPresets(); ++p)
  {
    ASSERT_TRUE(plug.LoadPreset(p));
    chunks.emplace_back();
    ASSERT_TRUE(plug.SerializeParams(chunks.back()));
  }
  iplug::StateBlob extreme;
  for (int i = 0; i < plug.NParams(); ++i)
    extreme.Append(i % 2 ? plug.GetParam(i)->GetMax() : plug.GetParam(i)->GetMin());
  chunks.push_back(extreme);
  iplug::StateBlob garbage;
  for (int i = 0; i < plug.NParams(); ++i)
    garbage.Append(i % 3 ? std::numeric_limits<double>::quiet_NaN() : 1e300);
  chunks.push_back(garbage);

  Stereo in = MakeStereo(44100 * 2);
  Noise noise(11);
  for (size_t i = 0; i < in[0].size(); ++i)
  {
    in[0][i] = noise.Next();
    in[1][i] = (i / 50 % 2) ? 1.0 : -1.0;
  }
  Stereo out = MakeStereo(in[0].size());
  int call = 0;
  for (size_t pos = 0; pos < in[0].size(); pos += 256, ++call)
  {
    if (call % 7 == 0)
      plug.UnserializeParams(chunks[static_cast<size_t>(call / 7) % chunks.size()], 0);
    if (call % 11 == 5)
      plug.LoadPreset(call % plug.NPresets());
    rig.ProcessAt(in, out, pos, static_cast<int>(std::min<size_t>(256, in[0].size() - pos)));
  }
  // Extremes push a full-scale square through +24 dB of post-gain and output
  // gain at once, so the bound here allows for every gain stage at maximum.
  const OutputReport r = Inspect(out);
  EXPECT_EQ(r.nonFinite, 0u);
  EXPECT_EQ(r.subnormal, 0u);
  EXPECT_LT(r.peak, 1e6);
}

TEST_P(HostTorture, SinglePrecisionHostBuffersGetNoSubnormals)
{
  // Hosts that process in 32 bits: values that are normal as doubles but too
  // small for a float must not arrive there as float subnormals.
  const size_t frames = 48000;
  for (const char* preset : kPresets)
    for (const NamedSignal& s : HarshSignals(frames, 48000.0))
    {
      Rig rig(GetParam());
      rig.Prepare(48000.0, 512);
      ASSERT_TRUE(rig.LoadPresetNamed(preset));
      std::vector<std::vector<float>> in(2, std::vector<float>(frames)), out(2, std::vector<float>(frames, 0.0f));
      for (size_t ch = 0; ch < 2; ++ch)
        for (size_t i = 0; i < frames; ++i)
          in[ch][i] = static_cast<float>(s.signal[ch][i]);
      for (size_t pos = 0; pos < frames; pos += 480)
      {
        float* ins[2] = {in[0].data() + pos, in[1].data() + pos};
        float* outs[2] = {out[0].data() + pos, out[1].data() + pos};
        rig.Plug().ProcessHostChannels(ins, 2, outs, 2, 480);
      }
      size_t subnormal = 0, nonFinite = 0;
      for (const auto& ch : out)
        for (float v : ch)
        {
          subnormal += v != 0.0f && std::fabs(v) < FLT_MIN;
          nonFinite += !std::isfinite(v);
        }
      EXPECT_EQ(subnormal, 0u) << preset << ", " << s.name;
      EXPECT_EQ(nonFinite, 0u) << preset << ", " << s.name;
    }
}
