#include "editor/ISVGControl.h"

#include "graphics/IGraphics.h"

namespace igraphics
{

ISVGControl::ISVGControl(const IBounds& bounds, const ISVG& svg)
  : IControl(bounds)
  , mSVG(svg)
{
}

void ISVGControl::Draw(IGraphics& g)
{
  g.DrawSVG(mSVG, mRECT, &GetBlend());
}

} // namespace igraphics
