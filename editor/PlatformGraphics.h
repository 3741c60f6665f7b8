#pragma once

// The drawing context for the platform being built: one that can open a
// window inside the host's, or an offscreen one where no window exists yet.

#include "graphics/IGraphics.h"

#include <memory>

namespace igraphics
{

std::unique_ptr<IGraphics> MakePlatformGraphics(iplug::IEditorDelegate& dlg, int width, int height, int fps,
                                                float scale);

} // namespace igraphics
