#pragma once

// The parsed form behind ISVG (librsvg). Only drawing code needs this header.

#include <librsvg/rsvg.h>

namespace igraphics
{

struct SVGDocument
{
  RsvgHandle* handle = nullptr;
  double width = 0.;  // intrinsic size in pixels
  double height = 0.;

  SVGDocument() = default;
  SVGDocument(const SVGDocument&) = delete;
  SVGDocument& operator=(const SVGDocument&) = delete;
  ~SVGDocument()
  {
    if (handle)
      g_object_unref(handle);
  }
};

} // namespace igraphics
