#include "EditorFixture.h"

#include "editor/Knob.h"
#include "editor/PeakDisplay.h"

#include <cmath>
#include <filesystem>

namespace editortest
{
namespace
{

const IColor kBandLow{255, 160, 126, 181};

int Chroma(const IRgba& c)
{
  return std::max(c.R, c.B) - c.G;
}

int Brightness(const IRgba& c)
{
  return (c.R + c.G + c.B) / 3;
}

bool Near(const IRgba& a, const IRgba& b, int tolerance = 3)
{
  return std::abs(a.R - b.R) <= tolerance && std::abs(a.G - b.G) <= tolerance && std::abs(a.B - b.B) <= tolerance;
}

::testing::AssertionResult ColorIs(const IRgba& actual, const IRgba& expected, int tolerance = 3)
{
  if (Near(actual, expected, tolerance))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.R << ", " << actual.G << ", " << actual.B << ") instead of ("
                                       << expected.R << ", " << expected.G << ", " << expected.B << ")";
}

class EditorSnapshotTest : public EditorTest
{
protected:
  std::string SnapshotPath(const std::string& name) const
  {
    const std::filesystem::path dir = std::filesystem::path(CALVORIN_BINARY_DIR) / "editor_snapshots";
    std::filesystem::create_directories(dir);
    return (dir / (name + ".png")).string();
  }

  void Render(const std::string& name)
  {
    ASSERT_TRUE(g->SavePNG(SnapshotPath(name)));
  }

  IRgba Pixel(float x, float y) const { return g->ReadPixel(static_cast<int>(x), static_cast<int>(y)); }

  // The most colourful pixel of the 3 x 3 block around a point on a knob's
  // value-arc radius at an angle (degrees from twelve o'clock).
  int ArcChroma(const Knob& knob, float angle) const
  {
    const IBounds& w = knob.GetWidgetBounds();
    const float r = knob.TrackRadius();
    const float a = angle * 3.14159265f / 180.f;
    const int x = static_cast<int>(std::floor(w.MW() + r * std::sin(a)));
    const int y = static_cast<int>(std::floor(w.MH() - r * std::cos(a)));
    int best = -255;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        best = std::max(best, Chroma(g->ReadPixel(x + dx, y + dy)));
    return best;
  }

  Knob* BandKnob(int band, int row) const { return dynamic_cast<Knob*>(Control(18 + 5 * band + row)); }

  void FeedSomeLevels()
  {
    const float levels[4][2] = {{0.3f, 0.1f}, {0.05f, 0.2f}, {0.01f, 0.02f}, {0.5f, 0.25f}};
    for (int i = 0; i < 120; ++i)
    {
      const float wobble = 0.5f + 0.5f * std::sin(static_cast<float>(i) * 0.2f);
      for (int tag = 0; tag < 4; ++tag)
        FeedLevels(tag, levels[tag][0] * wobble, levels[tag][1]);
    }
  }
};

TEST_F(EditorSnapshotTest, DefaultEditorShowsBackgroundPanelsTitleAndThresholdRegions)
{
  Render("editor_default");
  EXPECT_TRUE(ColorIs(Pixel(5, 200), {255, 16, 17, 18})) << "editor background";
  EXPECT_TRUE(ColorIs(Pixel(100, 48), {255, 41, 42, 42})) << "band panel, upper half";
  EXPECT_TRUE(ColorIs(Pixel(600, 220), {255, 41, 42, 42}, 4)) << "global panel";
  EXPECT_LT(Brightness(Pixel(100, 378)), Brightness(Pixel(100, 48))) << "panels darken towards the bottom";

  // The title's letters are light on the dark background.
  int lit = 0;
  for (int y = 10; y < 32; ++y)
    for (int x = 42; x < 170; ++x)
      lit += Brightness(g->ReadPixel(x, y)) > 150 ? 1 : 0;
  EXPECT_GT(lit, 100);
  EXPECT_LT(lit, 128 * 22 / 2);

  // Low range slider at the default thresholds (pull -40 dB, push -30 dB):
  // band colour below the pull line and above the push line, background between.
  EXPECT_TRUE(ColorIs(Pixel(14, 300), kBandLow)) << "below the pull line";
  EXPECT_TRUE(ColorIs(Pixel(14, 100), kBandLow)) << "above the push line";
  EXPECT_LT(Brightness(Pixel(14, 204)), 30) << "between the lines";

  // Bypass off: no fill inside the pill.
  EXPECT_TRUE(ColorIs(Pixel(609, 21), {255, 16, 17, 18}));
}

TEST_F(EditorSnapshotTest, KnobValueArcsFollowTheValueAndTheBipolarAnchor)
{
  Knob* in = BandKnob(0, 0);   // bipolar
  Knob* width = BandKnob(0, 2); // unipolar
  ASSERT_NE(in, nullptr);
  ASSERT_NE(width, nullptr);
  constexpr int kArc = 25;

  plug.ShowParamInEditor(0, 0.5, true);
  plug.ShowParamInEditor(12, 0.0, true);
  Render("knobs_bipolar_default_unipolar_zero");
  for (float a : {-120.f, -90.f, -45.f, 45.f, 90.f, 120.f})
  {
    EXPECT_LT(ArcChroma(*in, a), kArc) << "bipolar knob at default, angle " << a;
    EXPECT_LT(ArcChroma(*width, a), kArc) << "unipolar knob at 0, angle " << a;
  }

  plug.ShowParamInEditor(0, 0.0, true);
  plug.ShowParamInEditor(12, 1.0, true);
  Render("knobs_bipolar_zero_unipolar_full");
  for (float a : {-120.f, -90.f, -45.f})
    EXPECT_GT(ArcChroma(*in, a), kArc) << "bipolar knob at 0, angle " << a;
  for (float a : {45.f, 90.f, 120.f})
    EXPECT_LT(ArcChroma(*in, a), kArc) << "bipolar knob at 0, angle " << a;
  for (float a : {-120.f, -90.f, -45.f, 0.f, 45.f, 90.f, 120.f})
    EXPECT_GT(ArcChroma(*width, a), kArc) << "unipolar knob at 1, angle " << a;

  plug.ShowParamInEditor(0, 1.0, true);
  g->DrawAll();
  for (float a : {45.f, 90.f, 120.f})
    EXPECT_GT(ArcChroma(*in, a), kArc) << "bipolar knob at 1, angle " << a;
  for (float a : {-120.f, -90.f, -45.f})
    EXPECT_LT(ArcChroma(*in, a), kArc) << "bipolar knob at 1, angle " << a;
}

TEST_F(EditorSnapshotTest, MeterBarRisesToTheFedLevel)
{
  // -20 dB sits at 60/86 of the track: y = 382 - 340 * 60 / 86 = 144.8.
  FeedLevels(0, 0.1f, 0.f);
  Render("meter_low_minus20");
  const IRgba bar{255, 255, 159, 114};
  EXPECT_TRUE(ColorIs(Pixel(30, 150), bar)) << "just below the level";
  EXPECT_TRUE(ColorIs(Pixel(30, 300), bar)) << "near the bottom";
  EXPECT_FALSE(ColorIs(Pixel(30, 139), bar, 20)) << "above the level";
  EXPECT_FALSE(ColorIs(Pixel(14, 150), bar, 20)) << "the bar takes only the middle third";

  FeedLevels(0, 0.f, 0.f);
  g->DrawAll();
  EXPECT_FALSE(ColorIs(Pixel(30, 300), bar, 20)) << "a level of 0 draws no bar";
}

TEST_F(EditorSnapshotTest, PeakDisplayScrollsItsLast100Records)
{
  auto* peaks = dynamic_cast<PeakDisplay*>(Control(38));
  ASSERT_NE(peaks, nullptr);
  const IRgba empty{255, 21, 22, 23};
  g->DrawAll();
  EXPECT_TRUE(ColorIs(Pixel(500, 340), empty));

  for (int i = 0; i < 100; ++i)
    FeedLevels(3, 1.f, 0.f); // 0 dB: 80/86 of the height
  for (int i = 0; i < 50; ++i)
    FeedLevels(3, 0.f, 0.f);
  Render("peak_display_scrolled");
  // Oldest at the left: the first 50 slots still hold 0 dB, the newest 50 are silent.
  EXPECT_NEAR(peaks->OutputHistory(0), 80.0 / 86.0, 1e-6);
  EXPECT_EQ(peaks->OutputHistory(99), 0.f);
  EXPECT_FALSE(ColorIs(Pixel(420, 340), empty, 20)) << "old loud records on the left";
  EXPECT_TRUE(ColorIs(Pixel(650, 340), empty)) << "recent silence on the right";
}

TEST_F(EditorSnapshotTest, BypassToggleIsFilledOnlyWhileOn)
{
  g->DrawAll();
  const IRgba off = Pixel(609, 21);
  Click(620.f, 21.f);
  Render("bypass_on");
  const IRgba on = Pixel(609, 21);
  EXPECT_GT(Brightness(on), Brightness(off) + 20);
  Click(620.f, 21.f);
  g->DrawAll();
  EXPECT_TRUE(ColorIs(Pixel(609, 21), off));
}

TEST_F(EditorSnapshotTest, BypassOutlineBrightensUnderTheMouse)
{
  auto outline = [&]() {
    int best = 0;
    for (int x = 604; x <= 608; ++x)
      best = std::max(best, Brightness(g->ReadPixel(x, 21)));
    return best;
  };
  g->OnMouseOver(300.f, 200.f, {});
  g->DrawAll();
  const int idle = outline();
  g->OnMouseOver(630.f, 21.f, {});
  g->DrawAll();
  EXPECT_GT(outline(), idle + 20);
}

TEST_F(EditorSnapshotTest, FactoryPresetsWithLevelsAndThePresetNameThenCustom)
{
  std::vector<std::vector<IRgba>> nameZones;
  auto grabName = [&]() {
    std::vector<IRgba> pixels;
    for (int y = 12; y < 30; ++y)
      for (int x = 270; x < 410; ++x)
        pixels.push_back(g->ReadPixel(x, y));
    return pixels;
  };
  g->DrawAll();
  const auto customPixels = grabName();

  const char* names[] = {"DEFAULT", "TORV", "UP A LOT"};
  for (int preset = 0; preset < 3; ++preset)
  {
    Click(440.f, 21.f); // next: 1, 2, then wraps to 0
    RunFramesFor(150);
    const int index = (preset + 1) % 3;
    ASSERT_STREQ(Selector()->GetDisplayedName(), names[index]);
    FeedSomeLevels();
    Render(std::string("editor_preset_") + std::to_string(index));
    nameZones.push_back(grabName());
  }
  EXPECT_NE(nameZones[0], nameZones[1]);
  EXPECT_NE(nameZones[0], customPixels);

  Drag(91.f, 81.f, 0.f, -20.f);
  ASSERT_STREQ(Selector()->GetDisplayedName(), "CUSTOM");
  Render("editor_custom_after_edit");
  EXPECT_EQ(grabName(), customPixels);
}

} // namespace
} // namespace editortest
