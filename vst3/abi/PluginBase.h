#pragma once

// Initialisation and termination, shared by components and controllers.

#include "vst3/abi/FUnknown.h"

namespace vst3
{

class IPluginBase : public FUnknown
{
public:
  virtual tresult VST3_CALL initialize(FUnknown* context) = 0; // slot 3
  virtual tresult VST3_CALL terminate() = 0;                   // slot 4

  VST3_DECLARE_IID(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625)
  VST3_INTERFACE_DESTRUCTOR(IPluginBase)
};

} // namespace vst3
