#pragma once

#include "graphics/IGraphics.h"

#include <memory>

namespace igraphics
{

// The drawing context with this platform's window: what a plug-in's
// make-context function returns.
std::unique_ptr<IGraphics> MakeGraphics(iplug::IEditorDelegate& dlg, int w, int h, int fps = 60, float scale = 1.f);

} // namespace igraphics
