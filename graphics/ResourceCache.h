#pragma once

#include "graphics/ISVG.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

struct _cairo_font_face;

namespace igraphics
{

// Fonts by name and parsed SVG images by file name, shared by every editor in
// the process. One lock guards both tables; entries live until the process
// ends, so faces handed out stay valid.
class ResourceCache
{
public:
  static ResourceCache& Get();

  // Loads the font file (bundle folder, then built-in bytes) and registers it
  // under name. True when the name is (now) registered.
  bool LoadFont(const std::string& name, const std::string& fileName);
  // Registers a font from bytes; the bytes are copied.
  bool LoadFontFromMemory(const std::string& name, const unsigned char* data, std::size_t size);
  // The face registered under name, or nullptr.
  _cairo_font_face* FindFont(const std::string& name);

  // A second request for the same file name returns the cached image.
  ISVG LoadSVG(const std::string& fileName, const std::string& units = "px", float dpi = 72.f);
  ISVG LoadSVGFromMemory(const std::string& cacheName, const unsigned char* data, std::size_t size, float dpi = 72.f);

private:
  ResourceCache();
  ~ResourceCache();

  bool AddFontLocked(const std::string& name, const unsigned char* data, std::size_t size);

  std::mutex mMutex;
  std::map<std::string, _cairo_font_face*> mFonts;
  std::map<std::string, ISVG> mSVGs;
};

} // namespace igraphics
