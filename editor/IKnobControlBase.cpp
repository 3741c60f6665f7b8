#include "editor/IKnobControlBase.h"

#include "core/IParam.h"
#include "graphics/IGraphics.h"

#include <algorithm>
#include <cmath>

namespace igraphics
{

IKnobControlBase::IKnobControlBase(const IBounds& bounds, int paramIdx, EDirection direction, double gearing)
  : IControl(bounds, paramIdx)
  , mDirection(direction)
  , mGearing(gearing)
{
}

void IKnobControlBase::OnMouseDown(float x, float y, const IMouseKeys& mod)
{
  mMouseDown = true;
  mMouseDragValue = GetValue();
  if (mHideCursorOnDrag && GetUI())
    GetUI()->HideMouseCursor(true, true);
  IControl::OnMouseDown(x, y, mod);
}

void IKnobControlBase::OnMouseUp(float /*x*/, float /*y*/, const IMouseKeys& /*mod*/)
{
  if (mHideCursorOnDrag && GetUI())
    GetUI()->HideMouseCursor(false);
  mMouseDown = false;
  SetDirty(false);
}

void IKnobControlBase::OnMouseDrag(float /*x*/, float /*y*/, float dX, float dY, const IMouseKeys& mod)
{
  const double gearing = (mod.S || mod.C) ? mGearing * 10.0 : mGearing;
  const IBounds span = GetKnobDragBounds();
  double delta = 0.0;
  if (mDirection == EDirection::Vertical)
    delta = span.H() != 0.f ? static_cast<double>(dY) / static_cast<double>(span.T - span.B) / gearing : 0.0;
  else
    delta = span.W() != 0.f ? static_cast<double>(dX) / static_cast<double>(span.R - span.L) / gearing : 0.0;
  ApplyDrag(delta);
}

void IKnobControlBase::ApplyDrag(double delta)
{
  mMouseDragValue = std::clamp(mMouseDragValue + delta, 0.0, 1.0);
  double value = mMouseDragValue;
  // Stepped parameters show the quantised value while the drag keeps
  // accumulating the fine one, so slow drags still cross a step.
  if (const iplug::IParam* param = GetParam(); param && param->GetStepped() && param->GetStep() > 0.0)
    value = param->RealToNorm(param->FitToRange(param->NormToReal(value)));
  SetValue(value);
  SetDirty(true);
}

void IKnobControlBase::OnMouseWheel(float /*x*/, float /*y*/, const IMouseKeys& mod, float delta)
{
  const double gearing = (mod.S || mod.C) ? 0.001 : 0.01;
  double value = GetValue();
  const iplug::IParam* param = GetParam();
  if (param && param->GetStepped() && param->GetStep() > 0.0)
  {
    if (delta != 0.f)
    {
      const double step = delta > 0.f ? param->GetStep() : -param->GetStep();
      value = param->RealToNorm(param->FitToRange(param->NormToReal(value) + step));
    }
  }
  else
    value += gearing * static_cast<double>(delta);
  SetValue(value);
  SetDirty(true);
}

} // namespace igraphics
