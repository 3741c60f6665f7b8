#include "core/StateBlob.h"

#include <climits>
#include <cstring>

namespace iplug
{

int StateBlob::AppendBytes(const void* pData, int size)
{
  if (size < 0 || static_cast<long long>(mData.size()) + size > INT_MAX)
    return 0;
  const std::size_t oldSize = mData.size();
  mData.resize(oldSize + static_cast<std::size_t>(size));
  if (size > 0)
    std::memcpy(mData.data() + oldSize, pData, static_cast<std::size_t>(size));
  return Size();
}

int StateBlob::ReadBytesAt(void* pDest, int size, int pos) const
{
  if (pos < 0 || size < 0 || static_cast<long long>(pos) + size > static_cast<long long>(mData.size()))
    return -1;
  if (size > 0)
    std::memcpy(pDest, mData.data() + pos, static_cast<std::size_t>(size));
  return pos + size;
}

} // namespace iplug
