#pragma once

// Our reader of the SVG subset our images use: the root <svg> with its size,
// view box and preserveAspectRatio; <g>; <path> and the basic shapes; fills,
// strokes, opacities, colours, style attributes and transforms. Elements it
// does not draw (definitions, text, gradients, nested images) are skipped
// with everything inside them.

#include "graphics/SVGDocument.h"

#include <optional>
#include <string>
#include <string_view>

namespace igraphics
{

// Inputs larger than these are refused, so no input costs unbounded memory.
constexpr std::size_t kMaxSVGBytes = 4u << 20;
constexpr std::size_t kMaxSVGPathCommands = 1u << 20;
// Groups with an opacity nest as layers up to this depth.
constexpr std::size_t kMaxSVGGroupDepth = 8;

// The document, or nothing with error saying why (malformed XML, no <svg>
// root, no usable size, too large). dpi converts physical units to pixels.
std::optional<SVGDocument> ParseSVG(std::string_view text, double dpi, std::string& error);

} // namespace igraphics
