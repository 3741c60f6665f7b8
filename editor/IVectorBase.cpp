#include "editor/IVectorBase.h"

#include "graphics/IGraphics.h"

#include <algorithm>

namespace igraphics
{

namespace
{
// Fill behind the value text while the mouse is over a control.
const IColor kValueHighlight(100, 255, 255, 255);
} // namespace

IVectorBase::IVectorBase(IControl* control, const IVLook& look)
  : mControl(control)
  , mStyle(look)
{
}

void IVectorBase::SetStyle(const IVLook& look)
{
  mStyle = look;
  mStyle.colors = look.colors;
}

void IVectorBase::DrawBackground(IGraphics& g, const IBounds& bounds)
{
  g.FillRect(GetColor(kBG), bounds, &mControl->GetBlend());
}

void IVectorBase::DrawLabel(IGraphics& g)
{
  if (mLabelBounds.H() > 0.f && mStyle.showLabel && !mLabelStr.empty())
    g.DrawText(mStyle.labelText, mLabelStr.c_str(), mLabelBounds, &mControl->GetBlend());
}

void IVectorBase::DrawValue(IGraphics& g, bool mouseOver)
{
  if (mouseOver)
    g.FillRect(kValueHighlight, mValueBounds);
  if (mStyle.showValue && !mValueStr.empty())
    g.DrawText(mStyle.valueText, mValueStr.c_str(), mValueBounds, &mControl->GetBlend());
}

void IVectorBase::DrawPressableShape(IGraphics& g, EVShape shape, const IBounds& bounds, bool pressed, bool mouseOver,
                                     bool disabled)
{
  const IBlendMode* blend = &mControl->GetBlend();
  const IColor& fill = pressed ? GetColor(kPR) : GetColor(kFG);
  const float cornerRadius = mStyle.roundness * std::min(bounds.W(), bounds.H()) * 0.5f;
  const float cx = bounds.MW();
  const float cy = bounds.MH();
  const float radius = std::min(bounds.W(), bounds.H()) * 0.5f;

  auto fillShape = [&](const IColor& color) {
    switch (shape)
    {
      case EVShape::Ellipse:
        g.FillCircle(color, cx, cy, radius, blend);
        break;
      case EVShape::Triangle:
        g.FillTriangle(color, bounds.L, bounds.B, cx, bounds.T, bounds.R, bounds.B, blend);
        break;
      case EVShape::EndsRounded:
      case EVShape::AllRounded:
        g.FillRoundRect(color, bounds, shape == EVShape::EndsRounded ? radius : cornerRadius, blend);
        break;
      case EVShape::Rectangle:
        g.FillRoundRect(color, bounds, cornerRadius, blend);
        break;
    }
  };

  if (mStyle.drawShadows && !pressed)
  {
    const IBounds shadow(bounds.L + mStyle.shadowOffset, bounds.T + mStyle.shadowOffset, bounds.R + mStyle.shadowOffset,
                         bounds.B + mStyle.shadowOffset);
    if (shape == EVShape::Ellipse)
      g.FillCircle(GetColor(kSH), shadow.MW(), shadow.MH(), radius, blend);
    else
      g.FillRoundRect(GetColor(kSH), shadow, cornerRadius, blend);
  }

  fillShape(fill);
  if (mouseOver && !disabled)
    fillShape(GetColor(kHL));

  if (mSplashRadius > 0.f)
    g.FillCircle(GetColor(kHL), mSplashX, mSplashY, mSplashRadius, blend);

  if (mStyle.drawFrame)
  {
    if (shape == EVShape::Ellipse)
      g.DrawCircle(GetColor(kFR), cx, cy, radius, blend, mStyle.frameThickness);
    else
      g.DrawRoundRect(GetColor(kFR), bounds, cornerRadius, blend, mStyle.frameThickness);
  }
}

IBounds IVectorBase::MakeRects(const IBounds& parent)
{
  IBounds widget = parent;
  const float labelHeight = mStyle.labelText.mSize;
  const float valueHeight = mStyle.valueText.mSize;

  if (mStyle.showLabel && !mLabelStr.empty() && !mLabelInWidget)
  {
    mLabelBounds = IBounds(parent.L, parent.T, parent.R, parent.T + labelHeight);
    widget.T = std::min(widget.B, widget.T + labelHeight);
  }
  else
    mLabelBounds = IBounds();

  if (mStyle.showValue && !mValueInWidget)
  {
    mValueBounds = IBounds(parent.L, parent.B - valueHeight, parent.R, parent.B);
    widget.B = std::max(widget.T, widget.B - valueHeight);
  }
  else if (mStyle.showValue)
  {
    const float h = std::min(valueHeight, widget.H());
    mValueBounds = IBounds(widget.L, widget.MH() - h * 0.5f, widget.R, widget.MH() + h * 0.5f);
  }
  else
    mValueBounds = IBounds();

  if (mLabelInWidget && mStyle.showLabel)
    mLabelBounds = widget;

  mWidgetBounds = widget;
  return widget;
}

} // namespace igraphics
