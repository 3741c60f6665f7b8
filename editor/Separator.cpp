#include "editor/Separator.h"

#include "graphics/IGraphics.h"

namespace igraphics
{

namespace
{
const IColor kGroove(127, 0, 0, 0);
const IColor kHighlight(25, 255, 255, 255);
} // namespace

Separator::Separator(const IBounds& bounds)
  : IControl(bounds)
{
}

void Separator::Draw(IGraphics& g)
{
  const IBounds& r = mRECT;
  if (mVertical)
  {
    g.DrawLine(kHighlight, r.R - 1.f, r.T, r.R - 1.f, r.B, nullptr, 1.f);
    g.DrawLine(kGroove, r.R, r.T, r.R, r.B, nullptr, 2.f);
  }
  else
  {
    g.DrawLine(kGroove, r.L, r.B - 1.f, r.R, r.B - 1.f, nullptr, 2.f);
    g.DrawLine(kHighlight, r.L, r.B, r.R, r.B, nullptr, 1.f);
  }
}

} // namespace igraphics
