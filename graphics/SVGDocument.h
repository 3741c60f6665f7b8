#pragma once

// The parsed form behind ISVG: what our SVG reader keeps of an image, ready to
// draw. Plain data, no drawing library; paths are absolute moves, lines and
// cubic curves (arcs and quadratic curves are converted while reading).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace igraphics
{

// An affine map x' = a x + c y + e, y' = b x + d y + f (SVG's matrix order).
struct SVGMatrix
{
  double a = 1., b = 0., c = 0., d = 1., e = 0., f = 0.;

  // This map applied after rhs.
  SVGMatrix operator*(const SVGMatrix& rhs) const
  {
    return {a * rhs.a + c * rhs.b, b * rhs.a + d * rhs.b, a * rhs.c + c * rhs.d,
            b * rhs.c + d * rhs.d, a * rhs.e + c * rhs.f + e, b * rhs.e + d * rhs.f + f};
  }
  bool operator==(const SVGMatrix&) const = default;
};

struct SVGColor
{
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const SVGColor&) const = default;
};

struct SVGPathCommand
{
  enum class EType : uint8_t { MoveTo, LineTo, CubicTo, Close };
  EType type = EType::MoveTo;
  // MoveTo/LineTo use (x1, y1); CubicTo is (x1, y1) (x2, y2) -> (x3, y3).
  double x1 = 0., y1 = 0., x2 = 0., y2 = 0., x3 = 0., y3 = 0.;
};

enum class ESVGLineCap : uint8_t { Butt, Round, Square };
enum class ESVGLineJoin : uint8_t { Miter, Round, Bevel };

// One filled and/or stroked outline, with everything needed to draw it.
struct SVGShape
{
  std::vector<SVGPathCommand> path;
  SVGMatrix transform; // shape units to the image's user units (its viewBox)
  bool hasFill = true;
  SVGColor fill;
  double fillOpacity = 1.;
  bool evenOdd = false;
  bool hasStroke = false;
  SVGColor stroke;
  double strokeOpacity = 1.;
  double strokeWidth = 1.;
  double miterLimit = 4.;
  ESVGLineCap lineCap = ESVGLineCap::Butt;
  ESVGLineJoin lineJoin = ESVGLineJoin::Miter;
  // Applied to the shape as a whole (its fill and stroke together).
  double opacity = 1.;
};

// Shapes [begin, end) of a group with an opacity of its own: drawn together,
// then faded as one, so that where they overlap shows the top one.
struct SVGGroup
{
  std::size_t begin = 0, end = 0;
  double opacity = 1.;
};

// How the view box is fitted into the area it is drawn in (preserveAspectRatio).
struct SVGAspect
{
  enum class EAlign : uint8_t { Min, Mid, Max };
  bool none = false; // stretch to fill, ignoring the aspect ratio
  EAlign x = EAlign::Mid, y = EAlign::Mid;
  bool slice = false; // cover the area instead of fitting inside it
  bool operator==(const SVGAspect&) const = default;
};

struct SVGDocument
{
  double width = 0.;  // intrinsic size in pixels
  double height = 0.;
  double viewX = 0., viewY = 0., viewW = 0., viewH = 0.; // the view box (or 0 0 width height)
  SVGAspect aspect;
  std::vector<SVGShape> shapes; // in drawing order
  std::vector<SVGGroup> groups; // properly nested, ordered by begin, outer before inner
};

} // namespace igraphics
