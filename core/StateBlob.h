#pragma once

// A growable byte array: the state chunk and the content of each preset slot.
// Values are appended as they lie in memory; every platform we build for is
// little-endian, which is what the chunk format requires.

#include <bit>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace iplug
{

static_assert(std::endian::native == std::endian::little, "the state chunk is little-endian");

class StateBlob
{
public:
  int Size() const { return static_cast<int>(mData.size()); }
  const std::uint8_t* GetData() const { return mData.data(); }
  std::uint8_t* GetData() { return mData.data(); }
  void Clear() { mData.clear(); }

  // Appends size bytes; returns the new size, or 0 when the blob cannot grow that far.
  int AppendBytes(const void* pData, int size);

  template <typename T>
  int Append(const T& value)
  {
    static_assert(std::is_trivially_copyable_v<T>);
    return AppendBytes(&value, static_cast<int>(sizeof(T)));
  }

  // Copies size bytes from pos; returns pos + size, or -1 (dest untouched) when
  // the blob holds fewer bytes there.
  int ReadBytesAt(void* pDest, int size, int pos) const;

  template <typename T>
  int ReadAt(T& value, int pos) const
  {
    static_assert(std::is_trivially_copyable_v<T>);
    return ReadBytesAt(&value, static_cast<int>(sizeof(T)), pos);
  }

private:
  std::vector<std::uint8_t> mData;
};

} // namespace iplug
