#pragma once

#include <array>
#include <span>

namespace iplug
{

// One point of a host's automation curve: at frame `offset` of the block the
// parameter has `value` (real, not normalised); between two points of one
// parameter the curve is a straight line.
struct ParamPoint
{
  // The host's own bypass switch (value 0 or 1), which is no parameter of the plug-in.
  static constexpr int kHostBypass = -1;

  int paramIdx = 0;
  int offset = 0;
  double value = 0.0;
};

// The points of one block, ordered by offset (points at the same offset keep
// the order they were added in). Fixed capacity, so the audio thread never
// allocates.
class ParamPointList
{
public:
  static constexpr int kCapacity = 2048;

  void Clear() { mSize = 0; }
  int Size() const { return mSize; }
  int Room() const { return kCapacity - mSize; }

  // False when full.
  bool Add(const ParamPoint& point)
  {
    if (mSize >= kCapacity)
      return false;
    int i = mSize++;
    // Hosts send each queue in order, so this rarely moves far.
    while (i > 0 && mPoints[static_cast<size_t>(i - 1)].offset > point.offset)
    {
      mPoints[static_cast<size_t>(i)] = mPoints[static_cast<size_t>(i - 1)];
      --i;
    }
    mPoints[static_cast<size_t>(i)] = point;
    return true;
  }

  std::span<const ParamPoint> Points() const { return {mPoints.data(), static_cast<size_t>(mSize)}; }

private:
  std::array<ParamPoint, kCapacity> mPoints{};
  int mSize = 0;
};

} // namespace iplug
