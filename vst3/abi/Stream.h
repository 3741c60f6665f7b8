#pragma once

// Byte streams through which hosts hand state to components and controllers.

#include "vst3/abi/FUnknown.h"

namespace vst3
{

class IBStream : public FUnknown
{
public:
  enum IStreamSeekMode : int32
  {
    kIBSeekSet = 0,
    kIBSeekCur = 1,
    kIBSeekEnd = 2
  };

  virtual tresult VST3_CALL read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;     // slot 3
  virtual tresult VST3_CALL write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0; // slot 4
  virtual tresult VST3_CALL seek(int64 pos, int32 mode, int64* result) = 0;                  // slot 5
  virtual tresult VST3_CALL tell(int64* pos) = 0;                                            // slot 6

  VST3_DECLARE_IID(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B)
  VST3_INTERFACE_DESTRUCTOR(IBStream)
};

class ISizeableStream : public FUnknown
{
public:
  virtual tresult VST3_CALL getStreamSize(int64& size) = 0; // slot 3
  virtual tresult VST3_CALL setStreamSize(int64 size) = 0;  // slot 4

  VST3_DECLARE_IID(0x04F9549E, 0xE02F4E6E, 0x87E86A87, 0x47F4E17F)
  VST3_INTERFACE_DESTRUCTOR(ISizeableStream)
};

} // namespace vst3
