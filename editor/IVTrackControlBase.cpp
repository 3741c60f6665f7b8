#include "editor/IVTrackControlBase.h"

#include "graphics/IGraphics.h"

namespace igraphics
{

IVTrackControlBase::IVTrackControlBase(const IBounds& bounds, const char* label, const IVLook& look, int numValues,
                                       EDirection direction, std::initializer_list<int> params)
  : IControl(bounds)
  , IVectorBase(this, look)
  , mDirection(direction)
  , mTrackBounds(static_cast<size_t>(numValues))
{
  SetLabelStr(label);
  SetNVals(numValues);
  int valIdx = 0;
  for (int paramIdx : params)
  {
    if (valIdx >= numValues)
      break;
    SetParamIdx(paramIdx, valIdx++);
  }
}

int IVTrackControlBase::GetValIdxForPos(float x, float y) const
{
  for (size_t i = 0; i < mTrackBounds.size(); ++i)
  {
    if (mTrackBounds[i].Contains(x, y))
      return static_cast<int>(i);
  }
  return -1;
}

void IVTrackControlBase::OnResize()
{
  SetTargetRECT(MakeRects(mRECT));
  MakeTrackRects(mWidgetBounds);
  SetDirty(false);
}

void IVTrackControlBase::OnMouseOver(float x, float y, const IMouseKeys& /*mod*/)
{
  mMouseOverTrack = GetValIdxForPos(x, y);
  SetDirty(false);
}

void IVTrackControlBase::OnMouseOut()
{
  mMouseOverTrack = -1;
  SetDirty(false);
}

void IVTrackControlBase::DrawWidget(IGraphics& g)
{
  for (int ch = 0; ch < NVals(); ++ch)
    DrawTrack(g, mTrackBounds[static_cast<size_t>(ch)], ch);
}

void IVTrackControlBase::MakeTrackRects(const IBounds& bounds)
{
  const size_t n = mTrackBounds.size();
  if (n == 0)
    return;
  for (size_t i = 0; i < n; ++i)
  {
    const float f0 = static_cast<float>(i) / static_cast<float>(n);
    const float f1 = static_cast<float>(i + 1) / static_cast<float>(n);
    if (mDirection == EDirection::Vertical)
      mTrackBounds[i] = IBounds(bounds.L + bounds.W() * f0, bounds.T, bounds.L + bounds.W() * f1, bounds.B);
    else
      mTrackBounds[i] = IBounds(bounds.L, bounds.T + bounds.H() * f0, bounds.R, bounds.T + bounds.H() * f1);
  }
}

void IVTrackControlBase::DrawTrack(IGraphics& g, const IBounds& r, int chIdx)
{
  g.FillRect(GetColor(kBG), r, &GetBlend());
  const float v = static_cast<float>(GetValue(chIdx));
  IBounds fill = r;
  if (mDirection == EDirection::Vertical)
    fill.T = r.B - r.H() * v;
  else
    fill.R = r.L + r.W() * v;
  g.FillRect(GetColor(kX1), fill, &GetBlend());
}

} // namespace igraphics
