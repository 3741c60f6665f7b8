// The lane code built for SSE2 (the x86-64 baseline).

#include "dsp/simd/LaneChainKernel.h"
#include "dsp/simd/LaneKernelSet.h"

namespace iplug::simd
{
namespace
{

void Process(LaneChainState& state, const LaneChainSettings& settings, const double* inL, const double* inR,
             double* outL, double* outR, float* meterLevels, int nFrames)
{
  RunLaneChain(state, settings, inL, inR, outL, outR, meterLevels, nFrames);
}

void ApplyExp(const double* x, double* y, int n)
{
  LaneApply<Exp>(x, y, n);
}

void ApplyLog(const double* x, double* y, int n)
{
  LaneApply<Log>(x, y, n);
}

void ApplyTanh(const double* x, double* y, int n)
{
  LaneApply<Tanh>(x, y, n);
}

} // namespace

const LaneKernels& Sse2LaneKernels()
{
  static constexpr LaneKernels kKernels{"SSE2", Process, ApplyExp, ApplyLog, ApplyTanh};
  return kKernels;
}

} // namespace iplug::simd
