#pragma once

// Four double lanes, in memory and in registers.
//
// LaneDoubles and LaneMasks hold four lanes in memory (the lane chain's
// settings and state): aligned arrays, laid out alike in every file.
//
// D4 and I4 are the values the lane code computes with. A file built for AVX
// holds one in a 256-bit register. A file built for SSE2 alone holds it as two
// 128-bit halves (lanes 0, 1 and lanes 2, 3) and does every operation on
// both, so values stay in SSE2 registers; a 32-byte compiler vector without
// AVX would live on the stack, each operation a store and a reload. Both
// convert implicitly from the memory forms; Store writes them back.
//
// The value types and every helper have internal linkage (an unnamed
// namespace, static inline functions), so a file built for AVX2 never lends
// its copy of one to a file built for SSE2.

#if defined(__AVX__)
#include <immintrin.h>
#else
#include <emmintrin.h>
#endif

namespace iplug::simd
{

struct alignas(32) LaneDoubles
{
  double lane[4];

  double& operator[](int i) { return lane[i]; }
  double operator[](int i) const { return lane[i]; }
};

struct alignas(32) LaneMasks
{
  long long lane[4]; // each all ones or zero

  long long& operator[](int i) { return lane[i]; }
  long long operator[](int i) const { return lane[i]; }
};

typedef float F4 __attribute__((vector_size(16)));

#define CALVORIN_LANE_INLINE static inline __attribute__((always_inline))

namespace
{

#if defined(__AVX__)
constexpr int kLaneBytesPerRegister = 32;
#else
constexpr int kLaneBytesPerRegister = 16;
#endif

// One register's worth of lanes.
typedef double DV __attribute__((vector_size(kLaneBytesPerRegister)));
typedef long long IV __attribute__((vector_size(kLaneBytesPerRegister)));
typedef unsigned long long UV __attribute__((vector_size(kLaneBytesPerRegister)));

#if defined(__AVX__)

struct D4
{
  DV v;

  D4() = default;
  explicit D4(DV value)
    : v(value)
  {
  }
  D4(double a, double b, double c, double d)
    : v(DV{a, b, c, d})
  {
  }
  D4(const LaneDoubles& m) { __builtin_memcpy(&v, m.lane, sizeof v); }
  double operator[](int i) const { return v[i]; }
  // Lane i (known only at run time) of a value in memory.
  void Set(int i, double x) { __builtin_memcpy(reinterpret_cast<char*>(this) + sizeof x * i, &x, sizeof x); }
  D4 WithLane3(double x) const
  {
    D4 r = *this;
    r.v[3] = x;
    return r;
  }
};

struct I4
{
  IV v;

  I4() = default;
  explicit I4(IV value)
    : v(value)
  {
  }
  I4(long long a, long long b, long long c, long long d)
    : v(IV{a, b, c, d})
  {
  }
  I4(const LaneMasks& m) { __builtin_memcpy(&v, m.lane, sizeof v); }
  long long operator[](int i) const { return v[i]; }
};

// R built from f applied to the operands' registers.
template <typename R, typename F, typename... A>
CALVORIN_LANE_INLINE R Zip(F f, A... a)
{
  return R(f(a.v...));
}

#else

struct D4
{
  DV lo, hi;

  D4() = default;
  D4(DV low, DV high)
    : lo(low)
    , hi(high)
  {
  }
  D4(double a, double b, double c, double d)
    : lo(DV{a, b})
    , hi(DV{c, d})
  {
  }
  D4(const LaneDoubles& m)
  {
    __builtin_memcpy(&lo, m.lane, sizeof lo);
    __builtin_memcpy(&hi, m.lane + 2, sizeof hi);
  }
  double operator[](int i) const { return i < 2 ? lo[i] : hi[i - 2]; }
  // Lane i (known only at run time) of a value in memory.
  void Set(int i, double x) { __builtin_memcpy(reinterpret_cast<char*>(this) + sizeof x * i, &x, sizeof x); }
  D4 WithLane3(double x) const { return D4(lo, DV{hi[0], x}); }
};

struct I4
{
  IV lo, hi;

  I4() = default;
  I4(IV low, IV high)
    : lo(low)
    , hi(high)
  {
  }
  I4(long long a, long long b, long long c, long long d)
    : lo(IV{a, b})
    , hi(IV{c, d})
  {
  }
  I4(const LaneMasks& m)
  {
    __builtin_memcpy(&lo, m.lane, sizeof lo);
    __builtin_memcpy(&hi, m.lane + 2, sizeof hi);
  }
  long long operator[](int i) const { return i < 2 ? lo[i] : hi[i - 2]; }
};

template <typename R, typename F, typename... A>
CALVORIN_LANE_INLINE R Zip(F f, A... a)
{
  return R(f(a.lo...), f(a.hi...));
}

#endif

static_assert(sizeof(D4) == sizeof(LaneDoubles) && sizeof(I4) == sizeof(LaneMasks));

CALVORIN_LANE_INLINE D4 operator+(D4 a, D4 b)
{
  return Zip<D4>([](DV x, DV y) { return x + y; }, a, b);
}

CALVORIN_LANE_INLINE D4 operator-(D4 a, D4 b)
{
  return Zip<D4>([](DV x, DV y) { return x - y; }, a, b);
}

CALVORIN_LANE_INLINE D4 operator*(D4 a, D4 b)
{
  return Zip<D4>([](DV x, DV y) { return x * y; }, a, b);
}

CALVORIN_LANE_INLINE D4 operator/(D4 a, D4 b)
{
  return Zip<D4>([](DV x, DV y) { return x / y; }, a, b);
}

CALVORIN_LANE_INLINE I4 operator&(I4 a, I4 b)
{
  return Zip<I4>([](IV x, IV y) { return x & y; }, a, b);
}

CALVORIN_LANE_INLINE I4 operator|(I4 a, I4 b)
{
  return Zip<I4>([](IV x, IV y) { return x | y; }, a, b);
}

CALVORIN_LANE_INLINE I4 operator~(I4 a)
{
  return Zip<I4>([](IV x) { return ~x; }, a);
}

CALVORIN_LANE_INLINE I4 operator+(I4 a, I4 b)
{
  return Zip<I4>([](IV x, IV y) { return x + y; }, a, b);
}

CALVORIN_LANE_INLINE I4 operator-(I4 a, I4 b)
{
  return Zip<I4>([](IV x, IV y) { return x - y; }, a, b);
}

CALVORIN_LANE_INLINE I4 ShiftLeft(I4 a, int bits)
{
  return Zip<I4>([bits](IV x) { return x << bits; }, a);
}

// Shifts in zeros from the top.
CALVORIN_LANE_INLINE I4 ShiftRightLogical(I4 a, int bits)
{
  return Zip<I4>([bits](IV x) { return reinterpret_cast<IV>(reinterpret_cast<UV>(x) >> bits); }, a);
}

CALVORIN_LANE_INLINE D4 Splat(double v)
{
  return D4(v, v, v, v);
}

CALVORIN_LANE_INLINE I4 SplatBits(long long v)
{
  return I4(v, v, v, v);
}

CALVORIN_LANE_INLINE I4 Bits(D4 v)
{
  return Zip<I4>([](DV x) { return reinterpret_cast<IV>(x); }, v);
}

CALVORIN_LANE_INLINE D4 FromBits(I4 v)
{
  return Zip<D4>([](IV x) { return reinterpret_cast<DV>(x); }, v);
}

// Four doubles from memory (any alignment), and back.
CALVORIN_LANE_INLINE D4 Load(const double* p)
{
  D4 v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

CALVORIN_LANE_INLINE I4 LoadBits(const long long* p)
{
  I4 v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

CALVORIN_LANE_INLINE void Store(double* p, D4 v)
{
  __builtin_memcpy(p, &v, sizeof v);
}

CALVORIN_LANE_INLINE void Store(LaneDoubles& m, D4 v)
{
  __builtin_memcpy(m.lane, &v, sizeof v);
}

CALVORIN_LANE_INLINE void StoreBits(long long* p, I4 v)
{
  __builtin_memcpy(p, &v, sizeof v);
}

CALVORIN_LANE_INLINE I4 Greater(D4 a, D4 b)
{
  return Zip<I4>([](DV x, DV y) { return reinterpret_cast<IV>(x > y); }, a, b);
}

CALVORIN_LANE_INLINE I4 Equal(D4 a, D4 b)
{
  return Zip<I4>([](DV x, DV y) { return reinterpret_cast<IV>(x == y); }, a, b);
}

// True where a is NaN.
CALVORIN_LANE_INLINE I4 IsNaN(D4 a)
{
  return Zip<I4>([](DV x) { return reinterpret_cast<IV>(x != x); }, a);
}

// Not (a >= b): true where a < b or either is NaN.
CALVORIN_LANE_INLINE I4 NotGreaterEqual(D4 a, D4 b)
{
  return Zip<I4>([](DV x, DV y) { return reinterpret_cast<IV>(!(x >= y)); }, a, b);
}

// Whether any lane of the mask is set.
CALVORIN_LANE_INLINE bool AnyLane(I4 mask)
{
#if defined(__AVX__)
  return _mm256_movemask_pd(reinterpret_cast<__m256d>(mask.v)) != 0;
#else
  return _mm_movemask_pd(reinterpret_cast<__m128d>(mask.lo | mask.hi)) != 0;
#endif
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

// Lanes 2, 3, 0, 1.
CALVORIN_LANE_INLINE D4 SwapHalves(D4 v)
{
#if defined(__AVX__)
  return D4(__builtin_shufflevector(v.v, v.v, 2, 3, 0, 1));
#else
  return D4(v.hi, v.lo);
#endif
}

// The lanes rounded to float.
CALVORIN_LANE_INLINE F4 ToFloats(D4 v)
{
#if defined(__AVX__)
  return __builtin_convertvector(v.v, F4);
#else
  return reinterpret_cast<F4>(_mm_movelh_ps(_mm_cvtpd_ps(v.lo), _mm_cvtpd_ps(v.hi)));
#endif
}

// a * b + c, fused (one rounding) where the file is built for FMA.
CALVORIN_LANE_INLINE D4 MulAdd(D4 a, D4 b, D4 c)
{
#if defined(__FMA__)
  return D4(_mm256_fmadd_pd(a.v, b.v, c.v));
#else
  return a * b + c;
#endif
}

// c - a * b, fused where the file is built for FMA.
CALVORIN_LANE_INLINE D4 NegMulAdd(D4 a, D4 b, D4 c)
{
#if defined(__FMA__)
  return D4(_mm256_fnmadd_pd(a.v, b.v, c.v));
#else
  return c - a * b;
#endif
}

// max(a, b) per lane that returns the other operand where one is NaN: the lane
// form of MaxIgnoringNaN, bit for bit.
CALVORIN_LANE_INLINE D4 MaxIgnoringNaN4(D4 a, D4 b)
{
  return Select(Greater(b, a) | IsNaN(a), b, a);
}

// MaxIgnoringNaN4(Abs(a), Abs(b)) rounded to float. Rounding keeps order and
// sign symmetry, so without AVX the floats are rounded first and compared in
// one register instead of two.
CALVORIN_LANE_INLINE F4 MaxAbsToFloats(D4 a, D4 b)
{
#if defined(__AVX__)
  return ToFloats(MaxIgnoringNaN4(Abs(a), Abs(b)));
#else
  typedef int FloatBits __attribute__((vector_size(16)));
  const FloatBits magnitude = {0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff};
  const F4 fa = reinterpret_cast<F4>(reinterpret_cast<FloatBits>(ToFloats(a)) & magnitude);
  const F4 fb = reinterpret_cast<F4>(reinterpret_cast<FloatBits>(ToFloats(b)) & magnitude);
  const FloatBits takeB = (fb > fa) | (fa != fa);
  return reinterpret_cast<F4>((takeB & reinterpret_cast<FloatBits>(fb)) | (~takeB & reinterpret_cast<FloatBits>(fa)));
#endif
}

} // namespace

} // namespace iplug::simd
