#pragma once

#include "dsp/ButterworthFilter.h"

namespace iplug
{

// Splits one channel into Low, Mid and High with fourth-order Butterworth
// crossovers. Low + Mid + High is not the input: the sum only serves as the
// dry path of the Mix control.
class BandSplitter
{
public:
  static constexpr double kLowCrossoverHz = 88.0;
  static constexpr double kHighCrossoverHz = 2500.0;
  // Where a crossover goes when the rate puts it at or above this fraction of
  // the sample rate (cycles per sample): just below Nyquist.
  static constexpr double kMaxNormalisedCutoff = 0.45;

  BandSplitter(double lowCrossoverHz = kLowCrossoverHz, double highCrossoverHz = kHighCrossoverHz);

  // Designs all four filters for `sampleRate` (Hz) without touching their state.
  // A rate that is zero, negative or not finite keeps the previous design and
  // returns false. Not for the audio thread while it processes.
  bool Design(double sampleRate);

  // Audio thread. On entry all three hold the input sample; on return the bands.
  void Process(double& low, double& mid, double& high)
  {
    const double x = low;
    low = mLowPass1.Process(x);
    high = mHighPass2.Process(x);
    mid = mHighPass1.Process(mLowPass2.Process(x));
  }

  void Reset();

  // Clears the state of any filter that holds a NaN or infinity.
  void ResetIfNotFinite();

  double LowCrossoverHz() const { return mLowCrossoverHz; }
  double HighCrossoverHz() const { return mHighCrossoverHz; }

private:
  ButterworthFilter4 mLowPass1;  // low crossover
  ButterworthFilter4 mHighPass1; // low crossover
  ButterworthFilter4 mLowPass2;  // high crossover
  ButterworthFilter4 mHighPass2; // high crossover
  double mLowCrossoverHz;
  double mHighCrossoverHz;
};

} // namespace iplug
