#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

namespace iplug
{

// The parameters changed off the audio thread since the audio thread last
// looked: one atomic word of bits, so any thread may mark and the audio thread
// takes the whole set at once without a lock. A value stored before Mark is
// visible to the thread that takes the mark.
class ParamChangeSet
{
public:
  static constexpr int kCapacity = 64;

  // Any thread. Indices outside 0..kCapacity-1 are ignored.
  void Mark(int paramIdx)
  {
    if (paramIdx >= 0 && paramIdx < kCapacity)
      mBits.fetch_or(uint64_t{1} << paramIdx, std::memory_order_release);
  }

  // One consumer: empties the set and calls apply(paramIdx) once per marked
  // index, in ascending order. A mark made meanwhile stays for the next call.
  template <typename Apply>
  void TakeAll(Apply&& apply)
  {
    uint64_t bits = mBits.exchange(0, std::memory_order_acquire);
    while (bits != 0)
    {
      apply(std::countr_zero(bits));
      bits &= bits - 1;
    }
  }

private:
  std::atomic<uint64_t> mBits{0};
};

} // namespace iplug
