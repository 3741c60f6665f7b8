#include "plugin/TORVDisplay.h"

#include "core/NumberText.h"
#include "dsp/Decibels.h"
#include "dsp/GainControl.h"

#include <algorithm>
#include <cmath>

namespace torv
{

using iplug::GainControlToDb;
using iplug::kMaxBoostDb;
using iplug::kNeperPerDb;

double TimePercent(double x)
{
  return x < 0.0 ? 100.0 - 100.0 * std::fabs(x) : 100.0 + 900.0 * x;
}

double TimeFactor(double x)
{
  const double factor = std::trunc(TimePercent(x)) / 100.0;
  return factor >= 0.0 ? factor : 1.0;
}

void FormatGainDisplay(double x, std::string& out)
{
  const double d = GainControlToDb(x);
  if (d > kGainSilenceDisplayDb)
  {
    out = iplug::FormatFixed(d, 6);
    out.resize(std::min<std::size_t>(out.size(), d < 0.0 ? 5 : 4));
  }
  else
  {
    out = "-inf";
  }
}

double ParseGainDisplay(const char* text)
{
  // "-inf" reads as minus infinity.
  return GainControlFromDb(iplug::ParseLeadingNumber(text));
}

double GainControlFromDb(double d)
{
  // Minus infinity takes the first branch, which maps it to -1.
  const double x = d <= 0.0 ? -(1.0 - std::exp(d * kNeperPerDb)) : d / kMaxBoostDb;
  return std::clamp(x, -1.0, 1.0);
}

void FormatTimeDisplay(double x, std::string& out)
{
  double v = TimePercent(x);
  if (!(std::fabs(v) < 1e15)) // only reachable by calling it outside the parameter's range
    v = 0.0;
  out = iplug::FormatInteger(static_cast<long long>(std::trunc(v)));
}

double ParseTimeDisplay(const char* text)
{
  return TimeControlFromPercent(iplug::ParseLeadingNumber(text));
}

double TimeControlFromPercent(double v)
{
  double x = std::clamp(v >= 100.0 ? (v - 100.0) / 900.0 : (v - 100.0) / 100.0, -1.0, 1.0);

  // The display truncates, so a value a rounding error below a whole percentage
  // would show the percentage below the one typed ("44" would read back as 43).
  // Step up to the nearest value that shows what was typed.
  const double typed = std::trunc(v);
  if (typed >= 0.0 && typed <= 1000.0)
  {
    for (int i = 0; i < 16 && std::trunc(TimePercent(x)) < typed && x < 1.0; ++i)
      x = std::nextafter(x, 1.0);
  }
  return x;
}

} // namespace torv
