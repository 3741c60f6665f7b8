#include "vst3/host/Strings.h"

#include "vst3/base/StringConvert.h"

#include <cstring>
#include <limits>

namespace vst3host
{

namespace
{

int HexValue(char c)
{
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

// The four identifier words as this platform stores them.
void UidWords(const unsigned char* b, vst3::uint32 w[4])
{
  auto be = [&](int i) {
    return (vst3::uint32(b[i]) << 24) | (vst3::uint32(b[i + 1]) << 16) | (vst3::uint32(b[i + 2]) << 8) |
           vst3::uint32(b[i + 3]);
  };
#if VST3_COM_COMPATIBLE
  w[0] = vst3::uint32(b[0]) | (vst3::uint32(b[1]) << 8) | (vst3::uint32(b[2]) << 16) | (vst3::uint32(b[3]) << 24);
  w[1] = (vst3::uint32(b[4]) << 16) | (vst3::uint32(b[5]) << 24) | vst3::uint32(b[6]) | (vst3::uint32(b[7]) << 8);
#else
  w[0] = be(0);
  w[1] = be(4);
#endif
  w[2] = be(8);
  w[3] = be(12);
}

} // namespace

std::string Utf16ToUtf8(const vst3::char16* text, std::size_t maxUnits)
{
  const std::size_t limit = std::numeric_limits<vst3::int32>::max();
  return vst3::Utf16ToUtf8(text, static_cast<vst3::int32>(maxUnits < limit ? maxUnits : limit));
}

std::u16string Utf8ToUtf16(std::string_view text)
{
  return vst3::Utf8ToUtf16(text);
}

bool CopyToUtf16(std::string_view utf8, vst3::char16* out, std::size_t units)
{
  if (!out || units == 0)
    return false;
  const std::u16string wide = Utf8ToUtf16(utf8);
  const std::size_t n = wide.size() < units ? wide.size() : units - 1;
  std::memcpy(out, wide.data(), n * sizeof(vst3::char16));
  out[n] = 0;
  return n == wide.size();
}

std::string FixedString(const char* field, std::size_t size)
{
  if (!field)
    return {};
  std::size_t n = 0;
  while (n < size && field[n] != 0)
    ++n;
  return std::string(field, n);
}

std::string UidToString(const char* bytes16)
{
  vst3::uint32 w[4];
  UidWords(reinterpret_cast<const unsigned char*>(bytes16), w);
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  out.reserve(32);
  for (vst3::uint32 word : w)
    for (int shift = 28; shift >= 0; shift -= 4)
      out += kHex[(word >> shift) & 0xF];
  return out;
}

bool UidFromString(std::string_view text, char* bytes16)
{
  if (text.size() != 32)
    return false;
  vst3::uint32 w[4] = {};
  for (std::size_t i = 0; i < 32; ++i) {
    const int v = HexValue(text[i]);
    if (v < 0)
      return false;
    w[i / 8] = (w[i / 8] << 4) | vst3::uint32(v);
  }
  const vst3::Uid uid = vst3::MakeUid(w[0], w[1], w[2], w[3]);
  std::memcpy(bytes16, uid.bytes, 16);
  return true;
}

} // namespace vst3host
