#include "editor/PlatformGraphics.h"

#include "graphics/linux/IGraphicsLinux.h"

namespace igraphics
{

std::unique_ptr<IGraphics> MakePlatformGraphics(iplug::IEditorDelegate& dlg, int width, int height, int fps,
                                                float scale)
{
  return std::make_unique<IGraphicsLinux>(dlg, width, height, fps, scale);
}

} // namespace igraphics
