// The lane code built for AVX2 and FMA; CMake builds this file with -mavx2 -mfma and it runs only
// where the processor reports both.

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

const LaneKernels& Avx2LaneKernels()
{
  static constexpr LaneKernels kKernels{"AVX2", Process, ApplyExp, ApplyLog, ApplyTanh};
  return kKernels;
}

} // namespace iplug::simd
