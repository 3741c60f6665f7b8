#pragma once

// Vector-drawn momentary button. Its default action plays a 100 ms click
// splash; work that should follow the click goes in the animation-end function.

#include "editor/IButtonControlBase.h"
#include "editor/IVectorBase.h"

namespace igraphics
{

inline constexpr int kClickSplashMs = 100;

// Starts the click splash at the last press position.
void SplashClickAction(IControl* caller);

class IVButtonControl : public IButtonControlBase, public IVectorBase
{
public:
  IVButtonControl(const IBounds& bounds, ActionFunc action, const char* label, const IVLook& look,
                  bool labelInButton = true, bool valueInButton = true, EVShape shape = EVShape::Rectangle);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  void OnResize() override;
  bool IsHit(float x, float y) const override;
};

} // namespace igraphics
