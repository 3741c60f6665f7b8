#include "dsp/MeterSender.h"

#include <algorithm>

namespace iplug
{
namespace
{

int WindowSamplesFor(double windowMs, double sampleRate)
{
  const double samples = std::trunc(windowMs * 0.001 * sampleRate);
  if (!(samples >= 1.0))
    return 1;
  return samples >= 1e9 ? 1000000000 : static_cast<int>(samples);
}

} // namespace

MeterSender::MeterSender(int controlTag)
  : mWindowSamples(WindowSamplesFor(kDefaultWindowMs, kDefaultSampleRate))
  , mControlTag(controlTag)
{
}

void MeterSender::SetWindow(double windowMs, double sampleRate)
{
  mWindowMs = windowMs;
  if (sampleRate > 0.0 && std::isfinite(sampleRate))
    mWindowSamples = WindowSamplesFor(windowMs, sampleRate);
}

void MeterSender::CompleteWindow()
{
  const float n = static_cast<float>(mWindowSamples);
  const float averageFirst = mFirstSum / n;
  const float averageSecond = mSecondSum / n;
  mFirstSum = 0.0f;
  mSecondSum = 0.0f;
  const float total = (averageFirst + 0.0f) + averageSecond;

  if (mSilentWindows < kSilentWindowLimit)
  {
    const uint64_t write = mWriteIndex.load(std::memory_order_relaxed);
    const uint64_t next = (write + 1) % kRingSlots;
    if (next != mReadIndex.load(std::memory_order_acquire)) // a full ring drops the new record
    {
      MeterRecord& record = mRing[write];
      record.controlTag = mControlTag;
      record.nValues = MeterRecord::kNumValues;
      record.firstChannel = 0;
      record.values[0] = averageFirst;
      record.values[1] = averageSecond;
      mWriteIndex.store(next, std::memory_order_release);
    }
  }

  // NaN totals count as not silent.
  mSilentWindows += total <= 0.0f ? 1 : -1;
  mSilentWindows = std::clamp(mSilentWindows, 0, kSilentWindowLimit);
}

} // namespace iplug
