#pragma once

// Attribute lists, messages and connection points (host objects, also used by
// the channel-context notification).

#include "vst3/abi/FUnknown.h"

namespace vst3
{

class IAttributeList : public FUnknown
{
public:
  using AttrID = const char*;

  virtual tresult VST3_CALL setInt(AttrID id, int64 value) = 0;                               // slot 3
  virtual tresult VST3_CALL getInt(AttrID id, int64& value) = 0;                              // slot 4
  virtual tresult VST3_CALL setFloat(AttrID id, double value) = 0;                            // slot 5
  virtual tresult VST3_CALL getFloat(AttrID id, double& value) = 0;                           // slot 6
  virtual tresult VST3_CALL setString(AttrID id, const TChar* string) = 0;                    // slot 7
  // sizeInBytes is the buffer size in bytes, not in characters.
  virtual tresult VST3_CALL getString(AttrID id, TChar* string, uint32 sizeInBytes) = 0;      // slot 8
  virtual tresult VST3_CALL setBinary(AttrID id, const void* data, uint32 sizeInBytes) = 0;   // slot 9
  virtual tresult VST3_CALL getBinary(AttrID id, const void*& data, uint32& sizeInBytes) = 0; // slot 10

  VST3_DECLARE_IID(0x1E5F0AEB, 0xCC7F4533, 0xA2544011, 0x38AD5EE4)
  VST3_INTERFACE_DESTRUCTOR(IAttributeList)
};

class IMessage : public FUnknown
{
public:
  virtual FIDString VST3_CALL getMessageID() = 0;         // slot 3
  virtual void VST3_CALL setMessageID(FIDString id) = 0;  // slot 4
  virtual IAttributeList* VST3_CALL getAttributes() = 0;  // slot 5 (borrowed)

  VST3_DECLARE_IID(0x936F033B, 0xC6C047DB, 0xBB0882F8, 0x13C1E613)
  VST3_INTERFACE_DESTRUCTOR(IMessage)
};

class IConnectionPoint : public FUnknown
{
public:
  virtual tresult VST3_CALL connect(IConnectionPoint* other) = 0;    // slot 3
  virtual tresult VST3_CALL disconnect(IConnectionPoint* other) = 0; // slot 4
  virtual tresult VST3_CALL notify(IMessage* message) = 0;           // slot 5

  VST3_DECLARE_IID(0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1)
  VST3_INTERFACE_DESTRUCTOR(IConnectionPoint)
};

} // namespace vst3
