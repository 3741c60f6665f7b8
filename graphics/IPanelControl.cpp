#include "graphics/IPanelControl.h"

#include "graphics/IGraphics.h"

namespace igraphics
{

void IPanelControl::Draw(IGraphics& g)
{
  g.PathClear();
  g.PathRect(mRECT);
  g.PathFill(mFill, {}, &mBlend);
}

} // namespace igraphics
