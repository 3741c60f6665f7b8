#include "dsp/BandExciter.h"

#include "dsp/Decibels.h"

namespace iplug
{

void BandExciter::SetAmount(double amount)
{
  if (amount > 0.0)
  {
    mDrive = DriveFor(amount);
    mTrim = TrimFor(amount);
  }
  mAmount = amount;
}

double BandExciter::DriveFor(double amount)
{
  return std::exp(std::pow(amount, 0.5) * 48.0 * kNeperPerDb);
}

double BandExciter::TrimFor(double amount)
{
  return std::exp(std::pow(amount, 0.5) * -24.0 * kNeperPerDb);
}

} // namespace iplug
