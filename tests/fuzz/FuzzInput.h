#pragma once

// Reads typed values off the front of a fuzz input; past the end every read
// returns zeros, so a target never reads out of bounds.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput
{
public:
  FuzzInput(const uint8_t* data, size_t size)
    : mData(data)
    , mSize(size)
  {
  }

  bool Empty() const { return mPos >= mSize; }
  size_t Remaining() const { return mPos < mSize ? mSize - mPos : 0; }

  template <typename T>
  T Take()
  {
    T value{};
    const size_t n = sizeof(T) < Remaining() ? sizeof(T) : Remaining();
    if (n > 0)
      std::memcpy(&value, mData + mPos, n);
    mPos += n;
    return value;
  }

  uint8_t Byte() { return Take<uint8_t>(); }
  bool Bool() { return Byte() & 1; }
  // A value in 0 .. count-1 (0 when count is 0).
  uint32_t Below(uint32_t count) { return count ? Take<uint32_t>() % count : 0; }

  // A double that is often special: the selector byte picks NaN, the
  // infinities, zero, a denormal, the extremes, or the raw next eight bytes.
  double Double()
  {
    static constexpr double kSpecial[] = {
      0.0, -0.0, 1.0, -1.0, 0.5, 1e-310, -4.9e-324, 1e308, -1e308, 2.2250738585072014e-308,
      __builtin_nan(""), -__builtin_nan(""), __builtin_inf(), -__builtin_inf(), 1e-38, 100.0,
    };
    const uint8_t sel = Byte();
    if (sel < 2 * sizeof(kSpecial) / sizeof(kSpecial[0]))
      return kSpecial[sel / 2];
    return Take<double>();
  }

  // Up to maxLen bytes of text (zero bytes end it early when used as C text).
  std::string Text(size_t maxLen)
  {
    const size_t len = Below(static_cast<uint32_t>(maxLen) + 1);
    const size_t n = len < Remaining() ? len : Remaining();
    std::string s(reinterpret_cast<const char*>(mData + mPos), n);
    mPos += n;
    return s;
  }

  std::string Rest()
  {
    std::string s(reinterpret_cast<const char*>(mData + mPos), Remaining());
    mPos = mSize;
    return s;
  }

private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};
