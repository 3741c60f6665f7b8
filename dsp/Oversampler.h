#pragma once

#include "dsp/HalfbandStage.h"

namespace iplug
{

// Runs a per-sample function at twice the sample rate: half-band upsampling,
// the function on both upsampled values, half-band downsampling.
class Oversampler
{
public:
  static constexpr int kFactor = 1;           // oversampling exponent
  static constexpr int kRate = 1 << kFactor;  // 2

  // Audio thread: one sample on each of two oversamplers (left and right),
  // their stages interleaved. `f` maps one double to one double; it is taken
  // by value and never stored, so nothing is allocated.
  template <typename Function>
  static void ProcessTwo(Oversampler& left, double& xl, Oversampler& right, double& xr, Function f)
  {
    double ual = xl, ubl = xl, uar = xr, ubr = xr;
    HalfbandStage::StepTwo(left.mUpsampler, ual, ubl, right.mUpsampler, uar, ubr);
    const double wal = f(ual);
    const double wbl = f(ubl);
    const double war = f(uar);
    const double wbr = f(ubr);
    double dal = wbl, dbl = wal, dar = wbr, dbr = war;
    HalfbandStage::StepTwo(left.mDownsampler, dal, dbl, right.mDownsampler, dar, dbr);
    xl = (dal + dbl) * 0.5;
    xr = (dar + dbr) * 0.5;
  }

  void Reset()
  {
    mUpsampler.Reset();
    mDownsampler.Reset();
  }

  // Clears the filter memories when they hold a NaN or infinity.
  void ResetIfNotFinite()
  {
    mUpsampler.ResetIfNotFinite();
    mDownsampler.ResetIfNotFinite();
  }

private:
  HalfbandStage mUpsampler;
  HalfbandStage mDownsampler;
};

} // namespace iplug
