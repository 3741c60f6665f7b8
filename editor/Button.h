#pragma once

// A momentary button of the preset selector: only its label is drawn.

#include "editor/IVButtonControl.h"

namespace igraphics
{

class Button : public IVButtonControl
{
public:
  Button(const IBounds& bounds, ActionFunc action, const char* label, const IVLook& look);

  void Draw(IGraphics& g) override;
};

} // namespace igraphics
