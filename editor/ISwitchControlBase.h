#pragma once

// Base of switches: each press steps the value through its states and wraps.

#include "graphics/IControl.h"

namespace igraphics
{

class ISwitchControlBase : public IControl
{
public:
  ISwitchControlBase(const IBounds& bounds, int paramIdx = kNoParameter, ActionFunc action = nullptr,
                     int numStates = 2);

  void OnInit() override;
  void OnMouseDown(float x, float y, const IMouseKeys& mod) override;
  void OnMouseUp(float x, float y, const IMouseKeys& mod) override;

  int GetNumStates() const { return mNumStates; }
  int GetSelectedIdx() const;

protected:
  int mNumStates;
  bool mMouseDown = false;
};

} // namespace igraphics
