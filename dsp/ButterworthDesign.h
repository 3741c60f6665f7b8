#pragma once

#include "dsp/Biquad.h"

#include <array>

// Design of fourth-order Butterworth low- and high-pass filters as two cascaded
// second-order sections (section 0 runs first and carries the overall gain).
// Pure functions of the normalised cutoff; they run off the audio path.

namespace iplug
{

struct ButterworthCoefficients
{
  std::array<BiquadCoefficients, 2> sections{};
};

enum class ButterworthDesignResult
{
  Ok,
  CutoffNotBelowNyquist, // cutoff / rate >= 0.5, NaN or infinite
  CutoffNegative,
  NonFiniteCoefficients, // e.g. high-pass at cutoff 0
};

// normalisedCutoff is cutoff Hz / sample rate Hz. On anything but Ok, `out` is
// left unchanged, so a rejected design keeps the previous one.
ButterworthDesignResult DesignButterworthLowPass4(double normalisedCutoff, ButterworthCoefficients& out);
ButterworthDesignResult DesignButterworthHighPass4(double normalisedCutoff, ButterworthCoefficients& out);

} // namespace iplug
