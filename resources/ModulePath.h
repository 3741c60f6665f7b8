#pragma once

// The file of the module (or program) this code was linked into, as the
// platform's loader reports it; platform code in linux/ and win/.

#include <filesystem>

namespace igraphics
{

// Empty when the platform cannot tell.
std::filesystem::path ThisModulePath();

} // namespace igraphics
