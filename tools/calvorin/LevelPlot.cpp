#include "tools/calvorin/LevelPlot.h"

#include "core/Utf8Path.h"
#include "graphics/FreeTypeFontFace.h"
#include "graphics/ITextStyle.h"
#include "resources/EmbeddedResources.h"
#include "tools/calvorin/PartialFile.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <system_error>

namespace calvorin::cli
{

namespace
{

struct Rgb
{
  double r, g, b;
};

constexpr Rgb kBackground{0.11, 0.12, 0.13};
constexpr Rgb kGrid{0.25, 0.27, 0.29};
constexpr Rgb kText{0.80, 0.82, 0.84};
constexpr Rgb kInputColour{0.55, 0.58, 0.62};
constexpr Rgb kOutputColour{0.98, 0.62, 0.20};

// Plot area inside the image, in pixels.
constexpr double kLeft = 64.0, kRight = kLevelPlotWidth - 20.0;
constexpr double kTop = 44.0, kBottom = kLevelPlotHeight - 40.0;

void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0)
{
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

double YForDb(double db)
{
  db = std::clamp(db, kLevelPlotBottomDb, kLevelPlotTopDb);
  return kTop + (kLevelPlotTopDb - db) / (kLevelPlotTopDb - kLevelPlotBottomDb) * (kBottom - kTop);
}

void DrawText(cairo_t* cr, double x, double y, const std::string& text, double alignX)
{
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  cairo_move_to(cr, x - alignX * extents.x_advance, y);
  cairo_show_text(cr, text.c_str());
}

void DrawSeries(cairo_t* cr, const std::vector<double>& db, double secondsPerPixel, double hopSeconds, Rgb colour,
                bool filled)
{
  if (db.empty())
    return;
  auto xFor = [&](size_t i) { return kLeft + (static_cast<double>(i) + 1.0) * hopSeconds / secondsPerPixel; };
  cairo_new_path(cr);
  cairo_move_to(cr, kLeft, YForDb(db[0]));
  for (size_t i = 0; i < db.size(); ++i)
    cairo_line_to(cr, xFor(i), YForDb(db[i]));
  if (filled)
  {
    cairo_line_to(cr, xFor(db.size() - 1), kBottom);
    cairo_line_to(cr, kLeft, kBottom);
    cairo_close_path(cr);
    SetColour(cr, colour, 0.35);
    cairo_fill_preserve(cr);
  }
  SetColour(cr, colour);
  cairo_set_line_width(cr, filled ? 1.0 : 2.0);
  cairo_stroke(cr);
}

} // namespace

bool WriteLevelPlot(const std::string& path, const std::string& title, double hopSeconds,
                    const std::vector<double>& inputDb, const std::vector<double>& outputDb, std::string& error)
{
  using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
  using ContextPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kLevelPlotWidth, kLevelPlotHeight),
                     cairo_surface_destroy);
  ContextPtr context(cairo_create(surface.get()), cairo_destroy);
  cairo_t* cr = context.get();

  SetColour(cr, kBackground);
  cairo_paint(cr);

  const size_t n = std::max(inputDb.size(), outputDb.size());
  const double seconds = std::max(hopSeconds * static_cast<double>(n), hopSeconds);
  const double secondsPerPixel = seconds / (kRight - kLeft);

  // The editor's built-in font, so the plot looks the same on every system.
  const igraphics::ResourceView fontBytes =
    igraphics::FindEmbeddedResource(std::string(igraphics::kDefaultFontName) + ".ttf");
  using FontPtr = std::unique_ptr<cairo_font_face_t, decltype(&cairo_font_face_destroy)>;
  FontPtr font(igraphics::CreateFreeTypeFontFace(fontBytes.data, fontBytes.size), cairo_font_face_destroy);
  if (!font)
  {
    error = "cannot load the built-in font";
    return false;
  }
  cairo_set_font_face(cr, font.get());
  cairo_set_font_size(cr, 12.0);
  cairo_set_line_width(cr, 1.0);

  // Level grid every 6 dB, time grid every second (or every 10 s for long files).
  for (double db = kLevelPlotTopDb; db >= kLevelPlotBottomDb; db -= 6.0)
  {
    const double y = std::round(YForDb(db)) + 0.5;
    SetColour(cr, kGrid);
    cairo_move_to(cr, kLeft, y);
    cairo_line_to(cr, kRight, y);
    cairo_stroke(cr);
    SetColour(cr, kText);
    DrawText(cr, kLeft - 8.0, y + 4.0, std::to_string(static_cast<int>(db)), 1.0);
  }
  const double timeStep = seconds > 60.0 ? 10.0 : 1.0;
  for (double t = 0.0; t <= seconds + 1e-9; t += timeStep)
  {
    const double x = std::round(kLeft + t / secondsPerPixel) + 0.5;
    SetColour(cr, kGrid);
    cairo_move_to(cr, x, kTop);
    cairo_line_to(cr, x, kBottom);
    cairo_stroke(cr);
    SetColour(cr, kText);
    DrawText(cr, x, kBottom + 16.0, std::to_string(static_cast<int>(t)) + " s", 0.5);
  }

  DrawSeries(cr, inputDb, secondsPerPixel, hopSeconds, kInputColour, true);
  DrawSeries(cr, outputDb, secondsPerPixel, hopSeconds, kOutputColour, false);

  SetColour(cr, kText);
  cairo_set_font_size(cr, 15.0);
  DrawText(cr, kLeft, 26.0, title, 0.0);
  cairo_set_font_size(cr, 12.0);
  DrawText(cr, kLeft - 8.0, kBottom + 32.0, "dBFS (400 ms RMS)", 0.0);
  // Legend, top right.
  const double legendX = kRight - 170.0;
  SetColour(cr, kInputColour);
  cairo_rectangle(cr, legendX, 16.0, 14.0, 10.0);
  cairo_fill(cr);
  SetColour(cr, kText);
  DrawText(cr, legendX + 20.0, 26.0, "input", 0.0);
  SetColour(cr, kOutputColour);
  cairo_rectangle(cr, legendX + 80.0, 16.0, 14.0, 10.0);
  cairo_fill(cr);
  SetColour(cr, kText);
  DrawText(cr, legendX + 100.0, 26.0, "output", 0.0);

  cairo_surface_flush(surface.get());
  const std::filesystem::path destination = iplug::PathFromUtf8(path);
  const std::filesystem::path tempPath = PartialPathFor(destination);
  // cairo takes UTF-8 file names on every platform.
  const cairo_status_t status = cairo_surface_write_to_png(surface.get(), iplug::Utf8FromPath(tempPath).c_str());
  std::error_code ec;
  if (status != CAIRO_STATUS_SUCCESS)
  {
    std::filesystem::remove(tempPath, ec);
    error = "cannot write '" + path + "': " + cairo_status_to_string(status);
    return false;
  }
  std::filesystem::rename(tempPath, destination, ec);
  if (ec)
  {
    std::filesystem::remove(tempPath, ec);
    error = "cannot write '" + path + "': " + ec.message();
    return false;
  }
  return true;
}

} // namespace calvorin::cli
