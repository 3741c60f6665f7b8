#include "resources/ModulePath.h"

#include <dlfcn.h>

namespace igraphics
{

std::filesystem::path ThisModulePath()
{
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ThisModulePath), &info) == 0 || info.dli_fname == nullptr)
    return {};
  return info.dli_fname;
}

} // namespace igraphics
