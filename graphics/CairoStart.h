#pragma once

#include <cairo.h>

namespace igraphics
{

// A static cairo (the Windows build's) makes its locks on first use, which is
// not safe from two threads at once. The first call, on whichever thread, does
// one drawing under C++'s thread-safe static initialisation; later calls cost
// a load.
inline void StartCairo()
{
  static const bool started = [] {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(surface);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return true;
  }();
  (void)started;
}

} // namespace igraphics
