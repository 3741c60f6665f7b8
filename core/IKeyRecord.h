#pragma once

// A key event as the plug-in hands it to the editor: the Windows virtual-key
// code (the editor's platform-neutral key numbering), the key's UTF-8 text
// (NUL-terminated) and the modifier keys held.

namespace iplug
{

struct IKeyRecord
{
  int vk = 0;
  char utf8[5] = {};
  bool S = false; // shift
  bool C = false; // control
  bool A = false; // alt
};

} // namespace iplug
