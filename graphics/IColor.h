#pragma once

#include <algorithm>

namespace igraphics
{

// A colour of four 0..255 channels, alpha first.
struct IRgba
{
  int A = 255;
  int R = 0;
  int G = 0;
  int B = 0;

  constexpr IRgba() = default;
  constexpr IRgba(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  constexpr bool operator==(const IRgba& o) const = default;

  // The same colour with its alpha scaled (clamped to 0..255).
  IRgba WithOpacity(float factor) const
  {
    return {std::clamp(static_cast<int>(A * factor + 0.5f), 0, 255), R, G, B};
  }
};

using IColor = IRgba;

inline constexpr IRgba COLOR_TRANSPARENT{0, 0, 0, 0};
inline constexpr IRgba COLOR_BLACK{255, 0, 0, 0};
inline constexpr IRgba COLOR_WHITE{255, 255, 255, 255};
inline constexpr IRgba COLOR_RED{255, 255, 0, 0};
inline constexpr IRgba COLOR_GREEN{255, 0, 255, 0};
inline constexpr IRgba COLOR_BLUE{255, 0, 0, 255};
inline constexpr IRgba COLOR_GRAY{255, 127, 127, 127};

} // namespace igraphics
