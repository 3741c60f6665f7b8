#include "resources/ResourceLookup.h"

#include "core/Utf8Path.h"
#include "resources/EmbeddedResources.h"
#include "resources/ModulePath.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace igraphics
{

using iplug::PathFromUtf8;
using iplug::Utf8FromPath;

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
