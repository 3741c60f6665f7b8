#include "vst3/host/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace vst3host
{

namespace
{
// Streams hold plug-in state, not media: refuse sizes no state needs rather
// than attempt huge allocations on a hostile request.
constexpr std::int64_t kMaxStreamBytes = std::int64_t(1) << 30;
} // namespace

vst3::tresult VST3_CALL MemoryStream::read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead)
{
  if (numBytesRead)
    *numBytesRead = 0;
  if (numBytes < 0 || (!buffer && numBytes > 0))
    return vst3::kInvalidArgument;
  const std::int64_t size = static_cast<std::int64_t>(mBytes.size());
  std::int64_t n = std::clamp<std::int64_t>(size - mPosition, 0, numBytes);
  if (mReadChunkLimit > 0)
    n = std::min<std::int64_t>(n, mReadChunkLimit);
  if (n > 0)
    std::memcpy(buffer, mBytes.data() + mPosition, static_cast<std::size_t>(n));
  mPosition += n;
  if (numBytesRead)
    *numBytesRead = static_cast<vst3::int32>(n);
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL MemoryStream::write(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesWritten)
{
  if (numBytesWritten)
    *numBytesWritten = 0;
  if (numBytes < 0 || (!buffer && numBytes > 0))
    return vst3::kInvalidArgument;
  const std::int64_t end = mPosition + numBytes;
  if (end > kMaxStreamBytes)
    return vst3::kOutOfMemory;
  if (end > static_cast<std::int64_t>(mBytes.size()))
    mBytes.resize(static_cast<std::size_t>(end));
  if (numBytes > 0)
    std::memcpy(mBytes.data() + mPosition, buffer, static_cast<std::size_t>(numBytes));
  mPosition = end;
  if (numBytesWritten)
    *numBytesWritten = numBytes;
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL MemoryStream::seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result)
{
  std::int64_t base = 0;
  switch (mode) {
  case vst3::IBStream::kIBSeekSet: base = 0; break;
  case vst3::IBStream::kIBSeekCur: base = mPosition; break;
  case vst3::IBStream::kIBSeekEnd: base = static_cast<std::int64_t>(mBytes.size()); break;
  default: return vst3::kInvalidArgument;
  }
  // A target before the start is refused and leaves the position as it was.
  if (pos < -base || pos > kMaxStreamBytes - base)
    return vst3::kInvalidArgument;
  mPosition = base + pos;
  if (result)
    *result = mPosition;
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL MemoryStream::tell(vst3::int64* pos)
{
  if (!pos)
    return vst3::kInvalidArgument;
  *pos = mPosition;
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL MemoryStream::getStreamSize(vst3::int64& size)
{
  size = static_cast<vst3::int64>(mBytes.size());
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL MemoryStream::setStreamSize(vst3::int64 size)
{
  if (size < 0 || size > kMaxStreamBytes)
    return vst3::kInvalidArgument;
  mBytes.resize(static_cast<std::size_t>(size));
  return vst3::kResultOk;
}

} // namespace vst3host
