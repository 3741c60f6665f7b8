#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace igraphics
{

// The folder Contents/Resources/ of the bundle this module was loaded from
// (found from the module's own path), or an empty string when the module does
// not sit in a bundle.
std::string BundleResourcesFolder();

// A resource by file name: first a file of that name in the bundle's
// Contents/Resources/, then the bytes built into the module. Names with a path
// separator or "..", which could reach outside the folder, are only looked up
// among the built-in bytes. nullopt when neither exists.
std::optional<std::vector<unsigned char>> LoadResource(std::string_view fileName);

} // namespace igraphics
