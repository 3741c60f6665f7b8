#include "dsp/ButterworthFilter.h"

#include <cmath>

namespace iplug
{

bool ButterworthFilter4::ResetIfNotFinite()
{
  for (const BiquadState& s : mState)
  {
    if (!std::isfinite(s.v1) || !std::isfinite(s.v2))
    {
      Reset();
      return true;
    }
  }
  return false;
}

} // namespace iplug
