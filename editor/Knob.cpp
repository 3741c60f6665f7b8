#include "editor/Knob.h"

#include "core/IParam.h"
#include "editor/ColorShift.h"
#include "graphics/IGraphics.h"

#include <algorithm>

namespace igraphics
{

namespace
{
constexpr float kLabelHeight = 16.f;
} // namespace

Knob::Knob(const IBounds& bounds, int paramIdx, const IVLook& look, const char* label, bool bipolar)
  : IVKnobControl(bounds, paramIdx, label, look)
  , mBipolar(bipolar ? 1 : 0)
{
  mTrackSize = std::min(bounds.W(), bounds.H()) / 20.f;
  if (mBipolar == 1)
    mAnchorAngle = 0.f;
}

void Knob::OnMouseDrag(float x, float y, float dX, float dY, const IMouseKeys& mod)
{
  if (mInvert)
    IVKnobControl::OnMouseDrag(x, y, -dX, -dY, mod);
  else
    IVKnobControl::OnMouseDrag(x, y, dX, dY, mod);
}

void Knob::OnResize()
{
  mWidgetBounds = IBounds(mRECT.L, mRECT.T, mRECT.R, mRECT.B - kLabelHeight);
  mLabelBounds = IBounds(mRECT.L, mRECT.B - 18.f, mRECT.R, mRECT.B - 2.f);
  SetDirty(false);
}

void Knob::Draw(IGraphics& g)
{
  DrawLabel(g);
  DrawWidget(g);
}

void Knob::DrawLabel(IGraphics& g)
{
  if (!(mLabelBounds.H() > 0.f) || !mStyle.showLabel)
    return;
  const std::string label = LabelText();
  ITextStyle shadow = mStyle.labelText;
  shadow.mFGColor = COLOR_BLACK;
  g.DrawText(shadow, label.c_str(), mLabelBounds.GetTranslated(0.f, 1.f), &GetBlend());
  ITextStyle text = mStyle.labelText;
  text.mFGColor = GetColor(kX1);
  g.DrawText(text, label.c_str(), mLabelBounds, &GetBlend());
}

std::string Knob::LabelText() const
{
  const iplug::IParam* param = GetParam();
  if (!param || !(IsMouseDown() || GetMouseIsOver()))
    return mLabelStr;
  std::string value;
  param->FormatValueWithLabel(value);
  return value;
}

float Knob::TrackRadius() const
{
  return std::min(mWidgetBounds.W(), mWidgetBounds.H()) * 0.5f - mTrackSize * 0.5f;
}

float Knob::CurrentAngle() const
{
  const double v = mInvert ? 1.0 - GetValue() : GetValue();
  return -135.f + 270.f * static_cast<float>(v);
}

void Knob::DrawWidget(IGraphics& g)
{
  const float r = TrackRadius();
  const float cx = mWidgetBounds.MW();
  const float cy = mWidgetBounds.MH();
  DrawIndicatorTrack(g, CurrentAngle(), cx, cy, r);
  const float d = std::max(1.f, 2.f * (r - 4.f));
  DrawPressableShape(g, EVShape::Ellipse, IBounds(cx - d * 0.5f, cy - d * 0.5f, cx + d * 0.5f, cy + d * 0.5f),
                     mMouseDown, GetMouseIsOver(), IsDisabled());
}

void Knob::DrawIndicatorTrack(IGraphics& g, float a, float cx, float cy, float r)
{
  const float t = mTrackSize;
  const IColor& c0 = GetColor(kBG);
  const IColor& c6 = GetColor(kX1);
  const float bodyRadius = r - 1.5f * t;
  const float capRadius = r - 3.f * t;
  const float gradTop = cy - (r + t);
  const float gradBottom = cy + r + t;

  // Groove.
  g.PathClear();
  g.PathArc(cx, cy, r, -135.f, 135.f);
  g.PathStroke(IFill::LinearGradient(cx, gradTop, cx, gradBottom, {{ShiftedColor(c0, -51), 0.f}, {c0, 1.f}}), t);

  // Value arc (none when the value sits on the anchor).
  const float a1 = std::min(a, mAnchorAngle);
  const float a2 = std::max(a, mAnchorAngle);
  if (a2 > a1)
    g.DrawArc(c6, cx, cy, r, a1, a2, nullptr, t / 3.f);

  // Body.
  g.PathClear();
  g.PathCircle(cx, cy, bodyRadius);
  g.PathFill(IFill::LinearGradient(cx, gradTop, cx, gradBottom, {{ShiftedColor(c0, 25), 0.f}, {c0, 1.f}}));

  // Pointer.
  g.DrawRadialLine(c6, cx, cy, a, capRadius, 0.95f * bodyRadius, nullptr, 2.f);

  // Cap shadow.
  const float shadowY = cy + 3.f * t;
  g.PathClear();
  g.PathCircle(cx, shadowY, r);
  g.PathFill(IFill::RadialGradient(cx, shadowY, r, {{COLOR_BLACK, 0.f}, {COLOR_TRANSPARENT, 1.f}}));

  // Cap rim highlight.
  const IBlendMode add(EBlend::Add, 1.f);
  g.DrawCircle(IColor(84, 255, 255, 255), cx, cy - 1.f, capRadius, &add, 1.f);

  // Cap.
  g.PathClear();
  g.PathCircle(cx, cy, capRadius);
  g.PathFill(IFill::RadialGradient(cx, cy + 6.f * t, 2.f * r, {{ShiftedColor(c0, 12), 0.f}, {c0, 1.f}}));

  // Body outline.
  g.DrawCircle(IColor(51, 0, 0, 0), cx, cy, bodyRadius, nullptr, 2.f);
}

} // namespace igraphics
