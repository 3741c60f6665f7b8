#pragma once

#include "dsp/Oversampler.h"

#include <cmath>

namespace iplug
{

// Harmonic saturation for one band: drive into tanh at twice the rate, then
// trim back down; both grow with the square root of the amount. Left and right
// are always processed separately.
//
// Threads: one writer, as for the whole chain: SetAmount between blocks.
class BandExciter
{
public:
  // amount in 0..1 (Excite / 100). Drive and trim are worked out here, once per
  // change.
  void SetAmount(double amount);
  // Drive and trim for an amount above 0.
  static double DriveFor(double amount);
  static double TrimFor(double amount);
  double Amount() const { return mAmount; }
  double Drive() const { return mDrive; }
  double Trim() const { return mTrim; }

  // Audio thread. With amount 0 the samples stay bit-identical and the
  // oversamplers keep their memories as they are.
  void Process(double& l, double& r)
  {
    if (!(mAmount > 0.0))
      return;
    const double drive = mDrive;
    const double trim = mTrim;
    const auto shaper = [trim](double u) { return std::tanh(u) * trim; };
    l = drive * l;
    r = drive * r;
    Oversampler::ProcessTwo(mLeft, l, mRight, r, shaper);
  }

  // Audio thread: the exciter with this drive and trim, whatever its amount
  // (while its settings move).
  void ProcessDriven(double& l, double& r, double drive, double trim)
  {
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
  double mAmount{0.0};
  double mDrive{1.0}; // linear, +48 dB x sqrt(amount)
  double mTrim{1.0};  // linear, -24 dB x sqrt(amount)
  Oversampler mLeft;
  Oversampler mRight;
};

} // namespace iplug
