#pragma once

// Draws a parsed SVG image with cairo.

#include "graphics/SVGDocument.h"

struct _cairo;

namespace igraphics
{

// Draws doc into the area (x, y, w, h) of cr's user space, its view box
// fitted as its preserveAspectRatio says (centred and whole by default). The
// context's state is left as it was.
void DrawSVGDocument(_cairo* cr, const SVGDocument& doc, double x, double y, double w, double h);

} // namespace igraphics
