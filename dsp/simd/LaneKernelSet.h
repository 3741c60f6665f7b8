#pragma once

// The builds of the lane code and the choice between them.

#include "dsp/simd/LaneChainData.h"

namespace iplug::simd
{

const LaneKernels& Sse2LaneKernels();
const LaneKernels& Avx2LaneKernels(); // only where Avx2Supported()

// Whether this processor runs AVX2 and FMA code (asked once, cached).
bool Avx2Supported();

// The fastest build this processor runs.
const LaneKernels& BestLaneKernels();

} // namespace iplug::simd
