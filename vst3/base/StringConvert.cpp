#include "vst3/base/StringConvert.h"

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
      c = 0xFFFD;
    }
    if (c < 0x80)
    {
      out += static_cast<char>(c);
    }
    else if (c < 0x800)
    {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace
{
// Decodes one UTF-8 sequence at s[i]; malformed input yields U+FFFD and
// consumes one byte.
char32_t DecodeUtf8(std::string_view s, size_t& i)
{
  const auto b0 = static_cast<unsigned char>(s[i]);
  int extra = 0;
  char32_t c = 0;
  if (b0 < 0x80)
  {
    ++i;
    return b0;
  }
  if ((b0 & 0xE0) == 0xC0) { extra = 1; c = b0 & 0x1F; }
  else if ((b0 & 0xF0) == 0xE0) { extra = 2; c = b0 & 0x0F; }
  else if ((b0 & 0xF8) == 0xF0) { extra = 3; c = b0 & 0x07; }
  else
  {
    ++i;
    return 0xFFFD;
  }
  if (i + extra >= s.size())
  {
    ++i;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k)
  {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80)
    {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (b & 0x3F);
  }
  i += extra + 1;
  if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
    return 0xFFFD;
  return c;
}
} // namespace

bool Utf8ToUtf16(std::string_view src, TChar* dst, int32 dstUnits)
{
  if (!dst || dstUnits <= 0)
    return false;
  std::u16string out;
  for (size_t i = 0; i < src.size();)
  {
    const char32_t c = DecodeUtf8(src, i);
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
