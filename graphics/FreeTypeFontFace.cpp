#include "graphics/FreeTypeFontFace.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

namespace igraphics
{

namespace
{

// What a face needs for as long as cairo uses it. Each face has a library of
// its own: a FreeType library may not be used from two threads at once, and
// cairo locks per face.
struct FreeTypeHolder
{
  std::vector<unsigned char> bytes;
  FT_Library library = nullptr;
  FT_Face face = nullptr;

  ~FreeTypeHolder()
  {
    if (face)
      FT_Done_Face(face);
    if (library)
      FT_Done_FreeType(library);
  }
};

const cairo_user_data_key_t kHolderKey{};

void DestroyHolder(void* holder)
{
  delete static_cast<FreeTypeHolder*>(holder);
}

} // namespace

cairo_font_face_t* CreateFreeTypeFontFace(const unsigned char* data, std::size_t size)
{
  if (!data || size == 0)
    return nullptr;
  auto* holder = new FreeTypeHolder;
  holder->bytes.assign(data, data + size);
  if (FT_Init_FreeType(&holder->library) != 0 ||
      FT_New_Memory_Face(holder->library, holder->bytes.data(), static_cast<FT_Long>(holder->bytes.size()), 0,
                         &holder->face) != 0)
  {
    delete holder;
    return nullptr;
  }
  cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(holder->face, 0);
  if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(face, &kHolderKey, holder, DestroyHolder) != CAIRO_STATUS_SUCCESS)
  {
    cairo_font_face_destroy(face);
    delete holder;
    return nullptr;
  }
  return face;
}

} // namespace igraphics
