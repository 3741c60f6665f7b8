#pragma once

// A picture of a plug-in's editor as a PNG file, through the editor view's
// own snapshot interface (Calvorin's views offer it; no window is opened and
// no X server is needed). UI thread of the host.

#include "vst3/host/PluginInstance.h"

#include <string>

namespace vst3host
{

// Creates the "editor" view, gives it the content scale, asks it to write the
// PNG and releases it again. The picture is 680 x 392 editor units times the
// scale in pixels. Returns an empty string on success, otherwise what failed.
std::string RenderEditorSnapshot(PluginInstance& instance, const std::string& path, float scale);

} // namespace vst3host
