#include "vst3/host/HostApplication.h"

#include "vst3/abi/Vst3.h"
#include "vst3/host/AttributeList.h"
#include "vst3/host/Message.h"
#include "vst3/host/Strings.h"

namespace vst3host
{

vst3::tresult VST3_CALL HostApplication::getName(vst3::String128 name)
{
  if (!name)
    return vst3::kInvalidArgument;
  CopyToUtf16(mName, name, 128);
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL HostApplication::createInstance(vst3::TUID cid, vst3::TUID interfaceId, void** obj)
{
  if (!obj)
    return vst3::kInvalidArgument;
  *obj = nullptr;
  if (!cid || !interfaceId)
    return vst3::kInvalidArgument;
  ComPtr<vst3::FUnknown> made;
  if (vst3::IidEqual(cid, vst3::IMessage::iid))
    made = ComPtr<vst3::FUnknown>::Adopt(new Message());
  else if (vst3::IidEqual(cid, vst3::IAttributeList::iid))
    made = ComPtr<vst3::FUnknown>::Adopt(new AttributeList());
  else
    return vst3::kResultFalse;
  return made->queryInterface(interfaceId, obj);
}

vst3::tresult VST3_CALL HostApplication::isPlugInterfaceSupported(const vst3::TUID interfaceId)
{
  if (!interfaceId)
    return vst3::kInvalidArgument;
  const char* const supported[] = {vst3::IComponent::iid,       vst3::IAudioProcessor::iid,
                                   vst3::IEditController::iid,  vst3::IEditController2::iid,
                                   vst3::IConnectionPoint::iid, vst3::IUnitInfo::iid,
                                   vst3::IMidiMapping::iid,     vst3::IProcessContextRequirements::iid};
  for (const char* s : supported)
    if (vst3::IidEqual(interfaceId, s))
      return vst3::kResultTrue;
  return vst3::kResultFalse;
}

} // namespace vst3host
