#include "tools/calvorin/DemoSignal.h"
#include "tools/calvorin/LevelAnalysis.h"
#include "tools/calvorin/LevelPlot.h"
#include "tools/calvorin/ProgressBar.h"
#include "tests/tools/TempDir.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace calvorin::cli;

namespace
{

std::vector<double> Sine(double amplitude, int n, double rate = 48000.0)
{
  std::vector<double> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    v[static_cast<size_t>(i)] = amplitude * std::sin(6.283185307179586 * 1000.0 * i / rate);
  return v;
}

} // namespace

TEST(LevelMeter, PeakRmsAndShortTermWindows)
{
  const std::vector<double> sine = Sine(0.5, 48000);
  const double* mono[1] = {sine.data()};
  LevelMeter meter(48000.0, 1);
  const double* rest[1] = {sine.data() + 20000};
  meter.Add(mono, 20000);
  meter.Add(rest, 28000);
  meter.Finish();
  EXPECT_NEAR(meter.PeakDb(), -6.0206, 1e-3);
  EXPECT_NEAR(meter.RmsDb(), -9.0309, 1e-3);
  ASSERT_EQ(meter.WindowDb().size(), 10u);
  for (double db : meter.WindowDb())
    EXPECT_NEAR(db, -9.0309, 0.01);

  // A centred stereo signal reads like its mono original; silence reads the floor.
  const std::vector<double> silence(4800, 0.0);
  const double* stereo[2] = {sine.data(), sine.data()};
  LevelMeter stereoMeter(48000.0, 2);
  stereoMeter.Add(stereo, 48000);
  stereoMeter.Finish();
  EXPECT_NEAR(stereoMeter.RmsDb(), meter.RmsDb(), 1e-9);
  LevelMeter quiet(48000.0, 1);
  const double* silent[1] = {silence.data()};
  quiet.Add(silent, 4800);
  quiet.Finish();
  EXPECT_EQ(quiet.PeakDb(), kSilenceDb);
  EXPECT_EQ(quiet.WindowDb().front(), kSilenceDb);
}

TEST(LevelMeter, CompareFindsRaisedQuietAndLoweredLoudPassages)
{
  std::vector<double> in, compressed, unchanged;
  for (int i = 0; i < 40; ++i)
  {
    const double db = i < 20 ? -40.0 : -10.0;
    in.push_back(db);
    compressed.push_back(i < 20 ? db + 12.0 : db - 3.0);
    unchanged.push_back(db);
  }
  in.push_back(kSilenceDb); // silence is left out
  compressed.push_back(0.0);
  LevelChange change = CompareLevels(in, compressed);
  ASSERT_TRUE(change.valid);
  EXPECT_DOUBLE_EQ(change.quietRaisedDb, 12.0);
  EXPECT_DOUBLE_EQ(change.loudLoweredDb, 3.0);
  change = CompareLevels(in, unchanged);
  EXPECT_DOUBLE_EQ(change.quietRaisedDb, 0.0);
  EXPECT_FALSE(CompareLevels({-10.0, -20.0}, {-10.0, -20.0}).valid);
}

TEST(DemoSignal, DeterministicStereoWithQuietAndLoudSections)
{
  std::vector<double> left, right, left2, right2;
  SynthesizeDemoSignal(kDemoSampleRate, left, right);
  SynthesizeDemoSignal(kDemoSampleRate, left2, right2);
  ASSERT_EQ(left.size(), 480000u);
  EXPECT_EQ(left, left2);
  EXPECT_EQ(right, right2);
  EXPECT_NE(left, right);

  const double* channels[2] = {left.data(), right.data()};
  LevelMeter meter(kDemoSampleRate, 2);
  meter.Add(channels, static_cast<int>(left.size()));
  meter.Finish();
  EXPECT_NEAR(meter.PeakDb(), -1.0, 1e-9);
  const auto& w = meter.WindowDb();
  const double intro = w[15], drop = w[50], breakdown = w[95];
  EXPECT_GT(drop - intro, 15.0);
  EXPECT_GT(drop - breakdown, 15.0);
  EXPECT_GT(intro, -60.0); // quiet, not silent

  std::vector<double> l44, r44;
  SynthesizeDemoSignal(44100.0, l44, r44);
  EXPECT_EQ(l44.size(), 441000u);
}

TEST(LevelPlot, DrawsInputAndOutputIntoAPng)
{
  calvorin::test::TempDir dir;
  std::vector<double> in(100, -30.0), out(100, -12.0);
  std::string error;
  ASSERT_TRUE(WriteLevelPlot(dir / "plot.png", "test", 0.1, in, out, error)) << error;
  cairo_surface_t* image = cairo_image_surface_create_from_png((dir / "plot.png").c_str());
  ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(image), kLevelPlotWidth);
  EXPECT_EQ(cairo_image_surface_get_height(image), kLevelPlotHeight);

  // The output line lies at -12 dBFS, in the output colour (orange: red high, blue low).
  const double y = 44.0 + (kLevelPlotTopDb + 12.0) / (kLevelPlotTopDb - kLevelPlotBottomDb) * (kLevelPlotHeight - 84.0);
  const int row = static_cast<int>(std::lround(y));
  const auto* pixel = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(image) +
                                                        row * cairo_image_surface_get_stride(image)) + 400;
  EXPECT_GT((*pixel >> 16) & 0xFF, 200u);
  EXPECT_LT(*pixel & 0xFF, 120u);
  cairo_surface_destroy(image);

  EXPECT_FALSE(WriteLevelPlot(dir / "missing/plot.png", "test", 0.1, in, out, error));
  EXPECT_NE(error.find("plot.png"), std::string::npos);
  EXPECT_EQ(dir.FileCount(), 1u);
}

TEST(ProgressBar, DrawsInPlaceOnlyWhenEnabled)
{
  std::ostringstream silent;
  {
    ProgressBar bar(silent, false, "rendering");
    bar.Update(0.5);
  }
  EXPECT_TRUE(silent.str().empty());

  std::ostringstream shown;
  ProgressBar bar(shown, true, "rendering");
  bar.Update(0.5);
  const std::string half = shown.str();
  EXPECT_EQ(half.front(), '\r');
  EXPECT_NE(half.find(" 50%"), std::string::npos);
  bar.Update(0.501); // same percentage: no redraw
  EXPECT_EQ(shown.str(), half);
  bar.Finish();
  EXPECT_EQ(shown.str().back(), '\r');
  EXPECT_EQ(shown.str().find('\n'), std::string::npos);
}
