#pragma once

// The host context handed to initialize().

#include "vst3/abi/FUnknown.h"

namespace vst3
{

class IHostApplication : public FUnknown
{
public:
  virtual tresult VST3_CALL getName(String128 name) = 0;                             // slot 3
  // Creates IMessage / IAttributeList objects (cid == iid); the caller owns them.
  virtual tresult VST3_CALL createInstance(TUID cid, TUID iid, void** obj) = 0;      // slot 4

  VST3_DECLARE_IID(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5)
  VST3_INTERFACE_DESTRUCTOR(IHostApplication)
};

class IPlugInterfaceSupport : public FUnknown
{
public:
  virtual tresult VST3_CALL isPlugInterfaceSupported(const TUID iid) = 0; // slot 3

  VST3_DECLARE_IID(0x4FB58B9E, 0x9EAA4E0F, 0xAB361C1C, 0xCCB56FEA)
  VST3_INTERFACE_DESTRUCTOR(IPlugInterfaceSupport)
};

} // namespace vst3
