#pragma once

// Vector-drawn switch: shows the bound parameter's display text for the
// current state and is hit-tested against its widget.

#include "editor/ISwitchControlBase.h"
#include "editor/IVectorBase.h"

namespace igraphics
{

class IVSwitchControl : public ISwitchControlBase, public IVectorBase
{
public:
  IVSwitchControl(const IBounds& bounds, int paramIdx, const char* label, const IVLook& look, bool valueInButton = true);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  void OnResize() override;
  void OnInit() override;
  bool IsHit(float x, float y) const override;
  void SetDirty(bool triggerAction = true, int valIdx = kNoValIdx) override;

protected:
  // Keeps the value text equal to the parameter's text for the current value.
  void UpdateValueStr();
};

} // namespace igraphics
