#pragma once

// Momentary button: a press sets value 1 and runs the action; the value
// returns to 0 when the action's animation ends.

#include "graphics/IControl.h"

namespace igraphics
{

class IButtonControlBase : public IControl
{
public:
  IButtonControlBase(const IBounds& bounds, ActionFunc action);

  void OnMouseDown(float x, float y, const IMouseKeys& mod) override;
  void OnEndAnimation() override;
};

} // namespace igraphics
