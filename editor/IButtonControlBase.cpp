#include "editor/IButtonControlBase.h"

namespace igraphics
{

IButtonControlBase::IButtonControlBase(const IBounds& bounds, ActionFunc action)
  : IControl(bounds, kNoParameter, std::move(action))
{
  // Two quick clicks are two presses.
  SetDblAsSingleClick(true);
}

void IButtonControlBase::OnMouseDown(float /*x*/, float /*y*/, const IMouseKeys& /*mod*/)
{
  SetValue(1.0);
  SetDirty(true);
}

void IButtonControlBase::OnEndAnimation()
{
  SetValue(0.0);
  IControl::OnEndAnimation();
}

} // namespace igraphics
