#include "editor/EditorLooks.h"

namespace igraphics
{

const std::array<IColor, kNumBands> kBandColors = {
  IColor(255, 160, 126, 181), // Low
  IColor(255, 185, 112, 150), // Mid
  IColor(255, 186, 104, 110), // High
};

namespace
{

ITextStyle MakeControlTextStyle()
{
  ITextStyle style(14.f, kLightTextColor, kDefaultFontName, EAlign::Center, EVAlign::Middle, 0.f);
  style.mTextEntryBGColor = COLOR_WHITE;
  style.mTextEntryFGColor = COLOR_BLACK;
  return style;
}

IVLook MakeBaseLook()
{
  IVLook look;
  look.hideCursor = true;
  look.showLabel = false;
  look.showValue = false;
  look.drawFrame = false;
  look.drawShadows = false;
  look.emboss = false;
  look.roundness = 0.f;
  look.frameThickness = 1.f;
  look.shadowOffset = 0.f;
  look.widgetFrac = 1.f;
  look.angle = 0.f;
  look.colors = {
    IColor(255, 112, 115, 115), // background
    COLOR_TRANSPARENT,
    COLOR_TRANSPARENT,
    kLightTextColor, // frame
    COLOR_TRANSPARENT,
    COLOR_TRANSPARENT,
    kLightTextColor, // accent
    COLOR_TRANSPARENT,
    COLOR_TRANSPARENT,
  };
  look.labelText = MakeControlTextStyle();
  look.valueText = MakeControlTextStyle();
  look.labelOrientation = 0;
  return look;
}

} // namespace

EditorLooks MakeEditorLooks()
{
  EditorLooks looks;
  looks.base = MakeBaseLook();
  looks.meter = looks.base.WithColor(kX1, IColor(255, 78, 90, 123))
                  .WithColor(kX2, IColor(255, 255, 159, 114))
                  .WithColor(kX3, IColor(255, 196, 80, 97))
                  .WithColor(kBG, IColor(255, 16, 17, 18));
  looks.slider = looks.meter.WithColor(kBG, IColor(255, 16, 17, 18));
  looks.knob = looks.base.WithColor(kX1, kLightTextColor)
                 .WithColor(kBG, IColor(255, 42, 43, 43))
                 .WithColor(kFR, COLOR_WHITE)
                 .WithShowLabel(true);
  return looks;
}

ITextStyle MakeTitleTextStyle()
{
  return ITextStyle(32.f, kLightTextColor, kDefaultFontName, EAlign::Center, EVAlign::Middle, 0.f);
}

} // namespace igraphics
