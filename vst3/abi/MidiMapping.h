#pragma once

// Mapping of MIDI controllers to parameters (the host turns controllers into
// parameter changes).

#include "vst3/abi/ParameterChanges.h"

namespace vst3
{

using CtrlNumber = int16;

class IMidiMapping : public FUnknown
{
public:
  virtual tresult VST3_CALL getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                        CtrlNumber midiControllerNumber, ParamID& id) = 0; // slot 3

  VST3_DECLARE_IID(0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5)
  VST3_INTERFACE_DESTRUCTOR(IMidiMapping)
};

} // namespace vst3
