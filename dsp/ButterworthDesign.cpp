#include "dsp/ButterworthDesign.h"

#include <cmath>

namespace iplug
{
namespace
{

constexpr int kOrder = 4;
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;

struct Complex
{
  double re;
  double im;
};

// Smith's complex division; the same rounding as the runtime's complex<double>
// division, which is what the reference coefficients were made with.
Complex Divide(Complex n, Complex d)
{
  const double p = n.re;
  const double q = n.im;
  const double r = d.re;
  const double s = d.im;
  if (std::fabs(r) < std::fabs(s))
  {
    const double t = r / s;
    const double den = r * t + s;
    return {(p * t + q) / den, (q * t - p) / den};
  }
  const double t = s / r;
  const double den = s * t + r;
  return {(q * t + p) / den, (q - p * t) / den};
}

// Prototype pole k (positive imaginary part) of the analog Butterworth
// low-pass with cutoff 1 rad/s.
Complex PrototypePole(int k)
{
  const double theta = kHalfPi + (static_cast<double>(2 * k + 1) * kPi) / (2.0 * kOrder);
  return {std::cos(theta), std::sin(theta)};
}

bool AllFinite(const ButterworthCoefficients& c)
{
  for (const BiquadCoefficients& s : c.sections)
  {
    if (!std::isfinite(s.b0) || !std::isfinite(s.b1) || !std::isfinite(s.b2) || !std::isfinite(s.a1) ||
        !std::isfinite(s.a2))
      return false;
  }
  return true;
}

ButterworthDesignResult Design(double fc, bool highPass, ButterworthCoefficients& out)
{
  if (!(fc < 0.5))
    return ButterworthDesignResult::CutoffNotBelowNyquist;
  if (fc < 0.0)
    return ButterworthDesignResult::CutoffNegative;

  const double tanWarp = std::tan(kPi * fc);
  const double w = highPass ? 1.0 / tanWarp : tanWarp;

  ButterworthCoefficients c;
  double denominatorProduct = 1.0; // product of each section's response denominator at the normalisation point
  for (int k = 0; k < 2; ++k)
  {
    const Complex s = PrototypePole(k);
    const Complex scaled{w * s.re, w * s.im};
    Complex z = Divide({1.0 + scaled.re, scaled.im}, {1.0 - scaled.re, -scaled.im});
    if (highPass)
      z = {-z.re, -z.im};
    if (std::isnan(z.re) || std::isnan(z.im))
      return ButterworthDesignResult::NonFiniteCoefficients;

    BiquadCoefficients& section = c.sections[static_cast<size_t>(k)];
    section.a1 = -2.0 * z.re;
    section.a2 = z.re * z.re + z.im * z.im;
    section.b0 = 1.0;
    section.b1 = highPass ? -2.0 : 2.0;
    section.b2 = 1.0;
    // Low-pass is normalised at DC (z = 1), high-pass at Nyquist (z = -1); the
    // numerator of every section is 4 at either point.
    const double denominator = highPass ? (1.0 - section.a1) + section.a2 : (1.0 + section.a1) + section.a2;
    denominatorProduct = k == 0 ? denominator : denominatorProduct * denominator;
  }
  // Keep this order (g = 1 / (16 / P)); P / 16 can differ in the last bit.
  const double response = 16.0 / denominatorProduct;
  const double g = 1.0 / response;
  BiquadCoefficients& first = c.sections[0];
  first.b0 = g;
  first.b1 = highPass ? -2.0 * g : 2.0 * g;
  first.b2 = g;

  if (!AllFinite(c))
    return ButterworthDesignResult::NonFiniteCoefficients;
  out = c;
  return ButterworthDesignResult::Ok;
}

} // namespace

ButterworthDesignResult DesignButterworthLowPass4(double normalisedCutoff, ButterworthCoefficients& out)
{
  return Design(normalisedCutoff, false, out);
}

ButterworthDesignResult DesignButterworthHighPass4(double normalisedCutoff, ButterworthCoefficients& out)
{
  return Design(normalisedCutoff, true, out);
}

} // namespace iplug
