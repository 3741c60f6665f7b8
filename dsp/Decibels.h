#pragma once

// Decibel conversions with the exact constants the whole engine shares.

namespace iplug
{

constexpr double kDbPerNeper = 8.685889638065037;    // 20 / ln 10
constexpr double kNeperPerDb = 0.1151292546497;      // ln 10 / 20

// max(a, b) that returns the other operand when one of them is NaN.
inline double MaxIgnoringNaN(double a, double b)
{
  return (b > a || a != a) ? b : a;
}

} // namespace iplug
