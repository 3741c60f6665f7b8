#include "editor/RangeSlider.h"

#include "core/IParam.h"
#include "editor/ColorShift.h"
#include "editor/ValueReadout.h"
#include "graphics/IGraphics.h"

#include <algorithm>
#include <string>

namespace igraphics
{

namespace
{
constexpr float kReadoutGap = 4.f;
} // namespace

RangeSlider::RangeSlider(const IBounds& bounds, const IVLook& look, std::initializer_list<int> params)
  : IVTrackControlBase(bounds, "", look, static_cast<int>(params.size()), EDirection::Vertical, params)
{
  mTrackSize = 2.f;
}

float RangeSlider::LineY(double value) const
{
  const IBounds& track = mWidgetBounds;
  return track.B - track.H() * static_cast<float>(value);
}

IBounds RangeSlider::HandleZone(int valIdx) const
{
  const IBounds& track = mWidgetBounds;
  const float y = LineY(GetValue(valIdx));
  if (valIdx == 0)
    return IBounds(track.L, y, track.R, y + mHandleZoneHeight);
  return IBounds(track.L, y - mHandleZoneHeight, track.R, y);
}

int RangeSlider::HandleAt(float x, float y) const
{
  for (int i = 0; i < NVals(); ++i)
  {
    const IBounds zone = HandleZone(i);
    if (zone.HasArea() && zone.Contains(x, y))
      return i;
  }
  return -1;
}

void RangeSlider::OnMouseOver(float x, float y, const IMouseKeys& /*mod*/)
{
  mSelectedHandle = HandleAt(x, y);
  mMouseOverTrack = GetValIdxForPos(x, y);
  ShowValue(mSelectedHandle);
  SetDirty(false);
}

void RangeSlider::OnMouseOut()
{
  mSelectedHandle = -1;
  mMouseOverTrack = -1;
  ShowValue(-1);
  SetDirty(false);
}

void RangeSlider::ShowValue(int valIdx)
{
  if (!mReadout)
    return;
  const iplug::IParam* param = valIdx >= 0 && valIdx < NVals() ? GetParam(valIdx) : nullptr;
  if (!param)
  {
    mReadout->Dismiss();
    return;
  }
  std::string text;
  param->FormatValueWithLabel(text);
  mReadout->Show(text.c_str(), mRECT.R + kReadoutGap, LineY(GetValue(valIdx)), GetColor(kX1));
}

void RangeSlider::OnMouseDown(float x, float y, const IMouseKeys& mod)
{
  mMouseDown = true;
  mSelectedHandle = HandleAt(x, y);
  OnMouseDrag(x, y, 0.f, 0.f, mod);
}

void RangeSlider::OnMouseUp(float /*x*/, float /*y*/, const IMouseKeys& /*mod*/)
{
  mMouseDown = false;
}

void RangeSlider::OnMouseDrag(float x, float y, float /*dX*/, float /*dY*/, const IMouseKeys& /*mod*/)
{
  const int s = mSelectedHandle;
  if (s < 0 || s >= NVals())
    return;
  const auto [lower, upper] = HandleRoom(s);
  SnapToMouse(x, y, mDirection, mWidgetBounds, s, lower, upper);
  ShowValue(s);
}

std::pair<double, double> RangeSlider::HandleRoom(int valIdx) const
{
  const bool first = valIdx == 0, last = valIdx == NVals() - 1;
  const double below = first ? 0.0 : GetValue(valIdx - 1);
  const double above = last ? 1.0 : GetValue(valIdx + 1);
  const double lower = first ? kMinValue : below + kMinSpacing;
  const double upper = last ? kMaxValue : above - kMinSpacing;
  if (lower <= upper)
    return {lower, upper};
  // A host has placed a neighbour where spacing and limits leave no room: the
  // limits give way, then the spacing, never the neighbour's line or the range.
  const double spacedLower = first ? 0.0 : std::min(below + kMinSpacing, 1.0);
  const double spacedUpper = last ? 1.0 : std::max(above - kMinSpacing, 0.0);
  if (spacedLower <= spacedUpper)
    return {spacedLower, spacedUpper};
  return {below, std::max(below, above)};
}

void RangeSlider::OnMouseDblClick(float x, float y, const IMouseKeys& /*mod*/)
{
  SetValueToDefault(0);
  SetValueToDefault(1);
  mSelectedHandle = HandleAt(x, y); // the lines moved under the pointer
  ShowValue(mSelectedHandle);
}

void RangeSlider::MakeTrackRects(const IBounds& bounds)
{
  for (IBounds& track : mTrackBounds)
    track = bounds;
}

void RangeSlider::DrawTrack(IGraphics& /*g*/, const IBounds& /*r*/, int /*chIdx*/)
{
}

void RangeSlider::Draw(IGraphics& g)
{
  const IBounds& r = mRECT;
  const float cy = r.MH();
  const IColor& c0 = GetColor(kBG);
  g.PathClear();
  g.PathRect(r);
  g.PathFill(IFill::LinearGradient(r.L, cy, r.R, cy, {{ShiftedColor(c0, 5), 0.f}, {c0, 1.f}}));

  for (int i = 0; i + 1 < NVals(); ++i)
  {
    g.FillRect(GetColor(kX1), IBounds(r.L, r.B - r.H() * static_cast<float>(GetValue(i)), r.R, r.B));
    g.FillRect(GetColor(kX1), IBounds(r.L, r.T, r.R, r.T + r.H() * (1.f - static_cast<float>(GetValue(i + 1)))));
  }

  for (int i = 0; i < NVals(); ++i)
    DrawTrack(g, mTrackBounds[static_cast<size_t>(i)], i);
}

} // namespace igraphics
