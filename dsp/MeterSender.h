#pragma once

#include "dsp/MeterRecord.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace iplug
{

// Averages two rectified levels over fixed windows on the audio thread and
// queues one MeterRecord per window for the idle thread.
//
// The queue is a single-producer, single-consumer ring of 65 slots (at most 64
// records): only the audio thread writes records and the write index, only the
// idle thread reads records and the read index. Each side publishes its index
// with release and reads the other side's with acquire, so a record is complete
// before it becomes visible and is copied out before its slot is reused.
class MeterSender
{
public:
  static constexpr int kRingSlots = 65;
  static constexpr int kSilentWindowLimit = 512;
  static constexpr double kDefaultWindowMs = 5.0;
  static constexpr double kDefaultSampleRate = 48000.0;

  explicit MeterSender(int controlTag = -1);

  // Window length and the sample rate it is counted at. A rate that is zero,
  // negative or not finite keeps the previous length in samples; the length is
  // at least one sample. While nothing processes.
  void SetWindow(double windowMs, double sampleRate);

  int ControlTag() const { return mControlTag; }
  double WindowMs() const { return mWindowMs; }
  int WindowSamples() const { return mWindowSamples; }

  // Audio thread: one pair of levels (first: processed or output, second: dry
  // or input).
  void AddSample(double first, double second)
  {
    if (mSampleCounter == 0)
      CompleteWindow();
    mFirstSum += std::fabs(static_cast<float>(first));
    mSampleCounter = (mSampleCounter + 1) % mWindowSamples;
    mSecondSum += std::fabs(static_cast<float>(second));
  }

  // Audio thread: for frames i = 0..n-1, the same as
  // meters[m].AddSample(levels[i * stride + m], levels[i * stride + secondOffset + m])
  // for m = 0..count-1 (count at most 4), with the same sums and records, but
  // in runs between window ends with the meters' sums kept side by side.
  static void AddFrames(MeterSender* meters, int count, const float* levels, int stride, int secondOffset, int n);

  // Idle thread: hands every queued record, oldest first, to `deliver`
  // (called as deliver(const MeterRecord&)). Returns the number delivered.
  template <typename Deliver>
  int Transmit(Deliver&& deliver)
  {
    int delivered = 0;
    uint64_t read = mReadIndex.load(std::memory_order_relaxed);
    while (read != mWriteIndex.load(std::memory_order_acquire))
    {
      const MeterRecord record = mRing[read];
      read = (read + 1) % kRingSlots;
      mReadIndex.store(read, std::memory_order_release);
      deliver(record);
      ++delivered;
    }
    return delivered;
  }

private:
  void CompleteWindow();

  std::array<MeterRecord, kRingSlots> mRing{};
  std::atomic<uint64_t> mWriteIndex{0};
  std::atomic<uint64_t> mReadIndex{0};
  double mWindowMs = kDefaultWindowMs;
  int mWindowSamples;
  int mControlTag;

  // Audio-thread state.
  int mSampleCounter = 0; // position within the current window
  int mSilentWindows = 0; // 0..kSilentWindowLimit
  float mFirstSum = 0.0f;
  float mSecondSum = 0.0f;
};

} // namespace iplug
