#pragma once

#include "dsp/Oversampler.h"

#include <atomic>
#include <cmath>

namespace iplug
{

// Harmonic saturation for one band: drive into tanh at twice the rate, then
// trim back down; both grow with the square root of the amount. Left and right
// are always processed separately.
//
// Threads: SetAmount may run on any thread; Process runs on the audio thread.
class BandExciter
{
public:
  // amount in 0..1 (Excite / 100). Drive and trim are worked out here, once per
  // change, and published before the amount itself.
  void SetAmount(double amount);
  double Amount() const { return mAmount.load(std::memory_order_relaxed); }
  double Drive() const { return mDrive.load(std::memory_order_relaxed); }
  double Trim() const { return mTrim.load(std::memory_order_relaxed); }

  // Audio thread. With amount 0 the samples stay bit-identical and the
  // oversamplers keep their memories as they are.
  void Process(double& l, double& r)
  {
    if (!(mAmount.load(std::memory_order_acquire) > 0.0))
      return;
    const double drive = mDrive.load(std::memory_order_relaxed);
    const double trim = mTrim.load(std::memory_order_relaxed);
    const auto shaper = [trim](double u) { return std::tanh(u) * trim; };
    l = drive * l;
    r = drive * r;
    Oversampler::ProcessTwo(mLeft, l, mRight, r, shaper);
  }

  void ResetIfNotFinite()
  {
    mLeft.ResetIfNotFinite();
    mRight.ResetIfNotFinite();
  }

private:
  std::atomic<double> mAmount{0.0};
  std::atomic<double> mDrive{1.0}; // linear, +48 dB x sqrt(amount)
  std::atomic<double> mTrim{1.0};  // linear, -24 dB x sqrt(amount)
  Oversampler mLeft;
  Oversampler mRight;
};

} // namespace iplug
