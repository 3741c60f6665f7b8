#pragma once

#include <algorithm>
#include <cmath>

namespace igraphics
{

// A rectangle in editor units, y growing downwards.
struct IBounds
{
  float L = 0.f;
  float T = 0.f;
  float R = 0.f;
  float B = 0.f;

  IBounds() = default;
  IBounds(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}

  float W() const { return R - L; }
  float H() const { return B - T; }
  float MW() const { return 0.5f * (L + R); }
  float MH() const { return 0.5f * (T + B); }

  // All four zero counts as empty (the control framework's convention).
  bool Empty() const { return L == 0.f && T == 0.f && R == 0.f && B == 0.f; }
  bool HasArea() const { return W() > 0.f && H() > 0.f; }

  bool Contains(float x, float y) const { return x >= L && x < R && y >= T && y < B; }

  bool Intersects(const IBounds& o) const { return L < o.R && o.L < R && T < o.B && o.T < B; }

  IBounds GetPadded(float pad) const { return {L - pad, T - pad, R + pad, B + pad}; }
  IBounds GetTranslated(float dx, float dy) const { return {L + dx, T + dy, R + dx, B + dy}; }
  IBounds GetScaled(float s) const { return {L * s, T * s, R * s, B * s}; }

  IBounds Union(const IBounds& o) const
  {
    return {std::min(L, o.L), std::min(T, o.T), std::max(R, o.R), std::max(B, o.B)};
  }

  IBounds Intersect(const IBounds& o) const
  {
    IBounds r{std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B)};
    if (r.R < r.L) r.R = r.L;
    if (r.B < r.T) r.B = r.T;
    return r;
  }

  // The smallest whole-unit rectangle that covers this one.
  IBounds GetPixelAligned() const { return {std::floor(L), std::floor(T), std::ceil(R), std::ceil(B)}; }

  bool operator==(const IBounds& o) const = default;
};

} // namespace igraphics
