#pragma once

// Information about the mixer channel that hosts the plug-in.

#include "vst3/abi/Message.h"

namespace vst3
{
namespace ChannelContext
{

class IInfoListener : public FUnknown
{
public:
  virtual tresult VST3_CALL setChannelContextInfos(IAttributeList* list) = 0; // slot 3 (borrowed)

  VST3_DECLARE_IID(0x0F194781, 0x8D984ADA, 0xBBA0C1EF, 0xC011D8D0)
  VST3_INTERFACE_DESTRUCTOR(IInfoListener)
};

// Attribute keys (all optional). Strings are UTF-16.
constexpr const char* kChannelUIDKey = "channel uid";
constexpr const char* kChannelUIDLengthKey = "channel uid length";
constexpr const char* kChannelRuntimeIDKey = "channel runtime id";
constexpr const char* kChannelNameKey = "channel name";
constexpr const char* kChannelNameLengthKey = "channel name length";
constexpr const char* kChannelColorKey = "channel color";
constexpr const char* kChannelIndexKey = "channel index";
constexpr const char* kChannelIndexNamespaceOrderKey = "channel index namespace order";
constexpr const char* kChannelIndexNamespaceKey = "channel index namespace";
constexpr const char* kChannelIndexNamespaceLengthKey = "channel index namespace length";
constexpr const char* kChannelImageKey = "channel image";
constexpr const char* kChannelPluginLocationKey = "channel plugin location";

} // namespace ChannelContext
} // namespace vst3
