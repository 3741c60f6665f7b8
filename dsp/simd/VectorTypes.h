#pragma once

// Four double lanes as a compiler vector, with the few helpers the lane code
// needs. The same source compiles to SSE2 (two registers per value) or, in a
// file built for AVX2/FMA, to one register. Every helper has internal linkage,
// so a file built for AVX2 never lends its copy to a file built for SSE2.

#if defined(__FMA__)
#include <immintrin.h>
#endif

// Every function on these types is inlined, so no 32-byte value crosses a call
// in a file built without AVX and GCC's note on that calling convention does
// not apply (GCC still prints it as a note unless the file is built
// with -Wno-psabi).
#if defined(__clang__)
#if __has_warning("-Wpsabi")
#pragma clang diagnostic ignored "-Wpsabi"
#endif
#elif defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace iplug::simd
{

typedef double D4 __attribute__((vector_size(32)));
typedef long long I4 __attribute__((vector_size(32)));
typedef unsigned long long U4 __attribute__((vector_size(32)));
typedef double D2 __attribute__((vector_size(16)));
typedef long long I2 __attribute__((vector_size(16)));
typedef float F4 __attribute__((vector_size(16)));

#define CALVORIN_LANE_INLINE static inline __attribute__((always_inline))

CALVORIN_LANE_INLINE D4 Splat(double v)
{
  return D4{v, v, v, v};
}

CALVORIN_LANE_INLINE I4 SplatBits(long long v)
{
  return I4{v, v, v, v};
}

CALVORIN_LANE_INLINE I4 Bits(D4 v)
{
  return reinterpret_cast<I4>(v);
}

CALVORIN_LANE_INLINE D4 FromBits(I4 v)
{
  return reinterpret_cast<D4>(v);
}

// A lane comparison as all-ones / all-zeros 64-bit lanes (the comparison's own
// integer type differs between targets).
template <typename Comparison>
CALVORIN_LANE_INLINE I4 Mask(Comparison comparison)
{
  return reinterpret_cast<I4>(comparison);
}

// compare(a, b) per lane as a mask. Without AVX, GCC would compare four-lane
// values one lane at a time through general registers; two two-lane
// comparisons keep the work in SSE2 registers.
template <typename Compare>
CALVORIN_LANE_INLINE I4 CompareLanes(D4 a, D4 b, Compare compare)
{
#if defined(__AVX__)
  return Mask(compare(a, b));
#else
  const I2 lo = reinterpret_cast<I2>(compare(D2{a[0], a[1]}, D2{b[0], b[1]}));
  const I2 hi = reinterpret_cast<I2>(compare(D2{a[2], a[3]}, D2{b[2], b[3]}));
  return I4{lo[0], lo[1], hi[0], hi[1]};
#endif
}

CALVORIN_LANE_INLINE I4 Greater(D4 a, D4 b)
{
  return CompareLanes(a, b, [](auto x, auto y) { return x > y; });
}

CALVORIN_LANE_INLINE I4 Equal(D4 a, D4 b)
{
  return CompareLanes(a, b, [](auto x, auto y) { return x == y; });
}

// Not (a >= b): true where a < b or either is NaN.
CALVORIN_LANE_INLINE I4 NotGreaterEqual(D4 a, D4 b)
{
  return CompareLanes(a, b, [](auto x, auto y) { return !(x >= y); });
}

// Lanes of `yes` where mask is all ones, else lanes of `no`.
CALVORIN_LANE_INLINE D4 Select(I4 mask, D4 yes, D4 no)
{
  return FromBits((mask & Bits(yes)) | (~mask & Bits(no)));
}

CALVORIN_LANE_INLINE D4 Abs(D4 v)
{
  return FromBits(Bits(v) & SplatBits(0x7fffffffffffffffLL));
}

// a * b + c, fused (one rounding) where the file is built for FMA.
CALVORIN_LANE_INLINE D4 MulAdd(D4 a, D4 b, D4 c)
{
#if defined(__FMA__)
  return _mm256_fmadd_pd(a, b, c);
#else
  return a * b + c;
#endif
}

// c - a * b, fused where the file is built for FMA.
CALVORIN_LANE_INLINE D4 NegMulAdd(D4 a, D4 b, D4 c)
{
#if defined(__FMA__)
  return _mm256_fnmadd_pd(a, b, c);
#else
  return c - a * b;
#endif
}

// max(a, b) per lane that returns the other operand where one is NaN: the lane
// form of MaxIgnoringNaN, bit for bit.
CALVORIN_LANE_INLINE D4 MaxIgnoringNaN4(D4 a, D4 b)
{
  return Select(Greater(b, a) | NotGreaterEqual(a, a), b, a); // a != a: a is NaN
}

} // namespace iplug::simd
