#include "dsp/GainControl.h"

#include "dsp/Decibels.h"

#include <cmath>

namespace iplug
{

double GainControlToDb(double x)
{
  if (x > 0.0)
    return kMaxBoostDb * std::fabs(x);
  return std::log(std::fabs(1.0 - std::fabs(x))) * kDbPerNeper;
}

double GainControlToFactor(double x)
{
  return std::exp(GainControlToDb(x) * kNeperPerDb);
}

} // namespace iplug
