#pragma once

// The editor's styles: the base look and the looks derived from it for the
// meters, the range sliders and the knobs, plus the band colours.

#include "editor/IVLook.h"

#include <array>

namespace igraphics
{

struct EditorLooks
{
  IVLook base;   // switches, mode selectors, the preset selector
  IVLook meter;  // meters and the peak display
  IVLook slider; // range sliders (band colour in slot 6)
  IVLook knob;   // knobs (band colour in slot 6 for band knobs)
};

EditorLooks MakeEditorLooks();

// Low, Mid, High.
inline constexpr int kNumBands = 3;
extern const std::array<IColor, kNumBands> kBandColors;

inline constexpr IColor kEditorBackgroundColor{255, 16, 17, 18};
inline constexpr IColor kColumnPanelColor{255, 41, 42, 42};
inline constexpr IColor kLightTextColor{255, 198, 202, 202};

ITextStyle MakeTitleTextStyle();

} // namespace igraphics
