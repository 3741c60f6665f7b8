#pragma once

// Conversions between the 8-bit strings of this code base and the UTF-16
// strings of the binary interface. Every reader of host text takes a bound,
// because hosts may hand over buffers without a terminator.

#include "vst3/abi/Types.h"

#include <string>
#include <string_view>

namespace vst3
{

// Number of units before the first NUL, at most maxUnits.
int32 BoundedLength16(const TChar* s, int32 maxUnits);

// Each byte becomes one UTF-16 unit, sign-extended as a plain char is; at most
// dstUnits - 1 units are written, then a terminator. dstUnits must be > 0.
void WidenBytes(const char* src, TChar* dst, int32 dstUnits);

// strncpy semantics: copies up to size bytes including the NUL and zero-fills
// the rest; a source of size bytes or more is not terminated.
void CopyBounded8(char* dst, const char* src, int32 size);

// Keeps the low byte of each unit: at most dstSize - 1 bytes, then a NUL.
void NarrowLowBytes(const TChar* src, int32 maxSrcUnits, char* dst, int32 dstSize);

// The one UTF-8 <-> UTF-16 codec of the code base, plug-in and host side.
// Malformed input never stops a conversion: an unpaired surrogate, and each
// malformed UTF-8 sequence (cut short, overlong, a surrogate, past U+10FFFF, a
// stray byte), becomes one U+FFFD, and no read goes past the given length.

// UTF-16 (at most maxUnits, stopping at a NUL) to UTF-8.
std::string Utf16ToUtf8(const TChar* src, int32 maxUnits);

// UTF-8 to UTF-16.
std::u16string Utf8ToUtf16(std::string_view src);

// UTF-8 to UTF-16 into a buffer of dstUnits units. Succeeds only when the
// result and its terminator fit; otherwise writes nothing and returns false.
bool Utf8ToUtf16(std::string_view src, TChar* dst, int32 dstUnits);

// Copies a UTF-16 string into a 128-unit buffer, truncating to 127 units.
void CopyToString128(std::u16string_view src, TChar* dst);

} // namespace vst3
