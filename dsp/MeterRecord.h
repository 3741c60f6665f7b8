#pragma once

#include <cstddef>
#include <cstdint>

namespace iplug
{

// Which level a record carries: one tag per band, then the output.
enum EMeterTag : int32_t
{
  kMeterTagLow = 0,
  kMeterTagMid = 1,
  kMeterTagHigh = 2,
  kMeterTagOutput = 3,
};

// One meter window's averaged levels, sent from the audio side to the meter
// control with the sender's tag as a 20-byte message (native little-endian).
// Levels are linear amplitudes (1.0 = full scale), not decibels.
struct MeterRecord
{
  static constexpr int kNumValues = 2;

  int32_t controlTag = kMeterTagLow; // an EMeterTag
  int32_t nValues = kNumValues;
  int32_t firstChannel = 0;
  float values[kNumValues] = {0.0f, 0.0f}; // processed/output level, dry/input level
};

static_assert(sizeof(MeterRecord) == 20, "MeterRecord travels as exactly 20 bytes");
static_assert(offsetof(MeterRecord, values) == 12);

} // namespace iplug
