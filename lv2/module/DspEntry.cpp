// The DSP object's C entry point: one plug-in, its calls handed to IPlugLV2.

#include "lv2/IPlugLV2.h"
#include "lv2/module/PluginProduct.h"

#include <lv2/core/lv2.h>

#include <cstring>
#include <memory>
#include <new>

namespace
{

iplug::IPlugLV2* Plug(LV2_Handle handle)
{
  return static_cast<iplug::IPlugLV2*>(handle);
}

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const*)
{
  try
  {
    std::unique_ptr<iplug::IPlugLV2> plug(iplug::MakeLV2Plug());
    if (!plug || !plug->PrepareToRun(sampleRate))
      return nullptr;
    return plug.release();
  }
  catch (const std::bad_alloc&)
  {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data)
{
  Plug(handle)->ConnectPort(port, data);
}

void Activate(LV2_Handle handle)
{
  Plug(handle)->Activate();
}

void Run(LV2_Handle handle, uint32_t nFrames)
{
  Plug(handle)->Run(nFrames);
}

void Deactivate(LV2_Handle) {}

void Cleanup(LV2_Handle handle)
{
  delete Plug(handle);
}

const void* ExtensionData(const char*)
{
  return nullptr;
}

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
  static const LV2_Descriptor descriptor = {iplug::GetLV2ProductURIs().plugin, Instantiate, ConnectPort, Activate, Run,
                                            Deactivate, Cleanup, ExtensionData};
  return index == 0 ? &descriptor : nullptr;
}
