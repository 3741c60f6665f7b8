#include "vst3/ViewKeyRecord.h"

#include "vst3/abi/PlugView.h"

#include <cstring>

namespace iplug
{

namespace
{

// The host's key codes 1 ... 56 (back ... alt) in Windows numbering.
constexpr int kWindowsKeyForHostKey[57] = {
  0,                                  // none
  8,   9,   12,  13,  19,  27,  32,   // back, tab, clear, return, pause, escape, space
  34,  35,  36,  37,  38,  39,  40,   // next, end, home, left, up, right, down
  33,  34,  41,  42,  13,  44,  45,   // page up, page down, select, print, enter, snapshot, insert
  46,  47,                            // delete, help
  96,  97,  98,  99,  100, 101, 102, 103, 104, 105, // numeric pad 0 ... 9
  106, 107, 108, 109, 110, 111,       // multiply, add, separator, subtract, decimal, divide
  112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, // F1 ... F12
  144, 145, 16,  17,  18              // num lock, scroll lock, shift, control, alt
};

constexpr int kHostKeySpace = 7;
constexpr int kHostKeyEquals = 57;
constexpr int kHostFirstAscii = 128;
// The host encodes digits and capitals as 128 + (ASCII - 0x30).
constexpr int kHostAsciiOffset = kHostFirstAscii - 0x30;

// Writes the UTF-8 form of one UTF-16 unit; a lone surrogate half has none.
void EncodeUtf8(vst3::char16 c, char (&out)[5])
{
  std::memset(out, 0, sizeof(out));
  const unsigned u = c;
  if (u < 0x80)
    out[0] = static_cast<char>(u);
  else if (u < 0x800)
  {
    out[0] = static_cast<char>(0xC0 | (u >> 6));
    out[1] = static_cast<char>(0x80 | (u & 0x3F));
  }
  else if (u < 0xD800 || u > 0xDFFF)
  {
    out[0] = static_cast<char>(0xE0 | (u >> 12));
    out[1] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (u & 0x3F));
  }
}

} // namespace

int VirtualKeyForAscii(unsigned char c)
{
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 'A';
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
    return c;
  switch (c)
  {
  case ' ': return 0x20;
  case '\b': return 0x08;
  case '\t': return 0x09;
  case '\r': case '\n': return 0x0D;
  case 0x1B: return 0x1B;
  case ')': return '0';
  case '!': return '1';
  case '@': return '2';
  case '#': return '3';
  case '$': return '4';
  case '%': return '5';
  case '^': return '6';
  case '&': return '7';
  case '*': return '8';
  case '(': return '9';
  case ';': case ':': return 0xBA;
  case '=': case '+': return 0xBB;
  case ',': case '<': return 0xBC;
  case '-': case '_': return 0xBD;
  case '.': case '>': return 0xBE;
  case '/': case '?': return 0xBF;
  case '`': case '~': return 0xC0;
  case '[': case '{': return 0xDB;
  case '\\': case '|': return 0xDC;
  case ']': case '}': return 0xDD;
  case '\'': case '"': return 0xDE;
  default: return 0;
  }
}

IKeyRecord MakeViewKeyRecord(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers)
{
  IKeyRecord record;
  const int code = keyCode;
  // Text: the character when there is one, else the ASCII key the code names.
  if (key != 0)
    EncodeUtf8(key, record.utf8);
  else if (code >= kHostFirstAscii && code - kHostAsciiOffset < 0x80)
    record.utf8[0] = static_cast<char>(code - kHostAsciiOffset);
  else if (code == kHostKeySpace)
    record.utf8[0] = ' ';

  if (code >= 1 && code <= 56)
    record.vk = kWindowsKeyForHostKey[code];
  else if (code == 0 || code == kHostKeyEquals)
    record.vk = VirtualKeyForAscii(static_cast<unsigned char>(record.utf8[0]));
  else if (code >= kHostFirstAscii && code - kHostAsciiOffset <= 0xFF)
    record.vk = code - kHostAsciiOffset;
  else
    record.vk = 0; // media keys, F13 and above, and codes outside the host's range

  record.S = (modifiers & vst3::kShiftKey) != 0;
  record.C = (modifiers & vst3::kCommandKey) != 0;
  record.A = (modifiers & vst3::kAlternateKey) != 0;
  return record;
}

} // namespace iplug
