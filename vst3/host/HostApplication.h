#pragma once

// The host context handed to initialize(): IHostApplication with the host's
// name (plug-ins identify hosts by it) and IPlugInterfaceSupport.

#include "vst3/abi/HostApplication.h"
#include "vst3/host/ComObject.h"

#include <string>

namespace vst3host
{

class HostApplication final : public ComObject<vst3::IHostApplication, vst3::IPlugInterfaceSupport>
{
public:
  explicit HostApplication(std::string name = "Calvorin Test Host") : mName(std::move(name)) {}

  vst3::tresult VST3_CALL getName(vst3::String128 name) override;
  // Makes IMessage and IAttributeList objects (cid and iid both name the
  // interface); the caller owns the result.
  vst3::tresult VST3_CALL createInstance(vst3::TUID cid, vst3::TUID interfaceId, void** obj) override;
  vst3::tresult VST3_CALL isPlugInterfaceSupported(const vst3::TUID interfaceId) override;

  const std::string& Name() const { return mName; }

private:
  std::string mName;
};

} // namespace vst3host
