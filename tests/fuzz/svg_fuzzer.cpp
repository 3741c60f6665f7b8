// Our SVG reader on arbitrary bytes: it either refuses the input with a reason
// or gives a document with a usable size and finite geometry, which then draws
// without putting cairo into an error state.

#include "graphics/SVGParser.h"
#include "graphics/SVGRenderer.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cairo.h>

#include <cmath>
#include <string>
#include <string_view>

namespace
{

bool Finite(const igraphics::SVGPathCommand& c)
{
  return std::isfinite(c.x1) && std::isfinite(c.y1) && std::isfinite(c.x2) && std::isfinite(c.y2) &&
         std::isfinite(c.x3) && std::isfinite(c.y3);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  std::string error;
  const auto doc = igraphics::ParseSVG(std::string_view(reinterpret_cast<const char*>(data), size), 96., error);
  if (!doc)
  {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  FUZZ_CHECK(error.empty());
  FUZZ_CHECK(doc->width > 0. && std::isfinite(doc->width) && doc->height > 0. && std::isfinite(doc->height));
  FUZZ_CHECK(doc->viewW > 0. && doc->viewH > 0.);
  std::size_t commands = 0;
  for (const igraphics::SVGShape& shape : doc->shapes)
  {
    FUZZ_CHECK(!shape.path.empty());
    FUZZ_CHECK(shape.opacity >= 0. && shape.opacity <= 1.);
    commands += shape.path.size();
    for (const igraphics::SVGPathCommand& c : shape.path)
      FUZZ_CHECK(Finite(c));
  }
  FUZZ_CHECK(commands <= igraphics::kMaxSVGPathCommands);
  // Groups are non-empty, inside the shape list, ordered and properly nested.
  for (std::size_t i = 0; i < doc->groups.size(); ++i)
  {
    const igraphics::SVGGroup& g = doc->groups[i];
    FUZZ_CHECK(g.begin < g.end && g.end <= doc->shapes.size());
    FUZZ_CHECK(g.opacity >= 0. && g.opacity < 1.);
    if (i > 0)
    {
      const igraphics::SVGGroup& before = doc->groups[i - 1];
      FUZZ_CHECK(before.begin <= g.begin);
      FUZZ_CHECK(g.begin >= before.end || g.end <= before.end);
    }
  }

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);
  cairo_t* cr = cairo_create(surface);
  igraphics::DrawSVGDocument(cr, *doc, 1., 2., 12., 10.);
  FUZZ_CHECK(cairo_status(cr) == CAIRO_STATUS_SUCCESS);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return 0;
}
