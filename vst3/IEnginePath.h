#pragma once

// Calvorin's own interface on its component (not part of VST 3): which
// arithmetic the processor runs, so that tests and measurements can drive the
// real module on the scalar reference path as well as on the vector path it
// uses by default. Our host code asks for it through queryInterface; other
// hosts never do.

#include "vst3/abi/FUnknown.h"

namespace iplug
{

class IEnginePath : public vst3::FUnknown
{
public:
  static constexpr vst3::int32 kScalar = 0;
  static constexpr vst3::int32 kVector = 1;

  // While not processing. kResultOk when chosen; kInvalidArgument for a path
  // the plug-in does not have.
  virtual vst3::tresult VST3_CALL setEnginePath(vst3::int32 path) = 0; // slot 3

  VST3_DECLARE_IID(0x9870FB09, 0xCB0E475E, 0xB528920A, 0x94DDEC62)
  VST3_INTERFACE_DESTRUCTOR(IEnginePath)
};

} // namespace iplug
