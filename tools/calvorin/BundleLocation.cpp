#include "tools/calvorin/BundleLocation.h"

#include "core/Utf8Path.h"

#include <filesystem>
#include <system_error>

namespace calvorin::cli
{

using iplug::PathFromUtf8;
using iplug::Utf8FromPath;

std::vector<std::string> DefaultBundleCandidates(const std::string& executablePath,
                                                 const std::vector<std::string>& installFolders)
{
  std::vector<std::string> candidates;
  if (!executablePath.empty())
  {
    const std::filesystem::path executableDir = PathFromUtf8(executablePath).parent_path();
    const std::filesystem::path buildDir = executableDir.parent_path().parent_path();
    candidates.push_back(Utf8FromPath((buildDir / kBundleName).lexically_normal()));
    candidates.push_back(Utf8FromPath((executableDir / kBundleName).lexically_normal()));
  }
  for (const std::string& folder : installFolders)
    candidates.push_back(Utf8FromPath(PathFromUtf8(folder) / kBundleName));
  return candidates;
}

std::optional<std::string> FindBundle(const std::optional<std::string>& explicitPath,
                                      const std::vector<std::string>& candidates, std::string& error)
{
  std::error_code ec;
  if (explicitPath)
  {
    if (std::filesystem::exists(PathFromUtf8(*explicitPath), ec))
      return explicitPath;
    error = "bundle '" + *explicitPath + "' does not exist";
    return std::nullopt;
  }
  for (const std::string& candidate : candidates)
    if (std::filesystem::exists(PathFromUtf8(candidate), ec))
      return candidate;
  error = std::string("no ") + kBundleName + " found";
  for (size_t i = 0; i < candidates.size(); ++i)
    error += (i ? ", " : " (looked at ") + candidates[i];
  error += candidates.empty() ? "; pass --bundle PATH" : "); pass --bundle PATH";
  return std::nullopt;
}

} // namespace calvorin::cli
