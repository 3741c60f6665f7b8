// The lane code built for AVX2 and FMA; CMake builds this file with -mavx2 -mfma and it runs only
// where the processor reports both.

#include "dsp/simd/LaneChainKernel.h"
#include "dsp/simd/LaneKernelSet.h"

namespace iplug::simd
{

const LaneKernels& Avx2LaneKernels()
{
  static constexpr LaneKernels kKernels = MakeLaneKernels("AVX2");
  return kKernels;
}

} // namespace iplug::simd
