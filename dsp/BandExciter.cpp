#include "dsp/BandExciter.h"

#include "dsp/Decibels.h"

namespace iplug
{

void BandExciter::SetAmount(double amount)
{
  if (amount > 0.0)
  {
    const double s = std::pow(amount, 0.5);
    mDrive = std::exp(s * 48.0 * kNeperPerDb);
    mTrim = std::exp(s * -24.0 * kNeperPerDb);
  }
  mAmount = amount;
}

} // namespace iplug
