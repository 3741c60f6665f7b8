#include "editor/ISwitchControlBase.h"

#include "core/IParam.h"

#include <algorithm>
#include <cmath>

namespace igraphics
{

ISwitchControlBase::ISwitchControlBase(const IBounds& bounds, int paramIdx, ActionFunc action, int numStates)
  : IControl(bounds, paramIdx, std::move(action))
  , mNumStates(std::max(numStates, 2))
{
  // Each click steps: two quick clicks are two steps, not a reset.
  SetDblAsSingleClick(true);
}

void ISwitchControlBase::OnInit()
{
  if (const iplug::IParam* param = GetParam())
    mNumStates = std::max(2, static_cast<int>(param->GetRange()) + 1);
}

void ISwitchControlBase::OnMouseDown(float /*x*/, float /*y*/, const IMouseKeys& /*mod*/)
{
  if (mNumStates == 2)
    SetValue(GetValue() == 0.0 ? 1.0 : 0.0);
  else
  {
    const double step = 1.0 / static_cast<double>(mNumStates - 1);
    double value = GetValue() + step;
    // The tolerance lets the last state (1 after rounding) survive the sum.
    if (value > 1.0000000000000002)
      value = 0.0;
    SetValue(value);
  }
  mMouseDown = true;
  SetDirty(true);
}

void ISwitchControlBase::OnMouseUp(float /*x*/, float /*y*/, const IMouseKeys& /*mod*/)
{
  mMouseDown = false;
  SetDirty(false);
}

int ISwitchControlBase::GetSelectedIdx() const
{
  return static_cast<int>(std::lround(GetValue() * static_cast<double>(mNumStates - 1)));
}

} // namespace igraphics
