#include "dsp/BandExciter.h"

#include "dsp/Decibels.h"

namespace iplug
{

void BandExciter::SetAmount(double amount)
{
  if (amount > 0.0)
  {
    const double s = std::pow(amount, 0.5);
    mDrive.store(std::exp(s * 48.0 * kNeperPerDb), std::memory_order_relaxed);
    mTrim.store(std::exp(s * -24.0 * kNeperPerDb), std::memory_order_relaxed);
  }
  // Release: an audio thread that sees the new amount also sees its drive and trim.
  mAmount.store(amount, std::memory_order_release);
}

} // namespace iplug
