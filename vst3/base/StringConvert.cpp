#include "vst3/base/StringConvert.h"

#include "core/Utf8Encode.h"

#include <algorithm>
#include <cstring>

namespace vst3
{

int32 BoundedLength16(const TChar* s, int32 maxUnits)
{
  if (!s)
    return 0;
  int32 n = 0;
  while (n < maxUnits && s[n] != 0)
    ++n;
  return n;
}

void WidenBytes(const char* src, TChar* dst, int32 dstUnits)
{
  if (!dst || dstUnits <= 0)
    return;
  int32 i = 0;
  if (src)
  {
    for (; i < dstUnits - 1 && src[i] != 0; ++i)
      dst[i] = static_cast<TChar>(static_cast<int16>(static_cast<signed char>(src[i])));
  }
  dst[i] = 0;
}

void CopyBounded8(char* dst, const char* src, int32 size)
{
  int32 i = 0;
  if (src)
  {
    for (; i < size && src[i] != 0; ++i)
      dst[i] = src[i];
  }
  for (; i < size; ++i)
    dst[i] = 0;
}

void NarrowLowBytes(const TChar* src, int32 maxSrcUnits, char* dst, int32 dstSize)
{
  if (!dst || dstSize <= 0)
    return;
  const int32 n = std::min(BoundedLength16(src, maxSrcUnits), dstSize - 1);
  for (int32 i = 0; i < n; ++i)
    dst[i] = static_cast<char>(src[i] & 0xFF);
  dst[n] = 0;
}

namespace
{

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t c)
{
  if (c >= 0x10000)
  {
    out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
  else
  {
    out += static_cast<char16_t>(c);
  }
}

// Decodes the sequence at s[i] and moves i past what it used. A malformed
// sequence (a stray continuation byte, a lead byte without enough continuation
// bytes, an overlong form, a surrogate, a value past U+10FFFF) gives one U+FFFD
// for its longest well-formed start, at least one byte; nothing past the end of
// s is read.
char32_t DecodeUtf8(std::string_view s, size_t& i)
{
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80)
    return lead;
  int extra = 0;
  char32_t c = 0;
  // Allowed range of the first continuation byte; it excludes overlong forms,
  // surrogates and values past U+10FFFF. Later ones are 0x80..0xBF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF)
  {
    extra = 1;
    c = lead & 0x1F;
  }
  else if (lead >= 0xE0 && lead <= 0xEF)
  {
    extra = 2;
    c = lead & 0x0F;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  }
  else if (lead >= 0xF0 && lead <= 0xF4)
  {
    extra = 3;
    c = lead & 0x07;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  }
  else
  {
    return kReplacement;
  }
  for (int k = 0; k < extra; ++k)
  {
    if (i >= s.size())
      return kReplacement;
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < low || b > high)
      return kReplacement;
    c = (c << 6) | (b & 0x3F);
    ++i;
    low = 0x80;
    high = 0xBF;
  }
  return c;
}

} // namespace

std::string Utf16ToUtf8(const TChar* src, int32 maxUnits)
{
  std::string out;
  const int32 n = BoundedLength16(src, maxUnits);
  for (int32 i = 0; i < n; ++i)
  {
    char32_t c = src[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && src[i + 1] >= 0xDC00 && src[i + 1] < 0xE000)
    {
      c = 0x10000 + ((c - 0xD800) << 10) + (src[i + 1] - 0xDC00);
      ++i;
    }
    else if (c >= 0xD800 && c < 0xE000)
    {
      c = kReplacement;
    }
    iplug::AppendUtf8(out, c);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view src)
{
  std::u16string out;
  for (size_t i = 0; i < src.size();)
    AppendUtf16(out, DecodeUtf8(src, i));
  return out;
}

bool Utf8ToUtf16(std::string_view src, TChar* dst, int32 dstUnits)
{
  if (!dst || dstUnits <= 0)
    return false;
  const std::u16string out = Utf8ToUtf16(src);
  if (static_cast<int64>(out.size()) >= dstUnits)
    return false;
  std::copy(out.begin(), out.end(), dst);
  dst[out.size()] = 0;
  return true;
}

void CopyToString128(std::u16string_view src, TChar* dst)
{
  const size_t n = std::min<size_t>(src.size(), 127);
  std::copy_n(src.begin(), n, dst);
  std::fill(dst + n, dst + 128, TChar(0));
}

} // namespace vst3
