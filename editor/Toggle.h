#pragma once

// The bypass switch: a pill outline that brightens under the mouse, filled
// while on, with the off text drawn across it in both states.

#include "editor/IVToggleControl.h"

namespace igraphics
{

class Toggle : public IVToggleControl
{
public:
  Toggle(const IBounds& bounds, int paramIdx, const IVLook& look, const char* offText, const char* onText);

  void OnResize() override;
  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;

private:
  // Alternative circular layouts, never shown by this editor.
  bool mCircular = false;
  bool mTextInside = false;
};

} // namespace igraphics
