#include "dsp/BandSplitter.h"

#include <algorithm>
#include <cmath>

namespace iplug
{

BandSplitter::BandSplitter(double lowCrossoverHz, double highCrossoverHz)
  : mLowCrossoverHz(lowCrossoverHz)
  , mHighCrossoverHz(highCrossoverHz)
{
}

bool BandSplitter::Design(double sampleRate)
{
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate))
    return false;

  const double lowFc = std::min(mLowCrossoverHz / sampleRate, kMaxNormalisedCutoff);
  const double highFc = std::min(mHighCrossoverHz / sampleRate, kMaxNormalisedCutoff);

  // Design everything first and commit only if all four succeed, so a failure
  // never leaves a half-updated splitter.
  ButterworthCoefficients lp1, hp1, lp2, hp2;
  if (DesignButterworthLowPass4(lowFc, lp1) != ButterworthDesignResult::Ok ||
      DesignButterworthHighPass4(lowFc, hp1) != ButterworthDesignResult::Ok ||
      DesignButterworthLowPass4(highFc, lp2) != ButterworthDesignResult::Ok ||
      DesignButterworthHighPass4(highFc, hp2) != ButterworthDesignResult::Ok)
    return false;

  mLowPass1.SetCoefficients(lp1);
  mHighPass1.SetCoefficients(hp1);
  mLowPass2.SetCoefficients(lp2);
  mHighPass2.SetCoefficients(hp2);
  return true;
}

void BandSplitter::Reset()
{
  mLowPass1.Reset();
  mHighPass1.Reset();
  mLowPass2.Reset();
  mHighPass2.Reset();
}

void BandSplitter::ResetIfNotFinite()
{
  mLowPass1.ResetIfNotFinite();
  mHighPass1.ResetIfNotFinite();
  mLowPass2.ResetIfNotFinite();
  mHighPass2.ResetIfNotFinite();
}

} // namespace iplug
