#include "tools/calvorin/BundleLocation.h"

#include <filesystem>
#include <system_error>

namespace calvorin::cli
{

std::vector<std::string> DefaultBundleCandidates(const std::string& executablePath, const std::string& home)
{
  namespace fs = std::filesystem;
  std::vector<std::string> candidates;
  if (!executablePath.empty())
  {
    const fs::path buildDir = fs::path(executablePath).parent_path().parent_path().parent_path();
    candidates.push_back((buildDir / kBundleName).lexically_normal().string());
  }
  if (!home.empty())
    candidates.push_back((fs::path(home) / ".vst3" / kBundleName).string());
  return candidates;
}

std::optional<std::string> FindBundle(const std::optional<std::string>& explicitPath,
                                      const std::vector<std::string>& candidates, std::string& error)
{
  std::error_code ec;
  if (explicitPath)
  {
    if (std::filesystem::exists(*explicitPath, ec))
      return explicitPath;
    error = "bundle '" + *explicitPath + "' does not exist";
    return std::nullopt;
  }
  for (const std::string& candidate : candidates)
    if (std::filesystem::exists(candidate, ec))
      return candidate;
  error = std::string("no ") + kBundleName + " found";
  for (size_t i = 0; i < candidates.size(); ++i)
    error += (i ? ", " : " (looked at ") + candidates[i];
  error += candidates.empty() ? "; pass --bundle PATH" : "); pass --bundle PATH";
  return std::nullopt;
}

} // namespace calvorin::cli
