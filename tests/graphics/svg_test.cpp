// Our SVG reader: path data, transforms, colours, documents it refuses, and
// how a document lands in the area it is drawn into.

#include "graphics/SVGParser.h"
#include "graphics/SVGPathData.h"
#include "graphics/SVGRenderer.h"
#include "graphics/SVGValues.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace igraphics
{
namespace
{

using EType = SVGPathCommand::EType;

TEST(SVGReader, PathDataGrammar)
{
  struct Row
  {
    const char* d;
    std::size_t commands;
    double endX, endY; // where the last command ends
    bool error;        // commands before the error are kept
  };
  const Row rows[] = {
    {"M10 20 L30 40", 2, 30., 40., false},
    {"m10 20 l5 5 5 5", 3, 20., 30., false},           // implicit repeated lines
    {"M1 2 3 4 5 6", 3, 5., 6., false},                // pairs after a move are lines
    {"m1 1 2 2", 2, 3., 3., false},                    // ... relative ones for m
    {"M0 0 H10 V20 h-5 v-5", 5, 5., 15., false},
    {"M-.5.5L1e1-1E-1", 2, 10., -0.1, false},          // numbers run together
    {"M0,0C1,1 2,2 3,3S5,5 6,6", 3, 6., 6., false},
    {"M0 0 c1 1 2 2 3 3 s2 2 3 3", 3, 6., 6., false},
    {"M0 0 Q5 5 10 0 T20 0", 3, 20., 0., false},
    {"M0 0 q5 5 10 0 t10 0", 3, 20., 0., false},
    {"M0 0 A5 5 0 0 1 10 0", 3, 10., 0., false},       // a half turn is two curves
    {"M0 0 a5 5 0 1010 0", 3, 10., 0., false},         // flags need no separator
    {"M0 0 A0 5 0 0 1 10 0", 2, 10., 0., false},       // a zero radius is a line
    {"M0 0 A5 5 0 0 1 0 0", 1, 0., 0., false},         // to the same point: nothing
    {"M0 0 L10 0 L10 10 Z M20 20 z", 6, 20., 20., false},
    {"  M 0 , 0 L 1 , 1  ", 2, 1., 1., false},
    {"", 0, 0., 0., false},
    {"L10 10", 0, 0., 0., true},                       // must begin with a move
    {"M0 0 L10", 1, 0., 0., true},                     // incomplete pair
    {"M0 0 L10 10 X", 2, 10., 10., true},
    {"M0 0 Z 5 5", 2, 0., 0., true},                   // close takes no numbers
    {"M0 0 L1e999 0", 1, 0., 0., true},                // not finite
    {"M0 0 L1,,2", 1, 0., 0., true},
    {"M0 0 A5 5 0 2 1 10 0", 1, 0., 0., true},         // flags are 0 or 1
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.d);
    std::string error;
    const auto path = ParseSVGPathData(row.d, error);
    EXPECT_EQ(!error.empty(), row.error) << error;
    ASSERT_EQ(path.size(), row.commands);
    if (path.empty())
      continue;
    const SVGPathCommand& last = path.back();
    const bool cubic = last.type == EType::CubicTo;
    EXPECT_NEAR(cubic ? last.x3 : last.x1, row.endX, 1e-9);
    EXPECT_NEAR(cubic ? last.y3 : last.y1, row.endY, 1e-9);
  }
}

TEST(SVGReader, ArcsAndQuadraticsFollowTheirCurves)
{
  std::string error;
  // A half circle of radius 5 around (5, 0), clockwise on screen: through (5, 5).
  auto arc = ParseSVGPathData("M0 0 A5 5 0 0 0 10 0", error);
  ASSERT_EQ(arc.size(), 3u);
  EXPECT_NEAR(arc[1].x3, 5., 1e-9);
  EXPECT_NEAR(arc[1].y3, 5., 1e-9);
  // Radii too small to reach the end point grow until they do.
  arc = ParseSVGPathData("M0 0 A1 1 0 0 1 10 0", error);
  ASSERT_EQ(arc.size(), 3u);
  EXPECT_NEAR(arc[1].x3, 5., 1e-9);
  EXPECT_NEAR(arc[1].y3, -5., 1e-9);
  // T reflects the control point of the Q before it.
  const auto quad = ParseSVGPathData("M0 0 Q5 6 10 0 T20 0", error);
  ASSERT_EQ(quad.size(), 3u);
  EXPECT_NEAR(quad[2].x1, 10. + 2. / 3. * 5., 1e-9);
  EXPECT_NEAR(quad[2].y1, 2. / 3. * -6., 1e-9);
}

TEST(SVGReader, Transforms)
{
  struct Row
  {
    const char* text;
    bool valid;
    SVGMatrix want;
  };
  const double s = std::sqrt(0.5);
  const Row rows[] = {
    {"translate(10)", true, {1, 0, 0, 1, 10, 0}},
    {"translate(10, -2)", true, {1, 0, 0, 1, 10, -2}},
    {"scale(2)", true, {2, 0, 0, 2, 0, 0}},
    {"scale(2 3)", true, {2, 0, 0, 3, 0, 0}},
    {"rotate(90)", true, {0, 1, -1, 0, 0, 0}},
    {"rotate(90 10 10)", true, {0, 1, -1, 0, 20, 0}},
    {"rotate(45)", true, {s, s, -s, s, 0, 0}},
    {"skewX(45)", true, {1, 0, 1, 1, 0, 0}},
    {"skewY(45)", true, {1, 1, 0, 1, 0, 0}},
    {"matrix(1 2 3 4 5 6)", true, {1, 2, 3, 4, 5, 6}},
    {"translate(10,0) scale(2)", true, {2, 0, 0, 2, 10, 0}}, // applied right to left
    {"scale(2),translate(10,0)", true, {2, 0, 0, 2, 20, 0}},
    {"", true, {}},
    {"translate()", false, {}},
    {"rotate(1 2)", false, {}},
    {"matrix(1 2 3)", false, {}},
    {"spin(3)", false, {}},
    {"scale(2", false, {}},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.text);
    const auto m = ParseSVGTransform(row.text);
    ASSERT_EQ(m.has_value(), row.valid);
    if (!m)
      continue;
    EXPECT_NEAR(m->a, row.want.a, 1e-12);
    EXPECT_NEAR(m->b, row.want.b, 1e-12);
    EXPECT_NEAR(m->c, row.want.c, 1e-12);
    EXPECT_NEAR(m->d, row.want.d, 1e-12);
    EXPECT_NEAR(m->e, row.want.e, 1e-12);
    EXPECT_NEAR(m->f, row.want.f, 1e-12);
  }
}

TEST(SVGReader, ColoursAndPaints)
{
  struct Row
  {
    const char* text;
    bool valid;
    SVGColor want;
  };
  const Row rows[] = {
    {"#f80", true, {255, 136, 0}},
    {"#C6CACA", true, {198, 202, 202}},
    {"rgb(198,202,202)", true, {198, 202, 202}},
    {" rgb( 1 , 2 , 3 ) ", true, {1, 2, 3}},
    {"rgb(100%, 50%, 0%)", true, {255, 128, 0}},
    {"rgb(300,-4,0)", true, {255, 0, 0}}, // clamped
    {"Red", true, {255, 0, 0}},
    {"green", true, {0, 128, 0}},
    {"grey", true, {128, 128, 128}},
    {"#ff", false, {}},
    {"#ggg", false, {}},
    {"rgb(1,2)", false, {}},
    {"rgb(1 2 3)", false, {}},
    {"chartreuse-ish", false, {}},
    {"", false, {}},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.text);
    const auto c = ParseSVGColor(row.text);
    ASSERT_EQ(c.has_value(), row.valid);
    if (c)
    {
      EXPECT_EQ(*c, row.want);
    }
  }
  EXPECT_EQ(ParseSVGPaint("none")->kind, SVGPaint::EKind::None);
  EXPECT_EQ(ParseSVGPaint("currentColor")->kind, SVGPaint::EKind::CurrentColor);
  EXPECT_EQ(ParseSVGPaint("url(#g) #00f")->color, (SVGColor{0, 0, 255}));
  EXPECT_EQ(ParseSVGPaint("url(#g)")->kind, SVGPaint::EKind::None);
  EXPECT_FALSE(ParseSVGPaint("bluish").has_value());
}

TEST(SVGReader, MalformedDocumentsAreRefusedWithAReason)
{
  struct Row
  {
    std::string text;
    const char* reason;
  };
  const Row rows[] = {
    {"", "no root element"},
    {"<svg width='1' height='1'", "unterminated tag"},
    {"<svg this is not", "no value"},
    {"<svg width='1' height='1'><g></svg>", "does not match"},
    {"<svg width='1' height='1'><g>", "end of input"},
    {"<svg width='1' height='1'/><svg/>", "second root"},
    {"<svg width='1' height='1'/>trailing", "outside the root"},
    {"<svg width='1' width='2'/>", "twice"},
    {"<svg width='1' height='1' fill='&bogus;'/>", "malformed value"},
    {"<!-- open comment <svg/>", "unterminated comment"},
    {"<html/>", "not <svg>"},
    {"<svg/>", "no usable size"},
    {"<svg width='0' height='5'/>", "no usable size"},
    {"<svg width='100%' height='100%'/>", "no usable size"},
    {std::string(kMaxSVGBytes + 1, ' '), "larger than"},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.text.substr(0, 60));
    std::string error;
    EXPECT_FALSE(ParseSVG(row.text, 72., error).has_value());
    EXPECT_NE(error.find(row.reason), std::string::npos) << error;
  }
  // Nesting deeper than the reader follows is refused, not recursed into.
  std::string deep = "<svg width='1' height='1'>";
  for (int i = 0; i < 10000; ++i)
    deep += "<g>";
  std::string error;
  EXPECT_FALSE(ParseSVG(deep, 72., error).has_value());
  EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
}

TEST(SVGReader, DocumentModel)
{
  const char* text = R"svg(<?xml version="1.0"?>
<!DOCTYPE svg [ <!ENTITY x "y"> ]>
<svg xmlns="http://www.w3.org/2000/svg" width="1in" height="50pt" viewBox="10 20 100 50"
     preserveAspectRatio="xMinYMax slice" fill="blue" stroke-width="3">
  <g transform="translate(5 0)" opacity="0.5" style="fill: #0f0; stroke: red !important">
    <rect x="1" y="2" width="10" height="4" opacity=".5" stroke-linejoin="round"/>
    <circle cx="0" cy="0" r="2" fill="none" style="stroke-opacity:50%"/>
    <polygon points="0,0 4,0 4,4 9" fill-rule="evenodd"/>
  </g>
  <defs><path d="M0 0 L1 1"/></defs>
  <path d="M0 0 L1 1" display="none"/>
  <line x1="0" y1="0" x2="5" y2="5" stroke="currentColor" color="#123456" stroke-linecap="square"/>
  <text>skipped &amp; ignored</text>
</svg>)svg";
  std::string error;
  const auto doc = ParseSVG(text, 96., error);
  ASSERT_TRUE(doc.has_value()) << error;
  EXPECT_DOUBLE_EQ(doc->width, 96.);
  EXPECT_DOUBLE_EQ(doc->height, 50. * 96. / 72.);
  EXPECT_DOUBLE_EQ(doc->viewX, 10.);
  EXPECT_DOUBLE_EQ(doc->viewH, 50.);
  EXPECT_EQ(doc->aspect, (SVGAspect{false, SVGAspect::EAlign::Min, SVGAspect::EAlign::Max, true}));
  ASSERT_EQ(doc->shapes.size(), 4u); // rect, circle, polygon, line

  const SVGShape& rect = doc->shapes[0];
  EXPECT_EQ(rect.path.size(), 5u);
  EXPECT_EQ(rect.transform, (SVGMatrix{1, 0, 0, 1, 5, 0}));
  EXPECT_EQ(rect.fill, (SVGColor{0, 255, 0})); // the group's style beats the root's attribute
  EXPECT_TRUE(rect.hasStroke);
  EXPECT_EQ(rect.stroke, (SVGColor{255, 0, 0}));
  EXPECT_DOUBLE_EQ(rect.strokeWidth, 3.);
  EXPECT_DOUBLE_EQ(rect.opacity, 0.5);
  ASSERT_EQ(doc->groups.size(), 1u); // the group with an opacity, around its three shapes
  EXPECT_EQ(doc->groups[0].begin, 0u);
  EXPECT_EQ(doc->groups[0].end, 3u);
  EXPECT_DOUBLE_EQ(doc->groups[0].opacity, 0.5);
  EXPECT_EQ(rect.lineJoin, ESVGLineJoin::Round);

  const SVGShape& circle = doc->shapes[1];
  EXPECT_FALSE(circle.hasFill);
  EXPECT_DOUBLE_EQ(circle.strokeOpacity, 0.5);
  EXPECT_EQ(circle.path.size(), 6u); // move, four quarters, close

  const SVGShape& polygon = doc->shapes[2];
  EXPECT_TRUE(polygon.evenOdd);
  EXPECT_EQ(polygon.path.size(), 4u); // the odd number is dropped; closed

  const SVGShape& line = doc->shapes[3];
  EXPECT_EQ(line.fill, (SVGColor{0, 0, 255}));
  EXPECT_EQ(line.stroke, (SVGColor{0x12, 0x34, 0x56}));
  EXPECT_EQ(line.lineCap, ESVGLineCap::Square);
  EXPECT_DOUBLE_EQ(line.opacity, 1.);
}

TEST(SVGReader, ViewBoxIsFittedIntoTheDrawingArea)
{
  // A 10 x 10 view box, its left half red, drawn into a 40 x 20 area.
  auto draw = [](const char* aspect, int x, int y) {
    const std::string text = std::string("<svg width='10' height='10' viewBox='0 0 10 10' preserveAspectRatio='") +
                             aspect + "'><rect width='5' height='10' fill='red'/></svg>";
    std::string error;
    const auto doc = ParseSVG(text, 72., error);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 20);
    cairo_t* cr = cairo_create(surface);
    DrawSVGDocument(cr, *doc, 0., 0., 40., 20.);
    cairo_surface_flush(surface);
    const auto* pixels = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface));
    const uint32_t pixel = pixels[y * cairo_image_surface_get_stride(surface) / 4 + x];
    EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return pixel == 0xFFFF0000u;
  };
  // Default: 20 x 20, centred, so the red half spans x 10..20.
  EXPECT_FALSE(draw("xMidYMid", 8, 10));
  EXPECT_TRUE(draw("xMidYMid", 12, 10));
  EXPECT_FALSE(draw("xMidYMid", 22, 10));
  EXPECT_TRUE(draw("xMinYMid meet", 2, 10));
  EXPECT_TRUE(draw("xMaxYMid", 22, 10));
  EXPECT_TRUE(draw("none", 18, 18)); // stretched: red spans x 0..20
  EXPECT_TRUE(draw("xMidYMid slice", 18, 18)); // 40 x 40, red spans x 0..20
  EXPECT_FALSE(draw("xMidYMid slice", 22, 18));
}

TEST(SVGReader, AGroupWithAnOpacityFadesAsOne)
{
  // Two overlapping opaque squares in a half-transparent group: the overlap
  // shows only the top one, at half strength, like the rest.
  const char* text = "<svg width='30' height='10'><g opacity='0.5'>"
                     "<rect width='20' height='10' fill='#f00'/><rect x='10' width='20' height='10' fill='#00f'/>"
                     "</g></svg>";
  std::string error;
  const auto doc = ParseSVG(text, 72., error);
  ASSERT_TRUE(doc.has_value()) << error;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 30, 10);
  cairo_t* cr = cairo_create(surface);
  DrawSVGDocument(cr, *doc, 0., 0., 30., 10.);
  cairo_surface_flush(surface);
  const auto* pixels = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface));
  EXPECT_EQ(pixels[5 * 30 + 5], 0x80800000u);  // red, premultiplied, half alpha
  EXPECT_EQ(pixels[5 * 30 + 15], 0x80000080u); // the overlap: blue only
  EXPECT_EQ(pixels[5 * 30 + 25], 0x80000080u);
  EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

} // namespace
} // namespace igraphics
