#pragma once

// One second-order section in Direct Form II: the coefficients (design) and the
// two delay values (state) are separate types, so a redesign never touches the
// state and a reset never touches the coefficients.

namespace iplug
{

// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2). The default is a
// pass-through section.
struct BiquadCoefficients
{
  double b0 = 1.0;
  double b1 = 0.0;
  double b2 = 0.0;
  double a1 = 0.0;
  double a2 = 0.0;
};

struct BiquadState
{
  double v1 = 0.0; // intermediate value of the previous sample
  double v2 = 0.0; // the one before that
};

// Audio thread. The bracketing is part of the contract: it reproduces the
// reference filters bit for bit (with contraction off).
inline double ProcessDirectFormII(const BiquadCoefficients& c, BiquadState& s, double u)
{
  const double w = (u - c.a1 * s.v1) - c.a2 * s.v2;
  const double y = (c.b0 * w + c.b1 * s.v1) + c.b2 * s.v2;
  s.v2 = s.v1;
  s.v1 = w;
  return y;
}

} // namespace iplug
