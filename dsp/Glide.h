#pragma once

namespace iplug
{

// The way a value that jumped comes back to its new target: a correction
// added to the target that starts at (value now - new target) and falls to
// exactly 0 after a fixed number of samples along a quintic curve with zero
// slope and curvature at its end. A jump during a glide starts a new curve
// from the value, slope and curvature the old one had reached, so the value
// never turns a corner: its spectrum falls fast enough that even a full-range
// gain jump leaves nothing audible above the signal's own band.
//
// Audio thread (or any one thread while nothing processes); no allocation.
class Glide
{
public:
  // Length of every glide, in samples (at least 1). Ends the one running.
  void SetLength(int frames)
  {
    mLength = frames > 1 ? frames : 1;
    mStep = 1.0 / mLength;
    mPos = mLength;
  }
  int Length() const { return mLength; }

  // The value's target jumps from oldTarget to newTarget: the value goes on
  // from where it is. Several jumps before the next sample land as one jump
  // from that value to the last target, bit for bit.
  void Jump(double oldTarget, double newTarget)
  {
    if (!(newTarget == newTarget)) // a NaN target would never glide back
      return;
    double from = oldTarget, v = 0.0, a = 0.0;
    if (mPos == 0)
    {
      // No sample since the last jump: start again from the same value.
      from = mFrom;
      v = mV;
      a = mA;
    }
    else if (mPos < mLength)
    {
      const double u = mPos * mStep;
      from = oldTarget + Correction(u);
      v = Slope(u);
      a = Curvature(u);
    }
    mFrom = from;
    mC = from - newTarget;
    mV = v;
    mA = a;
    mPos = mC == 0.0 && v == 0.0 && a == 0.0 ? mLength : 0;
  }

  // Drops the correction: the value is its target from now on.
  void Stop() { mPos = mLength; }

  bool Active() const { return mPos < mLength; }

  // The correction for the next sample, then one sample on. 0 once done.
  double Next()
  {
    if (mPos >= mLength)
      return 0.0;
    const double u = (mPos + 1) * mStep;
    ++mPos;
    return mPos >= mLength ? 0.0 : Correction(u);
  }

private:
  // Quintic Hermite basis reaching 0 with zero slope and curvature at u = 1,
  // from value mC, slope mV and curvature mA (per unit of u) at u = 0.
  double Correction(double u) const
  {
    const double u2 = u * u, u3 = u2 * u, u4 = u3 * u, u5 = u4 * u;
    const double h0 = 1.0 - 10.0 * u3 + 15.0 * u4 - 6.0 * u5;
    const double h1 = u - 6.0 * u3 + 8.0 * u4 - 3.0 * u5;
    const double h2 = 0.5 * u2 - 1.5 * u3 + 1.5 * u4 - 0.5 * u5;
    return mC * h0 + mV * h1 + mA * h2;
  }
  double Slope(double u) const
  {
    const double u2 = u * u, u3 = u2 * u, u4 = u3 * u;
    const double h0 = -30.0 * u2 + 60.0 * u3 - 30.0 * u4;
    const double h1 = 1.0 - 18.0 * u2 + 32.0 * u3 - 15.0 * u4;
    const double h2 = u - 4.5 * u2 + 6.0 * u3 - 2.5 * u4;
    return mC * h0 + mV * h1 + mA * h2;
  }
  double Curvature(double u) const
  {
    const double u2 = u * u, u3 = u2 * u;
    const double h0 = -60.0 * u + 180.0 * u2 - 120.0 * u3;
    const double h1 = -36.0 * u + 96.0 * u2 - 60.0 * u3;
    const double h2 = 1.0 - 9.0 * u + 18.0 * u2 - 10.0 * u3;
    return mC * h0 + mV * h1 + mA * h2;
  }

  int mLength = 1;
  double mStep = 1.0;
  int mPos = 1; // samples into the current curve; mLength when none runs
  double mFrom = 0.0; // the value where the current curve starts
  double mC = 0.0, mV = 0.0, mA = 0.0;
};

} // namespace iplug
