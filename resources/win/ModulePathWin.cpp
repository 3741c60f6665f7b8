#include "resources/ModulePath.h"

#include <windows.h>

#include <string>

namespace igraphics
{

std::filesystem::path ThisModulePath()
{
  // The module that holds this function's code, without taking a reference.
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ThisModulePath), &module))
    return {};
  // The name is cut to the buffer when it does not fit: grow until it does.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD units = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
    if (units == 0)
      return {};
    if (units < name.size()) {
      name.resize(units);
      return std::filesystem::path(name);
    }
    if (name.size() >= 32768) // the longest path Windows has
      return {};
    name.resize(name.size() * 2);
  }
}

} // namespace igraphics
