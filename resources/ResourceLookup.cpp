#include "resources/ResourceLookup.h"

#include "resources/EmbeddedResources.h"
#include "resources/ModulePath.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace igraphics
{

namespace
{

// A name that must be a plain file name inside the resource folder.
bool IsPlainFileName(std::string_view name)
{
  if (name.empty() || name == "." || name == "..")
    return false;
  return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos;
}

std::optional<std::vector<unsigned char>> ReadWholeFile(const std::filesystem::path& path)
{
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad())
    return std::nullopt;
  return bytes;
}

// UTF-8 text and the file system's own path type (wide on Windows).
std::filesystem::path PathFromUtf8(std::string_view utf8)
{
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8FromPath(const std::filesystem::path& path)
{
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

} // namespace

std::string BundleResourcesFolder()
{
  // <bundle>/Contents/<arch>/<module> -> <bundle>/Contents/Resources
  const std::filesystem::path module = ThisModulePath();
  if (module.empty())
    return {};
  const std::filesystem::path contents = module.parent_path().parent_path();
  if (contents.filename() != "Contents")
    return {};
  return Utf8FromPath(contents / "Resources");
}

std::optional<std::vector<unsigned char>> LoadResource(std::string_view fileName)
{
  if (IsPlainFileName(fileName))
  {
    const std::string folder = BundleResourcesFolder();
    if (!folder.empty())
    {
      if (auto bytes = ReadWholeFile(PathFromUtf8(folder) / PathFromUtf8(fileName)))
        return bytes;
    }
  }

  const ResourceView view = FindEmbeddedResource(fileName);
  if (view.Empty())
    return std::nullopt;
  return std::vector<unsigned char>(view.data, view.data + view.size);
}

} // namespace igraphics
