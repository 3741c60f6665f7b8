#pragma once

// Speaker bits and the arrangements this code base names. Channel n of an
// audio bus is the n-th set bit, counting from bit 0.

#include "vst3/abi/Types.h"

namespace vst3
{

using Speaker = uint64;
using SpeakerArrangement = uint64;

namespace Speakers
{
constexpr Speaker kSpeakerL = 1ull << 0;
constexpr Speaker kSpeakerR = 1ull << 1;
constexpr Speaker kSpeakerC = 1ull << 2;
constexpr Speaker kSpeakerLfe = 1ull << 3;
constexpr Speaker kSpeakerLs = 1ull << 4;
constexpr Speaker kSpeakerRs = 1ull << 5;
constexpr Speaker kSpeakerLc = 1ull << 6;
constexpr Speaker kSpeakerRc = 1ull << 7;
constexpr Speaker kSpeakerS = 1ull << 8;
constexpr Speaker kSpeakerCs = kSpeakerS;
constexpr Speaker kSpeakerSl = 1ull << 9;
constexpr Speaker kSpeakerSr = 1ull << 10;
constexpr Speaker kSpeakerM = 1ull << 19;
} // namespace Speakers

namespace SpeakerArr
{
constexpr SpeakerArrangement kEmpty = 0;
constexpr SpeakerArrangement kMono = 0x80000ull;
constexpr SpeakerArrangement kStereo = 0x3ull;
constexpr SpeakerArrangement kStereoSurround = 0x30ull;
constexpr SpeakerArrangement kStereoCenter = 0xC0ull;
constexpr SpeakerArrangement kStereoSide = 0x600ull;
constexpr SpeakerArrangement kStereoCLfe = 0xCull;
constexpr SpeakerArrangement k30Cine = 0x7ull;
constexpr SpeakerArrangement k30Music = 0x103ull;
constexpr SpeakerArrangement k31Cine = 0xFull;
constexpr SpeakerArrangement k40Cine = 0x107ull;
constexpr SpeakerArrangement k40Music = 0x33ull;
constexpr SpeakerArrangement k50 = 0x37ull;
constexpr SpeakerArrangement k51 = 0x3Full;
constexpr SpeakerArrangement k70Cine = 0xF7ull;
constexpr SpeakerArrangement k71Music = 0x63Full;
constexpr SpeakerArrangement k71_2 = 0x300063Full;
constexpr SpeakerArrangement kAmbi1stOrderACN = 0xF00000ull;
constexpr SpeakerArrangement kAmbi2cdOrderACN = 0x7C000F00000ull;
constexpr SpeakerArrangement kAmbi3rdOrderACN = 0x3FFC000F00000ull;

constexpr int32 getChannelCount(SpeakerArrangement arr)
{
  int32 count = 0;
  for (; arr != 0; arr &= arr - 1)
    ++count;
  return count;
}
} // namespace SpeakerArr

} // namespace vst3
