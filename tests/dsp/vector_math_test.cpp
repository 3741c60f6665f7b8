#include "dsp/simd/LaneKernelSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace iplug::simd;

namespace
{

std::vector<const LaneKernels*> AvailableKernels()
{
  std::vector<const LaneKernels*> kernels{&Sse2LaneKernels()};
  if (Avx2Supported())
    kernels.push_back(&Avx2LaneKernels());
  return kernels;
}

// Distance in units of the last place of the reference value.
double UlpError(double value, double reference)
{
  if (value == reference || (std::isnan(value) && std::isnan(reference)))
    return 0.0;
  if (!std::isfinite(value) || !std::isfinite(reference))
    return std::numeric_limits<double>::infinity();
  return std::fabs(value - reference) / std::ldexp(1.0, std::ilogb(reference) - 52);
}

struct Range
{
  const char* function;
  double lo, hi;
  bool logarithmic; // sample |x| log-uniformly (lo > 0)
  double maxUlp;
};

// The engine's ranges and then some: exp of gain exponents and the tanh
// argument doubled, log of envelopes from the noise floor to far above full
// scale, tanh of driven band samples.
constexpr Range kRanges[] = {
  {"exp", -708.0, 709.7, false, 1.0},  {"exp", -2.0, 2.0, false, 1.0},
  {"log", 1e-300, 1e300, true, 1.0},   {"log", 0.5, 2.0, false, 1.0},
  {"tanh", -0.7, 0.7, false, 2.0},     {"tanh", -40.0, 40.0, false, 2.0},
  {"tanh", 1e-12, 1e-3, true, 2.0},
};

void Apply(const LaneKernels& k, const std::string& function, const std::vector<double>& x, std::vector<double>& y)
{
  y.resize(x.size());
  const int n = static_cast<int>(x.size());
  if (function == "exp")
    k.exp(x.data(), y.data(), n);
  else if (function == "log")
    k.log(x.data(), y.data(), n);
  else
    k.tanh(x.data(), y.data(), n);
}

double Reference(const std::string& function, double x)
{
  return function == "exp" ? std::exp(x) : function == "log" ? std::log(x) : std::tanh(x);
}

} // namespace

TEST(VectorMath, WithinItsUlpBoundOfTheCLibraryOverTheEngineRanges)
{
  std::mt19937_64 random(7);
  for (const LaneKernels* k : AvailableKernels())
  {
    for (const Range& range : kRanges)
    {
      std::uniform_real_distribution<double> u(0.0, 1.0);
      std::vector<double> x(200001), y;
      for (double& v : x)
        v = range.logarithmic ? std::exp(std::log(range.lo) + u(random) * (std::log(range.hi) - std::log(range.lo)))
                              : range.lo + u(random) * (range.hi - range.lo);
      Apply(*k, range.function, x, y);
      double worst = 0.0;
      double worstAt = 0.0;
      for (size_t i = 0; i < x.size(); ++i)
      {
        const double e = UlpError(y[i], Reference(range.function, x[i]));
        if (!(e <= worst))
        {
          worst = e;
          worstAt = x[i];
        }
      }
      EXPECT_LE(worst, range.maxUlp) << k->name << " " << range.function << " on [" << range.lo << ", "
                                     << range.hi << "]: worst at " << worstAt;
    }
  }
}

TEST(VectorMath, SpecialValues)
{
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> x{0.0, -0.0, inf, -inf, nan, -1.0, 1e-310, 709.78, -708.0, 1000.0};
  for (const LaneKernels* k : AvailableKernels())
  {
    for (const char* function : {"exp", "log", "tanh"})
    {
      std::vector<double> y;
      Apply(*k, function, x, y);
      for (size_t i = 0; i < x.size(); ++i)
      {
        const double r = Reference(function, x[i]);
        EXPECT_LE(UlpError(y[i], r), 2.0) << k->name << " " << function << "(" << x[i] << ") = " << y[i];
        if (!std::isnan(r))
        {
          EXPECT_EQ(std::signbit(y[i]), std::signbit(r)) << k->name << " " << function << "(" << x[i] << ")";
        }
      }
    }
  }
}
