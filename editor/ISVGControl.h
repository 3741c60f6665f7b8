#pragma once

// Draws one parsed SVG image scaled into its rectangle.

#include "graphics/IControl.h"
#include "graphics/ISVG.h"

namespace igraphics
{

class ISVGControl : public IControl
{
public:
  ISVGControl(const IBounds& bounds, const ISVG& svg);

  void Draw(IGraphics& g) override;

private:
  ISVG mSVG;
};

} // namespace igraphics
