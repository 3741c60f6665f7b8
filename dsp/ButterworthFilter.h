#pragma once

#include "dsp/Biquad.h"
#include "dsp/ButterworthDesign.h"

#include <array>

namespace iplug
{

// A fourth-order filter: designed coefficients plus the per-section state.
// Before the first design it passes its input through unchanged.
class ButterworthFilter4
{
public:
  // Replaces the coefficients only; the state carries over.
  void SetCoefficients(const ButterworthCoefficients& coefficients) { mCoefficients = coefficients; }
  const ButterworthCoefficients& Coefficients() const { return mCoefficients; }

  // Audio thread.
  double Process(double x)
  {
    const double y0 = ProcessDirectFormII(mCoefficients.sections[0], mState[0], x);
    return ProcessDirectFormII(mCoefficients.sections[1], mState[1], y0);
  }

  void Reset() { mState = {}; }

  // Clears the state when any of it is NaN or infinite; returns whether it did.
  bool ResetIfNotFinite();

private:
  ButterworthCoefficients mCoefficients;
  std::array<BiquadState, 2> mState{};
};

} // namespace iplug
