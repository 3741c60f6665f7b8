#pragma once

// A host message (IMessage): an ID and an attribute list, created for plug-ins
// through IHostApplication::createInstance.

#include "vst3/abi/Message.h"
#include "vst3/host/AttributeList.h"
#include "vst3/host/ComObject.h"

#include <string>

namespace vst3host
{

class Message final : public ComObject<vst3::IMessage>
{
public:
  Message() : mAttributes(MakeCom<AttributeList>()) {}

  vst3::FIDString VST3_CALL getMessageID() override { return mId.empty() ? nullptr : mId.c_str(); }
  void VST3_CALL setMessageID(vst3::FIDString id) override { mId = id ? id : ""; }
  vst3::IAttributeList* VST3_CALL getAttributes() override { return mAttributes.Get(); }

private:
  std::string mId;
  ComPtr<AttributeList> mAttributes;
};

} // namespace vst3host
