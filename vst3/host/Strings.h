#pragma once

// Text conversions at the host boundary: UTF-16 strings from the plug-in,
// fixed-size 8-bit fields, and the 32-character form of class identifiers.
// Every read is bounded by the buffer size, so a missing terminator never
// runs past the field.

#include "vst3/abi/Types.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vst3host
{

// UTF-16 to UTF-8, reading at most maxUnits units or up to the first NUL.
// Both directions are the plug-in side's codec (vst3/base/StringConvert.h),
// with its rule for malformed input: U+FFFD.
std::string Utf16ToUtf8(const vst3::char16* text, std::size_t maxUnits);

template <std::size_t N>
std::string Utf16ToUtf8(const vst3::char16 (&field)[N])
{
  return Utf16ToUtf8(field, N);
}

std::u16string Utf8ToUtf16(std::string_view text);

// Writes text into a NUL-terminated UTF-16 buffer of `units` units,
// truncating; returns false when it had to truncate.
bool CopyToUtf16(std::string_view utf8, vst3::char16* out, std::size_t units);

// An 8-bit, zero-padded field that may lack its terminator.
std::string FixedString(const char* field, std::size_t size);

template <std::size_t N>
std::string FixedString(const char (&field)[N])
{
  return FixedString(field, N);
}

// The 32-character upper-case form hosts store in projects. It reads the
// sixteen bytes by this platform's layout (a GUID on Windows, four
// big-endian words elsewhere), so the same four words give the same text on
// every platform.
std::string UidToString(const char* bytes16);

// Parses the 32-character form into this platform's sixteen bytes.
bool UidFromString(std::string_view text, char* bytes16);

} // namespace vst3host
