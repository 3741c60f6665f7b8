#include "resources/ResourceLookup.h"

#include "resources/EmbeddedResources.h"

#include <dlfcn.h>

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

} // namespace

std::string BundleResourcesFolder()
{
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&BundleResourcesFolder), &info) == 0 || info.dli_fname == nullptr)
    return {};
  // <bundle>/Contents/<arch>/<module>.so -> <bundle>/Contents/Resources
  const std::filesystem::path module(info.dli_fname);
  const std::filesystem::path contents = module.parent_path().parent_path();
  if (contents.filename() != "Contents")
    return {};
  return (contents / "Resources").string();
}

std::optional<std::vector<unsigned char>> LoadResource(std::string_view fileName)
{
  if (IsPlainFileName(fileName))
  {
    const std::string folder = BundleResourcesFolder();
    if (!folder.empty())
    {
      if (auto bytes = ReadWholeFile(std::filesystem::path(folder) / std::string(fileName)))
        return bytes;
    }
  }

  const ResourceView view = FindEmbeddedResource(fileName);
  if (view.Empty())
    return std::nullopt;
  return std::vector<unsigned char>(view.data, view.data + view.size);
}

} // namespace igraphics
