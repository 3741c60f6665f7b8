#pragma once

// Builds the plug-in's editor: the drawing surface and the controls on it.

#include "editor/EditorBindings.h"

#include <memory>

namespace iplug
{
class IEditorContext;
class IEditorDelegate;
class IGEditorDelegate;
} // namespace iplug

namespace igraphics
{

class IGraphics;
class PresetControl;

inline constexpr int kEditorWidth = 680;
inline constexpr int kEditorHeight = 392;
inline constexpr int kEditorFPS = 60;

// A drawing surface of 680 x 392 at 60 frames per second, scale 1.
std::unique_ptr<iplug::IEditorContext> MakeEditorContext(iplug::IEditorDelegate& dlg);

// Attaches every control, in drawing order, to a freshly made surface, bound
// as the bindings say. Returns the preset selector.
PresetControl* LayoutEditor(IGraphics& g, const EditorBindings& bindings);

// Installs the make-context and layout functions on the plug-in. Each time
// the layout runs, presetLink points at the new preset selector; it returns
// to nullptr when that selector is deleted with its drawing context.
void InstallEditor(iplug::IGEditorDelegate& plug, const EditorBindings& bindings, PresetControl*& presetLink);

} // namespace igraphics
