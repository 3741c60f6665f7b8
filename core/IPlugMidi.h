#pragma once

#include <cstdint>

namespace iplug
{

// One short MIDI message with its sample offset inside the block: 8 bytes.
struct IMidiMsg
{
  int32_t mOffset = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;
};
static_assert(sizeof(IMidiMsg) == 8);

// A system-exclusive message; the bytes belong to the caller.
struct ISysEx
{
  int32_t mOffset = 0;
  int32_t mSize = 0;
  const uint8_t* mData = nullptr;
};

} // namespace iplug
