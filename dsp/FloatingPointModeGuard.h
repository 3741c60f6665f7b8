#pragma once

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#define CALVORIN_HAS_MXCSR 1
#endif

namespace iplug
{

// Sets flush-to-zero and denormals-are-zero for the lifetime of the guard and
// restores the caller's mode afterwards. Decaying filter and envelope states
// would otherwise sink into subnormal numbers, which cost 10-100x per operation
// on x86. Reading and writing the control register is an ordinary instruction,
// safe on the audio thread.
class FloatingPointModeGuard
{
public:
#if defined(CALVORIN_HAS_MXCSR)
  static constexpr unsigned kFlushToZero = 0x8000;     // MXCSR.FTZ
  static constexpr unsigned kDenormalsAreZero = 0x0040; // MXCSR.DAZ

  FloatingPointModeGuard()
    : mSaved(_mm_getcsr())
  {
    _mm_setcsr(mSaved | kFlushToZero | kDenormalsAreZero);
  }
  ~FloatingPointModeGuard() { _mm_setcsr(mSaved); }

private:
  unsigned mSaved;
#else
  FloatingPointModeGuard() = default;
#endif

public:
  FloatingPointModeGuard(const FloatingPointModeGuard&) = delete;
  FloatingPointModeGuard& operator=(const FloatingPointModeGuard&) = delete;
};

} // namespace iplug
