#pragma once

#include "graphics/IColor.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace igraphics
{

enum class EFillKind : int { Solid = 0, Linear = 1, Radial = 2 };

// What a gradient does outside its 0..1 range.
enum class EPatternExtend : int { Pad = 0, None, Repeat, Reflect };

struct IColorStop
{
  IRgba mColor;
  float mOffset = 0.f; // 0..1
};

// A solid colour or a gradient. Gradients are defined in a unit space: a linear
// gradient runs along x from 0 to 1, a radial one from the origin (offset 0) to
// radius 1. mTransform maps editor coordinates into that space
// (x' = xx x + xy y + tx, y' = yx x + yy y + ty).
struct IFill
{
  static constexpr int kMaxStops = 16;

  int mKind = static_cast<int>(EFillKind::Solid);
  int mExtend = static_cast<int>(EPatternExtend::Pad);
  IColorStop mStops[kMaxStops] = {};
  int mNStops = 0;
  double mTransform[6] = {1., 0., 0., 1., 0., 0.}; // xx, yx, xy, yy, tx, ty

  IFill() = default;
  IFill(const IRgba& color) // implicit: a colour is a solid fill
  {
    mStops[0] = {color, 0.f};
    mNStops = 1;
  }

  static IFill LinearGradient(float x1, float y1, float x2, float y2, std::initializer_list<IColorStop> stops)
  {
    IFill f;
    f.mKind = static_cast<int>(EFillKind::Linear);
    f.SetStops(stops);
    const double dx = x2 - x1, dy = y2 - y1;
    double len2 = dx * dx + dy * dy;
    if (len2 <= 0.) // a zero-length axis: everything takes the first colour
      len2 = 1e-12;
    // u: projection onto the axis; v: perpendicular, for completeness.
    f.mTransform[0] = dx / len2;
    f.mTransform[2] = dy / len2;
    f.mTransform[4] = -(x1 * dx + y1 * dy) / len2;
    f.mTransform[1] = -dy / len2;
    f.mTransform[3] = dx / len2;
    f.mTransform[5] = (x1 * dy - y1 * dx) / len2;
    return f;
  }

  static IFill RadialGradient(float cx, float cy, float r, std::initializer_list<IColorStop> stops)
  {
    IFill f;
    f.mKind = static_cast<int>(EFillKind::Radial);
    f.SetStops(stops);
    const double rr = r > 0.f ? r : 1e-6;
    f.mTransform[0] = 1. / rr;
    f.mTransform[3] = 1. / rr;
    f.mTransform[4] = -cx / rr;
    f.mTransform[5] = -cy / rr;
    return f;
  }

  // Keeps at most kMaxStops; offsets are clamped to 0..1.
  void SetStops(std::initializer_list<IColorStop> stops)
  {
    mNStops = 0;
    for (const IColorStop& s : stops)
    {
      if (mNStops == kMaxStops)
        break;
      mStops[mNStops] = s;
      mStops[mNStops].mOffset = std::clamp(s.mOffset, 0.f, 1.f);
      ++mNStops;
    }
  }

  EFillKind Kind() const { return static_cast<EFillKind>(mKind); }
};

enum class ELineJoin : int { Miter = 0, Round, Bevel };
enum class ELineCap : int { Butt = 0, Round, Square };
enum class EFillRule : int { Winding = 0, EvenOdd };

struct IStrokeOptions
{
  float mMiterLimit = 10.f;
  ELineJoin mJoin = ELineJoin::Miter;
  ELineCap mCap = ELineCap::Butt;
  bool mPreserve = false;
};

struct IFillOptions
{
  EFillRule mFillRule = EFillRule::Winding;
  bool mPreserve = false;
};

} // namespace igraphics
