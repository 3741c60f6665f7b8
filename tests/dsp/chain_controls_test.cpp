#include "dsp/ChainControls.h"
#include "dsp/GainControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace iplug;

namespace
{

// The next n frames of one of FrameControls' series.
std::vector<double> Frames(ChainControls& controls, int n, double (*pick)(const FrameControls&, int))
{
  std::vector<double> values;
  FrameControls f{};
  for (int done = 0; done < n; done += kFrameControlsFrames)
  {
    const int run = std::min(kFrameControlsFrames, n - done);
    controls.Fill(f, run, [](ChainParam, int) {});
    for (int i = 0; i < run; ++i)
      values.push_back(pick(f, i));
  }
  return values;
}

double OutGain(const FrameControls& f, int i) { return f.outGain[i]; }
double PullThresholdMid(const FrameControls& f, int i) { return f.pullThresholdDb[1][i]; }
double GainOnMidLow(const FrameControls& f, int i) { return f.gainOnMid[0][i]; }
double GainOnSideLow(const FrameControls& f, int i) { return f.gainOnSide[0][i]; }

} // namespace

TEST(ChainControls, JumpsLandAtOnceBeforeProcessingAndGlideSmoothlyOntoTheTargetAfter)
{
  ChainControls controls;
  controls.SetSampleRate(48000.0);
  EXPECT_EQ(controls.GlideFrames(), 960); // 20 ms
  controls.Set(ChainParam::kOutGain, 0, -0.75); // -12 dB, before any block: no glide
  EXPECT_FALSE(controls.Moving());

  controls.SetLive(true);
  controls.Set(ChainParam::kOutGain, 0, 0.5); // +12 dB
  ASSERT_TRUE(controls.Moving());
  const std::vector<double> g = Frames(controls, 960, OutGain);
  const double from = 0.25, to = GainControlToFactor(0.5);
  EXPECT_NEAR(g.front(), from, 1e-6);
  EXPECT_EQ(g.back(), to); // exactly the setting at rest
  EXPECT_FALSE(controls.Moving());
  // Smooth: rising, no frame moves more than the quintic's peak slope (1.875 x the mean).
  for (size_t i = 1; i < g.size(); ++i)
  {
    EXPECT_GE(g[i], g[i - 1]);
    EXPECT_LE(g[i] - g[i - 1], 1.9 * (to - from) / 960);
  }

  // A new jump half-way carries on from the value and slope reached: no corner.
  controls.Set(ChainParam::kOutGain, 0, -0.75);
  std::vector<double> first = Frames(controls, 480, OutGain);
  controls.Set(ChainParam::kOutGain, 0, 0.0);
  const std::vector<double> second = Frames(controls, 960, OutGain);
  const double slopeBefore = first[479] - first[478];
  const double slopeAfter = second[0] - first[479];
  EXPECT_NEAR(slopeAfter, slopeBefore, 0.01 * std::fabs(slopeBefore));
  EXPECT_EQ(second.back(), 1.0);
}

TEST(ChainControls, RampsFollowTheirLineAndModeFadesItsGainProportions)
{
  ChainControls controls;
  controls.Set(ChainParam::kPullThreshold, 1, -40.0);
  controls.Set(ChainParam::kMode, 0, 0.0); // LR: the gain reaches mid and side
  controls.SetLive(true);
  controls.Set(ChainParam::kPullThreshold, 1, -20.0, 100);
  const std::vector<double> t = Frames(controls, 100, PullThresholdMid);
  for (int i = 0; i < 99; ++i)
    EXPECT_NEAR(t[static_cast<size_t>(i)], -40.0 + 20.0 * (i + 1) / 100.0, 1e-12);
  EXPECT_EQ(t[99], -20.0);
  EXPECT_EQ(controls.Value(ChainParam::kPullThreshold, 1), -20.0);
  EXPECT_FALSE(controls.Moving());

  controls.Set(ChainParam::kMode, 0, 2.0); // SIDE: the mid fades out of the gain, the side keeps it
  ChainControls copy = controls;
  const std::vector<double> mid = Frames(controls, 960, GainOnMidLow);
  const std::vector<double> side = Frames(copy, 960, GainOnSideLow);
  EXPECT_GT(mid.front(), 0.99);
  EXPECT_EQ(mid.back(), 0.0);
  for (double s : side)
    EXPECT_EQ(s, 1.0);
}
