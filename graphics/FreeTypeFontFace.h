#pragma once

// A cairo font face made straight from a font file's bytes with FreeType, with
// no system font lookup: a plug-in carries its own font.

#include <cstddef>

struct _cairo_font_face;

namespace igraphics
{

// A new face (one reference, for the caller to destroy with
// cairo_font_face_destroy), or nullptr when FreeType cannot read the bytes.
// The bytes are copied. The face owns its FreeType face and library and
// releases them when cairo drops its last reference, which may be later
// than the caller's destroy while glyphs of it are cached.
_cairo_font_face* CreateFreeTypeFontFace(const unsigned char* data, std::size_t size);

} // namespace igraphics
