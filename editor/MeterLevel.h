#pragma once

// Reading the 20-byte level records that the audio side sends to meter
// controls, and mapping a linear level onto a meter's dB scale.

#include <cmath>
#include <cstdint>
#include <cstring>

namespace igraphics
{

// Little-endian: int32 tag, int32 channel count, int32 first channel,
// float value[2]. value[0] is the processed output level, value[1] the dry
// input level, both linear.
struct MeterLevels
{
  int tag = -1;
  int nChans = 2;
  int chOffset = 0;
  float vals[2] = {0.f, 0.f};
};

inline constexpr int kMeterRecordBytes = 20;

// A record shorter than 20 bytes reads as tag -1 with both levels 0.
inline MeterLevels ReadMeterLevels(int dataSize, const void* data)
{
  MeterLevels levels;
  if (data == nullptr || dataSize < kMeterRecordBytes)
    return levels;
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::int32_t ints[3];
  std::memcpy(ints, bytes, sizeof(ints));
  std::memcpy(levels.vals, bytes + sizeof(ints), sizeof(levels.vals));
  levels.tag = ints[0];
  levels.nChans = ints[1];
  levels.chOffset = ints[2];
  return levels;
}

// Position 0..1 of a linear level on a scale from lowDB to highDB; silence
// (and anything that is not a number) sits at the bottom.
inline double LevelToPosition(double level, double lowDB, double highDB)
{
  const double magnitude = std::fabs(level);
  if (!(magnitude > 0.0))
    return 0.0;
  const double pos = (20.0 * std::log10(magnitude) + std::fabs(lowDB)) / std::fabs(highDB - lowDB);
  if (!(pos > 0.0))
    return 0.0;
  return pos > 1.0 ? 1.0 : pos;
}

} // namespace igraphics
