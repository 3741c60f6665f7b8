#pragma once

// A growable in-memory byte stream (IBStream + ISizeableStream), as hosts
// hand to getState/setState. Reads can be limited to a chunk size per call to
// behave like hosts that deliver state in pieces.

#include "vst3/abi/Stream.h"
#include "vst3/host/ComObject.h"

#include <cstdint>
#include <vector>

namespace vst3host
{

class MemoryStream final : public ComObject<vst3::IBStream, vst3::ISizeableStream>
{
public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : mBytes(std::move(bytes)) {}

  vst3::tresult VST3_CALL read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead) override;
  vst3::tresult VST3_CALL write(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesWritten) override;
  vst3::tresult VST3_CALL seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override;
  vst3::tresult VST3_CALL tell(vst3::int64* pos) override;
  vst3::tresult VST3_CALL getStreamSize(vst3::int64& size) override;
  vst3::tresult VST3_CALL setStreamSize(vst3::int64 size) override;

  const std::vector<std::uint8_t>& Bytes() const { return mBytes; }
  std::int64_t Position() const { return mPosition; }
  void Rewind() { mPosition = 0; }
  // At most this many bytes per read call (0: no limit).
  void SetReadChunkLimit(vst3::int32 bytes) { mReadChunkLimit = bytes; }

private:
  std::vector<std::uint8_t> mBytes;
  std::int64_t mPosition = 0;
  vst3::int32 mReadChunkLimit = 0;
};

} // namespace vst3host
