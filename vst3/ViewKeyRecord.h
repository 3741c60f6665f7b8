#pragma once

// Turns a VST 3 key event (UTF-16 character, the host's virtual key code and
// modifier bits) into the key record the editor takes, with Windows
// virtual-key numbering on every platform.

#include "core/IKeyRecord.h"
#include "vst3/abi/Types.h"

namespace iplug
{

IKeyRecord MakeViewKeyRecord(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers);

// The Windows virtual-key code of the key that types this ASCII character on a
// US keyboard; 0 for a character no key types.
int VirtualKeyForAscii(unsigned char c);

} // namespace iplug
