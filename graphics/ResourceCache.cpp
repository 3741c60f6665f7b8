#include "graphics/ResourceCache.h"

#include "graphics/CairoStart.h"
#include "graphics/FreeTypeFontFace.h"
#include "graphics/SVGDocument.h"
#include "graphics/SVGParser.h"
#include "resources/ResourceLookup.h"

#include <cairo.h>

#include <string_view>
#include <vector>

namespace igraphics
{

float ISVG::W() const { return mDoc ? static_cast<float>(mDoc->width) : 0.f; }
float ISVG::H() const { return mDoc ? static_cast<float>(mDoc->height) : 0.f; }

ResourceCache& ResourceCache::Get()
{
  // Never destroyed: editors in other threads' static destructors may still draw.
  static ResourceCache* instance = new ResourceCache();
  return *instance;
}

ResourceCache::ResourceCache()
{
  StartCairo(); // before any thread loads through the cache
}
ResourceCache::~ResourceCache() = default;

bool ResourceCache::AddFontLocked(const std::string& name, const unsigned char* data, std::size_t size)
{
  // The cache keeps its reference for the life of the process.
  cairo_font_face_t* face = CreateFreeTypeFontFace(data, size);
  if (!face)
    return false;
  mFonts.emplace(name, face);
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
  return AddFontLocked(name, bytes->data(), bytes->size());
}

bool ResourceCache::LoadFontFromMemory(const std::string& name, const unsigned char* data, std::size_t size)
{
  std::lock_guard<std::mutex> lock(mMutex);
  if (mFonts.count(name))
    return true;
  return AddFontLocked(name, data, size);
}

_cairo_font_face* ResourceCache::FindFont(const std::string& name)
{
  std::lock_guard<std::mutex> lock(mMutex);
  auto it = mFonts.find(name);
  return it == mFonts.end() ? nullptr : it->second;
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
