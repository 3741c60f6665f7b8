#include "dsp/HalfbandStage.h"

#include <cmath>

namespace iplug
{

bool HalfbandStage::ResetIfNotFinite()
{
  for (int i = 0; i < kNumCoefficients; ++i)
  {
    if (!std::isfinite(mInputs[i]) || !std::isfinite(mOutputs[i]))
    {
      Reset();
      return true;
    }
  }
  return false;
}

} // namespace iplug
