#pragma once

// The root interface: reference counting and interface lookup.

#include "vst3/abi/Types.h"

#include <cstring>

namespace vst3
{

class FUnknown
{
public:
  virtual tresult VST3_CALL queryInterface(const TUID iid, void** obj) = 0; // slot 0
  virtual uint32 VST3_CALL addRef() = 0;                                     // slot 1
  virtual uint32 VST3_CALL release() = 0;                                    // slot 2

  VST3_DECLARE_IID(0x00000000, 0x00000000, 0xC0000000, 0x00000046)
  VST3_INTERFACE_DESTRUCTOR(FUnknown)
};

// Identifiers arrive as pointers without alignment guarantees: compare bytes.
inline bool IidEqual(const char* a, const char* b)
{
  return std::memcmp(a, b, 16) == 0;
}

} // namespace vst3
