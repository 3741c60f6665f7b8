#include "graphics/ResourceCache.h"

#include "graphics/SVGDocument.h"
#include "graphics/SVGParser.h"
#include "resources/ResourceLookup.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string_view>
#include <vector>

namespace igraphics
{

float ISVG::W() const { return mDoc ? static_cast<float>(mDoc->width) : 0.f; }
float ISVG::H() const { return mDoc ? static_cast<float>(mDoc->height) : 0.f; }

// A FreeType face over bytes we own, and the cairo face made from it.
struct FontEntry
{
  std::vector<unsigned char> bytes;
  FT_Face ftFace = nullptr;
  cairo_font_face_t* cairoFace = nullptr;
};

ResourceCache& ResourceCache::Get()
{
  // Never destroyed: editors in other threads' static destructors may still draw.
  static ResourceCache* instance = new ResourceCache();
  return *instance;
}

ResourceCache::ResourceCache()
{
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) == 0)
    mFTLibrary = lib;
}

ResourceCache::~ResourceCache() = default;

bool ResourceCache::AddFontLocked(const std::string& name, std::unique_ptr<FontEntry> entry)
{
  if (!mFTLibrary || entry->bytes.empty())
    return false;
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(static_cast<FT_Library>(mFTLibrary), entry->bytes.data(),
                         static_cast<FT_Long>(entry->bytes.size()), 0, &face) != 0)
    return false;
  cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
  if (cairo_font_face_status(cf) != CAIRO_STATUS_SUCCESS)
  {
    cairo_font_face_destroy(cf);
    FT_Done_Face(face);
    return false;
  }
  entry->ftFace = face;
  entry->cairoFace = cf;
  mFonts.emplace(name, std::move(entry));
  return true;
}

bool ResourceCache::LoadFont(const std::string& name, const std::string& fileName)
{
  std::lock_guard<std::mutex> lock(mMutex);
  if (mFonts.count(name))
    return true;
  auto bytes = LoadResource(fileName);
  if (!bytes)
    return false;
  auto entry = std::make_unique<FontEntry>();
  entry->bytes = std::move(*bytes);
  return AddFontLocked(name, std::move(entry));
}

bool ResourceCache::LoadFontFromMemory(const std::string& name, const unsigned char* data, std::size_t size)
{
  std::lock_guard<std::mutex> lock(mMutex);
  if (mFonts.count(name))
    return true;
  if (!data || size == 0)
    return false;
  auto entry = std::make_unique<FontEntry>();
  entry->bytes.assign(data, data + size);
  return AddFontLocked(name, std::move(entry));
}

_cairo_font_face* ResourceCache::FindFont(const std::string& name)
{
  std::lock_guard<std::mutex> lock(mMutex);
  auto it = mFonts.find(name);
  return it == mFonts.end() ? nullptr : it->second->cairoFace;
}

namespace
{

std::shared_ptr<const SVGDocument> ReadSVG(const unsigned char* data, std::size_t size, float dpi)
{
  if (!data || size == 0)
    return nullptr;
  std::string error; // a malformed image is simply not there; its control draws nothing
  auto doc = ParseSVG(std::string_view(reinterpret_cast<const char*>(data), size), dpi, error);
  if (!doc)
    return nullptr;
  return std::make_shared<const SVGDocument>(std::move(*doc));
}

} // namespace

ISVG ResourceCache::LoadSVG(const std::string& fileName, const std::string& /*units*/, float dpi)
{
  std::lock_guard<std::mutex> lock(mMutex);
  auto it = mSVGs.find(fileName);
  if (it != mSVGs.end())
    return it->second;
  auto bytes = LoadResource(fileName);
  if (!bytes)
    return {};
  ISVG svg(ReadSVG(bytes->data(), bytes->size(), dpi));
  if (svg.IsValid())
    mSVGs.emplace(fileName, svg);
  return svg;
}

ISVG ResourceCache::LoadSVGFromMemory(const std::string& cacheName, const unsigned char* data, std::size_t size, float dpi)
{
  std::lock_guard<std::mutex> lock(mMutex);
  auto it = mSVGs.find(cacheName);
  if (it != mSVGs.end())
    return it->second;
  ISVG svg(ReadSVG(data, size, dpi));
  if (svg.IsValid())
    mSVGs.emplace(cacheName, svg);
  return svg;
}

} // namespace igraphics
