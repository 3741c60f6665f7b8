#pragma once

// The style record shared by every vector-drawn control: flags, geometry,
// nine colour slots and the label and value text styles.

#include "graphics/IColor.h"
#include "graphics/ITextStyle.h"

#include <array>

namespace igraphics
{

// Colour slot roles. Slot 0 is the background (knob bodies, track
// backgrounds); 1..5 feed the pressable shape; 6 is the accent (arcs,
// pointers, labels, range fills, switch texts); 7 and 8 are the meters'
// second and third accents.
enum EVColor
{
  kBG = 0,
  kFG = 1,
  kPR = 2,
  kFR = 3,
  kHL = 4,
  kSH = 5,
  kX1 = 6,
  kX2 = 7,
  kX3 = 8,
  kNumVColors = 9
};

using IVColorSpec = std::array<IColor, kNumVColors>;

struct IVLook
{
  bool hideCursor = true;
  bool showLabel = true;
  bool showValue = true;
  bool drawFrame = true;
  bool drawShadows = true;
  bool emboss = false;
  float roundness = 0.f;
  float frameThickness = 1.f;
  float shadowOffset = 3.f;
  float widgetFrac = 1.f;
  float angle = 0.f;
  IVColorSpec colors{};
  ITextStyle labelText{};
  ITextStyle valueText{};
  int labelOrientation = 0;

  const IColor& GetColor(EVColor slot) const { return colors[static_cast<size_t>(slot)]; }

  IVLook WithColor(EVColor slot, const IColor& color) const
  {
    IVLook copy = *this;
    copy.colors[static_cast<size_t>(slot)] = color;
    return copy;
  }
  IVLook WithShowLabel(bool show) const
  {
    IVLook copy = *this;
    copy.showLabel = show;
    return copy;
  }
};

} // namespace igraphics
