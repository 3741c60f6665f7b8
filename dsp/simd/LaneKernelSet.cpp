#include "dsp/simd/LaneKernelSet.h"

namespace iplug::simd
{

bool Avx2Supported()
{
#if defined(__x86_64__) || defined(__i386__)
  static const bool supported = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return supported;
#else
  return false;
#endif
}

const LaneKernels& BestLaneKernels()
{
  return Avx2Supported() ? Avx2LaneKernels() : Sse2LaneKernels();
}

} // namespace iplug::simd
