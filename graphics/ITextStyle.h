#pragma once

#include "graphics/IColor.h"

#include <cstring>

namespace igraphics
{

enum class EAlign : int { Near = 0, Center = 1, Far = 2 };
enum class EVAlign : int { Top = 0, Middle = 1, Bottom = 2 };

inline constexpr const char* kDefaultFontName = "Roboto-Regular";

struct ITextStyle
{
  char mFont[64] = {};
  float mSize = 14.f;
  IRgba mFGColor = COLOR_BLACK;
  IRgba mTextEntryBGColor = COLOR_WHITE;
  IRgba mTextEntryFGColor = COLOR_BLACK;
  float mAngle = 0.f; // degrees, clockwise
  int mAlign = static_cast<int>(EAlign::Center);
  int mVAlign = static_cast<int>(EVAlign::Middle);

  ITextStyle() { SetFont(kDefaultFontName); }

  ITextStyle(float size, IRgba color = COLOR_BLACK, const char* font = kDefaultFontName,
             EAlign align = EAlign::Center, EVAlign valign = EVAlign::Middle, float angle = 0.f)
    : mSize(size), mFGColor(color), mAngle(angle), mAlign(static_cast<int>(align)), mVAlign(static_cast<int>(valign))
  {
    SetFont(font);
  }

  // Copies at most 63 bytes; longer names are cut.
  void SetFont(const char* name)
  {
    std::memset(mFont, 0, sizeof(mFont));
    if (name)
      std::strncpy(mFont, name, sizeof(mFont) - 1);
  }

  EAlign Align() const { return static_cast<EAlign>(mAlign); }
  EVAlign VAlign() const { return static_cast<EVAlign>(mVAlign); }
};

} // namespace igraphics
