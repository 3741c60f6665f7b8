// Offscreen rendering: what is drawn lands where the coordinates say, in the
// colours asked for. Every test also writes its picture under the build tree.

#include "TestControls.h"

#include "graphics/ResourceCache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace igraphics::test
{
namespace
{

std::string OutputPath(const std::string& name)
{
  const std::filesystem::path dir = std::filesystem::path(CALVORIN_BINARY_DIR) / "test_output" / "graphics";
  std::filesystem::create_directories(dir);
  return (dir / (name + ".png")).string();
}

::testing::AssertionResult Near(const IRgba& got, const IRgba& want, int tol = 3)
{
  if (std::abs(got.A - want.A) <= tol && std::abs(got.R - want.R) <= tol && std::abs(got.G - want.G) <= tol &&
      std::abs(got.B - want.B) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got.A << ", " << got.R << ", " << got.G << ", " << got.B
                                       << "), want (" << want.A << ", " << want.R << ", " << want.G << ", " << want.B << ")";
}

// One surface, one full-size control drawing through func, saved as a PNG.
struct Canvas
{
  Log log;
  RecordingDelegate dlg{log};
  IGraphics g;

  Canvas(int w, int h, float scale = 1.f) : g(dlg, w, h, 60, scale) {}

  void Render(const std::string& name, std::function<void(IGraphics&, const IBounds&)> func)
  {
    auto* c = new RecordingControl(IBounds(0.f, 0.f, static_cast<float>(g.Width()), static_cast<float>(g.Height())), "canvas", log);
    c->drawFunc = std::move(func);
    g.AttachControl(c);
    ASSERT_TRUE(g.SavePNG(OutputPath(name)));
  }

  IRgba At(int x, int y) const { return g.ReadPixel(x, y); }
};

const IRgba kBlack = COLOR_BLACK;
const IRgba kRed = COLOR_RED;
const IRgba kGreen = COLOR_GREEN;
const IRgba kBlue = COLOR_BLUE;

TEST(Drawing, ShapesLandWhereTheCoordinatesSay)
{
  Canvas c(120, 80);
  c.Render("shapes", [](IGraphics& g, const IBounds&) {
    g.FillRect(kRed, IBounds(10.f, 10.f, 50.f, 30.f));
    g.FillCircle(kGreen, 80.f, 20.f, 10.f);
    g.FillTriangle(kBlue, 10.f, 70.f, 50.f, 70.f, 10.f, 40.f);
    g.DrawLine(COLOR_WHITE, 60.f, 60.f, 110.f, 60.f, nullptr, 4.f);
    g.FillRoundRect(kRed, IBounds(70.f, 40.f, 110.f, 55.f), 5.f);
  });
  EXPECT_TRUE(Near(c.At(11, 11), kRed));
  EXPECT_TRUE(Near(c.At(48, 28), kRed));
  EXPECT_TRUE(Near(c.At(51, 20), kBlack));
  EXPECT_TRUE(Near(c.At(30, 31), kBlack));
  EXPECT_TRUE(Near(c.At(9, 20), kBlack));

  EXPECT_TRUE(Near(c.At(80, 20), kGreen));
  EXPECT_TRUE(Near(c.At(80, 12), kGreen));
  EXPECT_TRUE(Near(c.At(80, 8), kBlack));
  EXPECT_TRUE(Near(c.At(72, 12), kBlack)); // inside the box around the disc, outside the disc

  EXPECT_TRUE(Near(c.At(12, 68), kBlue));
  EXPECT_TRUE(Near(c.At(45, 45), kBlack)); // beyond the hypotenuse

  EXPECT_TRUE(Near(c.At(85, 59), COLOR_WHITE));
  EXPECT_TRUE(Near(c.At(85, 63), kBlack)); // 4 thick: rows 58..61

  // Rounded corners cut the very corner pixel but not the middle of the edge.
  EXPECT_TRUE(Near(c.At(70, 40), kBlack, 100));
  EXPECT_TRUE(Near(c.At(90, 40), kRed));
}

TEST(Drawing, StrokesFollowTheOutlineOnly)
{
  Canvas c(100, 100);
  c.Render("strokes", [](IGraphics& g, const IBounds&) {
    g.DrawRect(kRed, IBounds(10.5f, 10.5f, 40.5f, 40.5f));
    g.DrawCircle(kGreen, 70.f, 30.f, 15.f, nullptr, 2.f);
    g.DrawRoundRect(kBlue, IBounds(10.f, 60.f, 90.f, 90.f), 6.f, nullptr, 2.f);
  });
  EXPECT_TRUE(Near(c.At(25, 10), kRed));
  EXPECT_TRUE(Near(c.At(25, 25), kBlack));
  EXPECT_TRUE(Near(c.At(85, 30), kGreen, 80));
  EXPECT_TRUE(Near(c.At(70, 30), kBlack));
  EXPECT_TRUE(Near(c.At(50, 60), kBlue, 60));
  EXPECT_TRUE(Near(c.At(50, 75), kBlack));
}

TEST(Drawing, DrawScaleTwoDoublesEveryCoordinate)
{
  Canvas c(60, 40, 2.f);
  EXPECT_EQ(c.g.PixelWidth(), 120);
  EXPECT_EQ(c.g.PixelHeight(), 80);
  c.Render("scale2", [](IGraphics& g, const IBounds&) {
    g.FillRect(kRed, IBounds(10.f, 10.f, 20.f, 20.f));
    g.DrawLine(kGreen, 30.f, 30.5f, 50.f, 30.5f, nullptr, 1.f);
  });
  EXPECT_TRUE(Near(c.At(21, 21), kRed));
  EXPECT_TRUE(Near(c.At(38, 38), kRed));
  EXPECT_TRUE(Near(c.At(41, 30), kBlack));
  EXPECT_TRUE(Near(c.At(19, 30), kBlack));
  // A 1-unit line becomes two pixel rows.
  EXPECT_TRUE(Near(c.At(80, 60), kGreen));
  EXPECT_TRUE(Near(c.At(80, 61), kGreen));
  EXPECT_TRUE(Near(c.At(80, 63), kBlack));
}

TEST(Drawing, GradientsRunTheRightWay)
{
  Canvas c(200, 100);
  const IFill horizontal = IFill::LinearGradient(0.f, 0.f, 100.f, 0.f, {{kBlack, 0.f}, {COLOR_WHITE, 1.f}});
  const IFill vertical = IFill::LinearGradient(0.f, 50.f, 0.f, 100.f, {{kRed, 0.f}, {kBlue, 1.f}});
  const IFill radial = IFill::RadialGradient(150.f, 50.f, 40.f, {{COLOR_WHITE, 0.f}, {kGreen, 0.5f}, {kBlack, 1.f}});
  c.Render("gradients", [&](IGraphics& g, const IBounds&) {
    g.PathClear();
    g.PathRect(IBounds(0.f, 0.f, 100.f, 50.f));
    g.PathFill(horizontal);
    g.PathRect(IBounds(0.f, 50.f, 100.f, 100.f));
    g.PathFill(vertical);
    g.PathRect(IBounds(100.f, 0.f, 200.f, 100.f));
    g.PathFill(radial);
  });
  // Left to right, dark to light, roughly linear.
  EXPECT_LT(c.At(5, 25).R, 20);
  EXPECT_TRUE(Near(c.At(50, 25), IRgba(255, 128, 128, 128), 4));
  EXPECT_GT(c.At(95, 25).R, 235);
  // Top to bottom, red to blue.
  EXPECT_GT(c.At(50, 52).R, 230);
  EXPECT_LT(c.At(50, 98).R, 25);
  EXPECT_GT(c.At(50, 98).B, 230);
  // Centre takes the first stop, half the radius the middle stop, beyond the
  // radius the last (padded).
  EXPECT_TRUE(Near(c.At(150, 50), COLOR_WHITE, 12));
  EXPECT_TRUE(Near(c.At(170, 50), kGreen, 8));
  EXPECT_TRUE(Near(c.At(199, 99), kBlack, 3));
}

TEST(Drawing, AdditiveBlendAndWeight)
{
  Canvas c(100, 40);
  const IBlendMode add(EBlend::Add);
  const IBlendMode addQuarter(EBlend::Add, 0.25f);
  const IBlendMode overQuarter(EBlend::SrcOver, 0.25f);
  c.Render("blend", [&](IGraphics& g, const IBounds&) {
    g.FillRect(IRgba(255, 100, 0, 40), IBounds(0.f, 0.f, 100.f, 40.f));
    g.FillRect(IRgba(255, 0, 100, 40), IBounds(0.f, 0.f, 30.f, 40.f), &add);
    g.FillRect(IRgba(255, 0, 200, 0), IBounds(30.f, 0.f, 60.f, 40.f), &addQuarter);
    g.FillRect(COLOR_WHITE, IBounds(60.f, 0.f, 100.f, 40.f), &overQuarter);
  });
  // src * srcA + dst * dstA, channel by channel, saturating.
  EXPECT_TRUE(Near(c.At(15, 20), IRgba(255, 100, 100, 80), 1));
  // Weight 0.25 scales the source alpha: 200 * 0.25 = 50 added.
  EXPECT_TRUE(Near(c.At(45, 20), IRgba(255, 100, 50, 40), 1));
  // Source-over at a quarter: a quarter of the way from the background to white.
  EXPECT_TRUE(Near(c.At(80, 20), IRgba(255, 139, 64, 94), 2));
}

TEST(Drawing, ArcsStartAtTwelveAndRunClockwise)
{
  Canvas c(200, 100);
  c.Render("arcs", [](IGraphics& g, const IBounds&) {
    g.DrawArc(COLOR_WHITE, 50.f, 50.f, 30.f, 0.f, 90.f, nullptr, 4.f);
    g.DrawRadialLine(kRed, 150.f, 50.f, 90.f, 10.f, 40.f, nullptr, 4.f);
    g.DrawRadialLine(kGreen, 150.f, 50.f, 0.f, 10.f, 40.f, nullptr, 4.f);
    g.DrawArc(kBlue, 150.f, 50.f, 25.f, 200.f, 160.f, nullptr, 4.f); // anticlockwise, the short way
  });
  EXPECT_TRUE(Near(c.At(51, 20), COLOR_WHITE, 30));   // twelve o'clock
  EXPECT_TRUE(Near(c.At(80, 49), COLOR_WHITE, 30));   // three o'clock
  EXPECT_TRUE(Near(c.At(71, 29), COLOR_WHITE, 30));   // 45 degrees
  EXPECT_TRUE(Near(c.At(20, 50), kBlack));            // nine o'clock: not part of it
  EXPECT_TRUE(Near(c.At(50, 80), kBlack));            // six o'clock: not part of it
  EXPECT_TRUE(Near(c.At(30, 29), kBlack));            // 315 degrees

  EXPECT_TRUE(Near(c.At(175, 50), kRed));   // angle 90 points right
  EXPECT_TRUE(Near(c.At(155, 50), kBlack)); // inner radius left empty
  EXPECT_TRUE(Near(c.At(150, 20), kGreen)); // angle 0 points up
  EXPECT_TRUE(Near(c.At(150, 75), kBlue));  // 180 lies between 160 and 200
  EXPECT_TRUE(Near(c.At(150, 25), kGreen)); // the long way round was not drawn over 0
}

// The box of pixels brighter than the background.
IBounds LitBox(const IGraphics& g, const IBounds& area)
{
  int l = 1 << 20, t = 1 << 20, r = -1, b = -1;
  for (int y = static_cast<int>(area.T); y < static_cast<int>(area.B); ++y)
    for (int x = static_cast<int>(area.L); x < static_cast<int>(area.R); ++x)
      if (g.ReadPixel(x, y).R > 100)
      {
        l = std::min(l, x);
        t = std::min(t, y);
        r = std::max(r, x + 1);
        b = std::max(b, y + 1);
      }
  return r < 0 ? IBounds() : IBounds(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));
}

TEST(Drawing, TextUsesTheEmbeddedFontAndIsAlignedAsAsked)
{
  Canvas c(300, 200);
  const IBounds rowNear(10.f, 10.f, 290.f, 50.f);
  const IBounds rowCenter(10.f, 60.f, 290.f, 100.f);
  const IBounds rowFar(10.f, 110.f, 290.f, 150.f);
  const IBounds rowTop(10.f, 160.f, 140.f, 200.f);
  const IBounds rowBottom(150.f, 160.f, 290.f, 200.f);
  auto style = [](EAlign a, EVAlign v) { return ITextStyle(20.f, COLOR_WHITE, kDefaultFontName, a, v); };
  c.Render("text", [&](IGraphics& g, const IBounds&) {
    g.DrawText(style(EAlign::Near, EVAlign::Middle), "HIH", rowNear);
    g.DrawText(style(EAlign::Center, EVAlign::Middle), "HIH", rowCenter);
    g.DrawText(style(EAlign::Far, EVAlign::Middle), "HIH", rowFar);
    g.DrawText(style(EAlign::Near, EVAlign::Top), "HIH", rowTop);
    g.DrawText(style(EAlign::Near, EVAlign::Bottom), "HIH", rowBottom);
  });
  ASSERT_NE(ResourceCache::Get().FindFont(kDefaultFontName), nullptr);

  const IBounds n = LitBox(c.g, rowNear), m = LitBox(c.g, rowCenter), f = LitBox(c.g, rowFar);
  ASSERT_TRUE(n.HasArea() && m.HasArea() && f.HasArea());
  // Roboto's capital H at 20 units is about 14 tall; "HIH" about 31 wide.
  EXPECT_NEAR(n.H(), 14.f, 2.f);
  EXPECT_NEAR(n.W(), 31.f, 3.f);
  EXPECT_NEAR(n.L, 10.f, 3.f);
  EXPECT_NEAR(m.MW(), rowCenter.MW(), 2.f);
  EXPECT_NEAR(f.R, 290.f, 3.f);
  // Middle alignment centres capitals vertically (within the descender's share).
  EXPECT_NEAR(n.MH(), rowNear.MH(), 3.f);
  const IBounds top = LitBox(c.g, rowTop), bottom = LitBox(c.g, rowBottom);
  EXPECT_LT(top.T - rowTop.T, 8.f);
  EXPECT_GT(top.T, rowTop.T);
  EXPECT_LT(rowBottom.B - bottom.B, 8.f);
  EXPECT_GT(rowBottom.B, bottom.B);

  // The measured box agrees with what was drawn.
  const IBounds measured = c.g.MeasureText(style(EAlign::Center, EVAlign::Middle), "HIH", rowCenter);
  EXPECT_NEAR(measured.MW(), m.MW(), 2.f);
  EXPECT_NEAR(measured.W(), m.W(), 4.f);
}

TEST(Drawing, RotatedTextTurnsClockwise)
{
  Canvas c(100, 100);
  ITextStyle s(20.f, COLOR_WHITE, kDefaultFontName, EAlign::Center, EVAlign::Middle, 90.f);
  c.Render("text_rotated", [&](IGraphics& g, const IBounds& b) { g.DrawText(s, "HHHHH", b); });
  const IBounds box = LitBox(c.g, IBounds(0.f, 0.f, 100.f, 100.f));
  EXPECT_GT(box.H(), 2.f * box.W()); // the line now runs down
  EXPECT_NEAR(box.MH(), 50.f, 3.f);
}

TEST(Drawing, SvgIsScaledIntoItsBounds)
{
  Canvas c(240, 120);
  const ISVG logo = c.g.LoadSVG("logo.svg");
  ASSERT_TRUE(logo.IsValid());
  EXPECT_FLOAT_EQ(logo.W(), 512.f);
  EXPECT_FLOAT_EQ(logo.H(), 512.f);
  c.Render("svg", [&](IGraphics& g, const IBounds&) {
    g.FillRect(IRgba(255, 0, 0, 90), IBounds(0.f, 0.f, 240.f, 120.f));
    g.DrawSVG(logo, IBounds(10.f, 10.f, 110.f, 110.f));
    g.DrawSVG(logo, IBounds(120.f, 10.f, 240.f, 60.f)); // wide bounds: 50 x 50, centred
  });
  const IRgba logoColor(255, 198, 202, 202), bg(255, 0, 0, 90);
  EXPECT_TRUE(Near(c.At(12, 12), logoColor));
  EXPECT_TRUE(Near(c.At(108, 108), logoColor));
  EXPECT_TRUE(Near(c.At(60, 60), bg));   // the middle bar is cut out
  EXPECT_TRUE(Near(c.At(60, 28), bg));   // the ring is cut out
  EXPECT_TRUE(Near(c.At(60, 40), logoColor)); // between ring and bars
  EXPECT_TRUE(Near(c.At(112, 60), bg));  // outside
  EXPECT_TRUE(Near(c.At(140, 30), bg));  // left of the centred copy
  EXPECT_TRUE(Near(c.At(157, 12), logoColor));
  EXPECT_TRUE(Near(c.At(205, 30), bg));  // right of it
}

TEST(Drawing, FrameLoopRepaintsOnlyDirtyRegions)
{
  Log log;
  RecordingDelegate dlg(log);
  IGraphics g(dlg, 100, 40);
  auto* a = new ColorControl(IBounds(10.f, 10.f, 30.f, 30.f), kRed);
  auto* b = new ColorControl(IBounds(50.f, 10.f, 70.f, 30.f), kRed);
  auto* hidden = new ColorControl(IBounds(80.f, 10.f, 95.f, 30.f), kGreen);
  g.AttachControl(a);
  g.AttachControl(b);
  g.AttachControl(hidden);
  hidden->Hide(true);

  std::vector<IBounds> regions;
  ASSERT_TRUE(g.IsDirty(regions)); // new controls are dirty
  EXPECT_EQ(regions.size(), 3u);
  EXPECT_EQ(regions[0], IBounds(9.25f, 9.25f, 30.75f, 30.75f));
  EXPECT_TRUE(g.OnFrame());
  EXPECT_FALSE(g.IsDirty(regions)); // all marked clean
  EXPECT_FALSE(g.OnFrame());
  EXPECT_TRUE(Near(g.ReadPixel(20, 20), kRed));
  EXPECT_TRUE(Near(g.ReadPixel(85, 20), kBlack)); // hidden: not drawn

  a->color = kBlue;
  a->SetDirty(false);
  b->color = kGreen; // changed but not marked: stays as drawn
  EXPECT_TRUE(g.OnFrame());
  EXPECT_TRUE(Near(g.ReadPixel(20, 20), kBlue));
  EXPECT_TRUE(Near(g.ReadPixel(60, 20), kRed));
  g.SavePNG(OutputPath("frame_loop"));
  EXPECT_TRUE(Near(g.ReadPixel(60, 20), kGreen)); // a full repaint picks it up
}

TEST(Drawing, DrawingOutsideAFrameIsHarmless)
{
  Log log;
  RecordingDelegate dlg(log);
  IGraphics g(dlg, 10, 10);
  g.FillRect(kRed, IBounds(0.f, 0.f, 10.f, 10.f));
  g.PathLineTo(3.f, 3.f);
  g.DrawText(ITextStyle(), "x", IBounds(0.f, 0.f, 10.f, 10.f));
  EXPECT_EQ(g.ReadPixel(5, 5), COLOR_TRANSPARENT);
  EXPECT_EQ(g.ReadPixel(-1, 50), COLOR_TRANSPARENT);
}

} // namespace
} // namespace igraphics::test
