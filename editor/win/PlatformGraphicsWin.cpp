#include "editor/PlatformGraphics.h"

#include "graphics/win/IGraphicsWin.h"

namespace igraphics
{

std::unique_ptr<IGraphics> MakePlatformGraphics(iplug::IEditorDelegate& dlg, int width, int height, int fps,
                                                float scale)
{
  return std::make_unique<IGraphicsWin>(dlg, width, height, fps, scale);
}

} // namespace igraphics
