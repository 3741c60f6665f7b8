#include "editor/IVKnobControl.h"

#include "core/IParam.h"
#include "graphics/IGraphics.h"

#include <algorithm>

namespace igraphics
{

IVKnobControl::IVKnobControl(const IBounds& bounds, int paramIdx, const char* label, const IVLook& look,
                             bool valueIsEditable, float angleMin, float angleMax, float anchorAngle,
                             EDirection direction, double gearing)
  : IKnobControlBase(bounds, paramIdx, direction, gearing)
  , IVectorBase(this, look)
  , mAngleMin(angleMin)
  , mAngleMax(angleMax)
  , mAnchorAngle(anchorAngle)
  , mValueIsEditable(valueIsEditable)
{
  mHideCursorOnDrag = look.hideCursor;
  SetLabelStr(label);
}

void IVKnobControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
  DrawValue(g, mValueMouseOver);
}

void IVKnobControl::DrawWidget(IGraphics& g)
{
  const IBounds& w = mWidgetBounds;
  const float radius = std::min(w.W(), w.H()) * 0.5f;
  const float cx = w.MW();
  const float cy = w.MH();
  const float angle = mAngleMin + static_cast<float>(GetValue()) * (mAngleMax - mAngleMin);
  const float knobRadius = std::max(1.f, radius - mHandleInsetPx);
  DrawIndicatorTrack(g, angle, cx, cy, radius);
  DrawPressableShape(g, EVShape::Ellipse, IBounds(cx - knobRadius, cy - knobRadius, cx + knobRadius, cy + knobRadius),
                     mMouseDown, GetMouseIsOver(), IsDisabled());
  DrawPointer(g, angle, cx, cy, knobRadius);
}

void IVKnobControl::DrawIndicatorTrack(IGraphics& g, float angle, float cx, float cy, float radius)
{
  if (mTrackSize > 0.f)
    g.DrawArc(GetColor(kX1), cx, cy, radius, std::min(angle, mAnchorAngle), std::max(angle, mAnchorAngle), &GetBlend(),
              mTrackSize);
}

void IVKnobControl::DrawPointer(IGraphics& g, float angle, float cx, float cy, float radius)
{
  g.DrawRadialLine(GetColor(kFR), cx, cy, angle, mPointerLengthFrac * radius, radius, &GetBlend(), mPointerThickness);
}

IBounds IVKnobControl::GetKnobDragBounds()
{
  const IBounds& w = mWidgetBounds;
  float spanW = 0.f;
  float spanH = 0.f;
  if (w.W() > w.H())
  {
    spanW = w.H() * 0.5f;
    spanH = w.H();
  }
  else
  {
    spanW = w.W();
    spanH = w.W() * 0.5f;
  }
  spanW = std::max(spanW, 1.f);
  return IBounds(w.MW() - spanW * 0.5f, w.MH() - spanH * 0.5f, w.MW() + spanW * 0.5f, w.MH() + spanH * 0.5f);
}

void IVKnobControl::OnInit()
{
  if (const iplug::IParam* param = GetParam())
  {
    std::string text;
    param->FormatValue(GetValue(), true, text);
    SetValueStr(text.c_str());
    if (mLabelStr.empty())
      SetLabelStr(param->GetName());
  }
}

void IVKnobControl::OnMouseDown(float x, float y, const IMouseKeys& mod)
{
  // Text entry on the value is never offered by this editor (prompts are
  // disabled), so a press always starts a drag.
  IKnobControlBase::OnMouseDown(x, y, mod);
  SetDirty(false);
}

void IVKnobControl::OnMouseUp(float x, float y, const IMouseKeys& mod)
{
  IKnobControlBase::OnMouseUp(x, y, mod);
  SetDirty(true);
}

void IVKnobControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT));
  SetDirty(false);
}

bool IVKnobControl::IsHit(float x, float y) const
{
  return mTargetRECT.Contains(x, y);
}

} // namespace igraphics
