#include "editor/Spin.h"

#include "graphics/IGraphics.h"

namespace igraphics
{

namespace
{
constexpr float kLabelHeight = 16.f;
} // namespace

Spin::Spin(const IBounds& bounds, int paramIdx, const IVLook& look)
  : IVSwitchControl(bounds, paramIdx, "", look)
{
}

void Spin::OnResize()
{
  IBounds widget = mRECT;
  if (mStyle.showLabel)
  {
    mLabelBounds = IBounds(mRECT.L, mRECT.T, mRECT.R, mRECT.T + kLabelHeight);
    widget.T += kLabelHeight;
  }
  else
    mLabelBounds = IBounds();

  const float gap = widget.H() * 0.5f - mStyle.valueText.mSize * 0.5f;
  widget.T += gap;
  widget.B -= gap;
  const float quarter = widget.W() * 0.25f;
  widget.L += quarter;
  widget.R -= quarter;
  mWidgetBounds = widget;
  mValueBounds = widget;
  IControl::SetDirty(false);
}

void Spin::Draw(IGraphics& g)
{
  if (mLabelBounds.H() > 0.f && mStyle.showLabel)
    g.DrawText(mStyle.labelText, mLabelStr.c_str(), mLabelBounds, &GetBlend());

  const float radius = mWidgetBounds.H() * 0.5f;
  g.FillRoundRect(IColor(51, 0, 0, 0), mWidgetBounds, radius);
  const IBlendMode add(EBlend::Add, 1.f);
  g.DrawRoundRect(IColor(84, 255, 255, 255), mWidgetBounds, radius, &add, 1.f);

  ITextStyle text = mStyle.valueText;
  text.mFGColor = GetColor(kX1);
  text.mAlign = static_cast<int>(EAlign::Center);
  text.mVAlign = static_cast<int>(EVAlign::Middle);
  g.DrawText(text, mValueStr.c_str(), mWidgetBounds);
}

} // namespace igraphics
