#pragma once

// exp, log and tanh on four double lanes, built only from +, -, *, / and bit
// operations (no library call), for the ranges the engine uses. Measured error
// against the C library (vector_math_test): exp and log within 1 ulp, tanh within 2 ulp.
// - Exp: exact special values (NaN, +-inf); results below the smallest normal
//   number are returned as zero, as the engine flushes them anyway.
// - Log: exact special values (0 -> -inf, negative or NaN -> NaN, +inf).
// - Tanh: odd, exactly +-1 for large |x|, NaN stays NaN.

#include "dsp/simd/VectorTypes.h"

namespace iplug::simd
{

// e^x: x = n ln2 + r with |r| <= ln2 / 2 (ln2 split in two for an exact
// product), e^r by its Taylor series to degree 13, then scaled by 2^n built in
// the exponent bits, in two factors so that n = 1024 and n = -1022 stay exact.
CALVORIN_LANE_INLINE D4 Exp(D4 x)
{
  const D4 shifter = Splat(0x1.8p52); // adding it rounds to an integer held in the low bits
  const D4 t = MulAdd(x, Splat(1.4426950408889634), shifter);
  const D4 n = t - shifter;
  D4 r = NegMulAdd(n, Splat(6.93147180369123816490e-01), x);
  r = NegMulAdd(n, Splat(1.90821492927058770002e-10), r);

  // 1 + r (1 + r (1/2 + r Q(r))) with Q the series from 1/3! to 1/13!, Q by
  // Estrin's scheme (short dependency chains), the last three steps Horner.
  const D4 r2 = r * r;
  const D4 r4 = r2 * r2;
  const D4 r8 = r4 * r4;
  const D4 q01 = MulAdd(Splat(1.0 / 24.0), r, Splat(1.0 / 6.0));
  const D4 q23 = MulAdd(Splat(1.0 / 720.0), r, Splat(1.0 / 120.0));
  const D4 q45 = MulAdd(Splat(1.0 / 40320.0), r, Splat(1.0 / 5040.0));
  const D4 q67 = MulAdd(Splat(1.0 / 3628800.0), r, Splat(1.0 / 362880.0));
  const D4 q89 = MulAdd(Splat(1.0 / 479001600.0), r, Splat(1.0 / 39916800.0));
  const D4 q03 = MulAdd(q23, r2, q01);
  const D4 q47 = MulAdd(q67, r2, q45);
  const D4 q8a = MulAdd(Splat(1.0 / 6227020800.0), r2, q89);
  const D4 q = MulAdd(q8a, r8, MulAdd(q47, r4, q03));
  D4 p = MulAdd(q, r, Splat(0.5));
  p = MulAdd(p, r, Splat(1.0));
  p = MulAdd(p, r, Splat(1.0));

  const I4 ni = Bits(t) - Bits(shifter);
  // With every |x| <= 708 (the common case), 2^n is one normal number.
  if (!AnyLane(NotGreaterEqual(Splat(708.0), Abs(x))))
    return p * FromBits(ShiftLeft(ni + SplatBits(1023), 52));

  // 2^n = 2^(n-1) * 2 for n > 0, else 2^(n+1) * 0.5.
  const I4 positive = Greater(n, Splat(0.0));
  const I4 biased = ni + SplatBits(1024) + (positive & SplatBits(-2));
  const D4 scale = FromBits(ShiftLeft(biased, 52));
  D4 y = (p * scale) * Select(positive, Splat(2.0), Splat(0.5));

  y = Select(Greater(x, Splat(709.782712893384)), Splat(__builtin_inf()), y);
  y = Select(Greater(Splat(-708.3964185322641), x), Splat(0.0), y);
  return y;
}

// log x: x = 2^k m with m in [sqrt(1/2), sqrt(2)), f = m - 1, s = f / (2 + f),
// log(1 + f) = f - f^2/2 + s (f^2/2 + R(s^2)) with R the classic degree-14
// minimax polynomial (error below 2^-58.45), k ln2 split in two. Here for a
// positive normal x that stands for x 2^-scale.
CALVORIN_LANE_INLINE D4 LogOfNormal(D4 xs, D4 scale)
{
  const I4 bits = Bits(xs);
  const I4 exponentField = ShiftRightLogical(bits, 52) & SplatBits(0x7ff);
  D4 k = (FromBits(exponentField | Bits(Splat(0x1p52))) - Splat(0x1p52)) - Splat(1023.0);
  k = k - scale;
  D4 m = FromBits((bits & SplatBits(0x000fffffffffffffLL)) | Bits(Splat(1.0)));
  const I4 above = Greater(m, Splat(1.4142135623730951));
  m = Select(above, m * Splat(0.5), m);
  k = Select(above, k + Splat(1.0), k);

  const D4 f = m - Splat(1.0);
  const D4 s = f / (Splat(2.0) + f);
  const D4 hfsq = Splat(0.5) * f * f;
  const D4 z = s * s;
  const D4 w = z * z;
  const D4 t1 = w * MulAdd(w, MulAdd(w, Splat(1.531383769920937332e-01), Splat(2.222219843214978396e-01)),
                           Splat(3.999999999940941908e-01));
  const D4 t2 =
    z * MulAdd(w,
               MulAdd(w, MulAdd(w, Splat(1.479819860511658591e-01), Splat(1.818357216161805012e-01)),
                      Splat(2.857142874366239149e-01)),
               Splat(6.666666666666735130e-01));
  const D4 rr = t2 + t1;
  return k * Splat(6.93147180369123816490e-01) -
         ((hfsq - (s * (hfsq + rr) + k * Splat(1.90821492927058770002e-10))) - f);
}

CALVORIN_LANE_INLINE D4 Log(D4 x)
{
  // Every lane a positive normal number: the common case.
  const I4 tiny = Greater(Splat(0x1p-1022), x);
  if (!AnyLane(tiny | ~Greater(Splat(__builtin_inf()), x)))
    return LogOfNormal(x, Splat(0.0));

  // Subnormal: scaled into the normal range.
  D4 y = LogOfNormal(Select(tiny, x * Splat(0x1p54), x), Select(tiny, Splat(54.0), Splat(0.0)));
  y = Select(Equal(x, Splat(__builtin_inf())), x, y);
  y = Select(Equal(x, Splat(0.0)), Splat(-__builtin_inf()), y);
  y = Select(NotGreaterEqual(x, Splat(0.0)), Splat(__builtin_nan("")), y);
  return y;
}

// tanh x: below |x| = 0.625 x + x z P(z)/Q(z) with z = x^2 (a rational
// minimax form), above it 1 - 2/(e^2|x| + 1); one division serves both, and
// the result takes the sign of x.
CALVORIN_LANE_INLINE D4 Tanh(D4 x)
{
  const D4 ax = Abs(x);
  const I4 small = Greater(Splat(0.625), ax);
  const D4 z = x * x;
  const D4 p = MulAdd(MulAdd(Splat(-9.64399179425052238628e-1), z, Splat(-9.92877231001918586564e1)), z,
                      Splat(-1.61468768441708447952e3));
  const D4 q = MulAdd(MulAdd(z + Splat(1.12811678491632931402e2), z, Splat(2.23548839060100448583e3)), z,
                      Splat(4.84406305325125486048e3));
  const D4 e = Exp(ax + ax);

  const D4 numerator = Select(small, x * z * p, Splat(-2.0));
  const D4 denominator = Select(small, q, e + Splat(1.0));
  const D4 y = Select(small, x, Splat(1.0)) + numerator / denominator;
  const I4 sign = SplatBits(static_cast<long long>(0x8000000000000000ULL));
  return FromBits((Bits(y) & ~sign) | (Bits(x) & sign));
}

} // namespace iplug::simd
