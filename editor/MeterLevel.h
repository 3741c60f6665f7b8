#pragma once

// Reading the 20-byte level records that the audio side sends to meter
// controls, and mapping a linear level onto a meter's dB scale.

#include "dsp/MeterRecord.h"

#include <cmath>
#include <cstring>

namespace igraphics
{

// A record shorter than 20 bytes reads as tag -1 with both levels 0.
inline iplug::MeterRecord ReadMeterRecord(int dataSize, const void* data)
{
  iplug::MeterRecord record;
  if (data == nullptr || dataSize < static_cast<int>(sizeof(iplug::MeterRecord)))
  {
    record.controlTag = -1;
    return record;
  }
  std::memcpy(&record, data, sizeof(record));
  return record;
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
