#pragma once

// Lightening and darkening of a colour, as the custom controls shade their
// bodies and panels: R, G and B move together and clamp, alpha stays.

#include "graphics/IColor.h"

#include <algorithm>

namespace igraphics
{

inline IColor ShiftedColor(const IColor& c, int amount)
{
  return IColor(c.A, std::clamp(c.R + amount, 0, 255), std::clamp(c.G + amount, 0, 255),
                std::clamp(c.B + amount, 0, 255));
}

inline IColor WithAlpha(const IColor& c, int alpha)
{
  return IColor(alpha, c.R, c.G, c.B);
}

} // namespace igraphics
