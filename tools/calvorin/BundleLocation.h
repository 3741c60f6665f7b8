#pragma once

#include <optional>
#include <string>
#include <vector>

namespace calvorin::cli
{

constexpr const char* kBundleName = "Calvorin.vst3";

// Where to look for the bundle when --bundle is not given, in order: the
// build tree the executable sits in (build/<config>/tools/calvorin/calvorin
// next to build/<config>/Calvorin.vst3), the executable's own folder (as the
// Windows package holds both), then each VST 3 install folder. UTF-8 paths.
std::vector<std::string> DefaultBundleCandidates(const std::string& executablePath,
                                                 const std::vector<std::string>& installFolders);

// The explicit path when given (it must exist), else the first existing
// default candidate. nullopt with a message naming what was tried otherwise.
std::optional<std::string> FindBundle(const std::optional<std::string>& explicitPath,
                                      const std::vector<std::string>& candidates, std::string& error);

} // namespace calvorin::cli
