#pragma once

// Path data (the "d" attribute): every SVG path command, absolute and
// relative, with implicit repeats, as absolute moves, lines and cubic curves.

#include "graphics/SVGDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace igraphics
{

// Reading stops at the first error and keeps the commands before it, as SVG
// asks of renderers; error then says what was wrong (empty when all was read).
std::vector<SVGPathCommand> ParseSVGPathData(std::string_view d, std::string& error);

// An elliptical arc (SVG's endpoint form) from the current point (x0, y0),
// appended as cubic curves of at most a quarter turn each.
void AppendSVGArc(std::vector<SVGPathCommand>& path, double x0, double y0, double rx, double ry, double xAxisDegrees,
                  bool largeArc, bool sweep, double x, double y);

} // namespace igraphics
