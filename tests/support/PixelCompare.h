#pragma once

// Pictures the window tests keep and compare: where they are written, and how
// a window's pixels (0xRRGGBB, row by row) differ from a PNG or from each other.

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace calvorin_test
{

// build/<config>/test_output/<subdir>/<name>.png, the folder created.
inline std::string TestOutputPng(const std::string& subdir, const std::string& name)
{
  const std::filesystem::path dir = std::filesystem::path(CALVORIN_BINARY_DIR) / "test_output" / subdir;
  std::filesystem::create_directories(dir);
  return (dir / (name + ".png")).string();
}

struct PixelComparison
{
  int maxChannelDifference = 256; // 256: the PNG is missing or of another size
  std::size_t differentPixels = 0;
};

// The shown pixels (w by h) against a PNG of the same size.
inline PixelComparison CompareWithPng(const std::vector<std::uint32_t>& shown, const std::string& png, int w, int h)
{
  PixelComparison result;
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS && cairo_image_surface_get_width(s) == w &&
      cairo_image_surface_get_height(s) == h && shown.size() == static_cast<std::size_t>(w) * h)
  {
    result.maxChannelDifference = 0;
    cairo_surface_flush(s);
    const unsigned char* pixels = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const std::uint32_t a = shown[static_cast<std::size_t>(y) * w + x];
        std::uint32_t b = 0;
        std::memcpy(&b, pixels + y * stride + x * 4, 4);
        int worst = 0;
        for (int shift = 0; shift < 24; shift += 8)
          worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)));
        result.maxChannelDifference = std::max(result.maxChannelDifference, worst);
        result.differentPixels += worst > 0;
      }
  }
  cairo_surface_destroy(s);
  return result;
}

// How many pixels of two captures of the same region differ.
inline std::size_t Differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
  std::size_t n = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    n += a[i] != b[i];
  return n;
}

} // namespace calvorin_test
