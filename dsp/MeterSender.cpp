#include "dsp/MeterSender.h"

#include <algorithm>
#include <cstddef>

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

typedef float Float4 __attribute__((vector_size(16)));
typedef int Int4 __attribute__((vector_size(16)));

// fabs per lane: the sign bit cleared.
Float4 AbsOf(Float4 v)
{
  return reinterpret_cast<Float4>(reinterpret_cast<Int4>(v) & Int4{0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff});
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

void MeterSender::AddFrames(MeterSender* meters, int count, const float* levels, int stride, int secondOffset, int n)
{
  constexpr int kMaxMeters = 4;
  count = std::clamp(count, 0, kMaxMeters);
  for (int i = 0; i < n;)
  {
    const float* frame = levels + static_cast<ptrdiff_t>(i) * stride;
    bool counterBeyondWindow = false;
    for (int m = 0; m < count; ++m)
      counterBeyondWindow = counterBeyondWindow || meters[m].mSampleCounter >= meters[m].mWindowSamples;
    if (counterBeyondWindow)
    {
      // A window shortened since the count began: one frame as AddSample does it.
      for (int m = 0; m < count; ++m)
        meters[m].AddSample(frame[m], frame[secondOffset + m]);
      ++i;
      continue;
    }

    // Up to the next window end of any of the meters.
    int run = n - i;
    float sums[2 * kMaxMeters] = {};
    for (int m = 0; m < count; ++m)
    {
      MeterSender& meter = meters[m];
      if (meter.mSampleCounter == 0)
        meter.CompleteWindow();
      run = std::min(run, meter.mWindowSamples - meter.mSampleCounter);
      sums[m] = meter.mFirstSum;
      sums[kMaxMeters + m] = meter.mSecondSum;
    }
    if (count == kMaxMeters)
    {
      // Four meters side by side: lane m of each sum adds meter m's levels
      // in frame order, as AddSample does.
      Float4 first, second;
      __builtin_memcpy(&first, sums, sizeof first);
      __builtin_memcpy(&second, sums + kMaxMeters, sizeof second);
      for (int k = 0; k < run; ++k, frame += stride)
      {
        Float4 a, b;
        __builtin_memcpy(&a, frame, sizeof a);
        __builtin_memcpy(&b, frame + secondOffset, sizeof b);
        first += AbsOf(a);
        second += AbsOf(b);
      }
      __builtin_memcpy(sums, &first, sizeof first);
      __builtin_memcpy(sums + kMaxMeters, &second, sizeof second);
    }
    else
    {
      for (int k = 0; k < run; ++k, frame += stride)
      {
        for (int m = 0; m < count; ++m)
        {
          sums[m] += std::fabs(frame[m]);
          sums[kMaxMeters + m] += std::fabs(frame[secondOffset + m]);
        }
      }
    }
    for (int m = 0; m < count; ++m)
    {
      MeterSender& meter = meters[m];
      meter.mFirstSum = sums[m];
      meter.mSecondSum = sums[kMaxMeters + m];
      meter.mSampleCounter += run;
      if (meter.mSampleCounter == meter.mWindowSamples)
        meter.mSampleCounter = 0;
    }
    i += run;
  }
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
