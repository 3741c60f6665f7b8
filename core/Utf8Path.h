#pragma once

// Paths travel through the code as UTF-8 strings; these convert them to and
// from the file system's own path type, which is wide on Windows. Building a
// std::filesystem::path from a plain std::string there would read it in the
// ANSI code page and garble every non-ASCII name.

#include <filesystem>
#include <string>
#include <string_view>

namespace iplug
{

inline std::filesystem::path PathFromUtf8(std::string_view utf8)
{
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

// With the platform's separators.
inline std::string Utf8FromPath(const std::filesystem::path& path)
{
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

// With '/' separators on every platform.
inline std::string GenericUtf8FromPath(const std::filesystem::path& path)
{
  const std::u8string text = path.generic_u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

} // namespace iplug
