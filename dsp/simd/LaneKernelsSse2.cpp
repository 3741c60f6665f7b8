// The lane code built for SSE2 (the x86-64 baseline).

#include "dsp/simd/LaneChainKernel.h"
#include "dsp/simd/LaneKernelSet.h"

namespace iplug::simd
{

const LaneKernels& Sse2LaneKernels()
{
  static constexpr LaneKernels kKernels = MakeLaneKernels("SSE2");
  return kKernels;
}

} // namespace iplug::simd
