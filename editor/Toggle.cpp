#include "editor/Toggle.h"

#include "editor/ColorShift.h"
#include "graphics/IGraphics.h"

#include <algorithm>

namespace igraphics
{

Toggle::Toggle(const IBounds& bounds, int paramIdx, const IVLook& look, const char* offText, const char* onText)
  : IVToggleControl(bounds, paramIdx, "", look, offText, onText)
{
}

void Toggle::OnResize()
{
  mWidgetBounds = mRECT;
  IControl::SetDirty(false);
}

void Toggle::Draw(IGraphics& g)
{
  DrawWidget(g);
  ITextStyle text = mStyle.valueText;
  text.mFGColor = GetColor(kX1);
  g.DrawText(text, mOffText.c_str(), mRECT, &GetBlend());
}

void Toggle::DrawWidget(IGraphics& g)
{
  const IColor outline = WithAlpha(GetColor(kX1), GetMouseIsOver() ? 255 : 127);
  const float radius = std::min(mRECT.W(), mRECT.H()) * 0.5f;
  g.DrawRoundRect(outline, mRECT, radius, nullptr, 1.f);
  if (GetValue() != 0.0)
    g.FillRoundRect(WithAlpha(GetColor(kX1), 51), mRECT, radius);
}

} // namespace igraphics
