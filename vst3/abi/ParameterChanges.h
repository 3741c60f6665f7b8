#pragma once

// Per-block parameter automation: one queue of (offset, value) points per
// changed parameter.

#include "vst3/abi/FUnknown.h"

namespace vst3
{

using ParamID = uint32;
using ParamValue = double;

constexpr ParamID kNoParamId = 0xFFFFFFFFu;

class IParamValueQueue : public FUnknown
{
public:
  virtual ParamID VST3_CALL getParameterId() = 0;                                          // slot 3
  virtual int32 VST3_CALL getPointCount() = 0;                                             // slot 4
  virtual tresult VST3_CALL getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0; // slot 5
  virtual tresult VST3_CALL addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;  // slot 6

  VST3_DECLARE_IID(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA)
  VST3_INTERFACE_DESTRUCTOR(IParamValueQueue)
};

class IParameterChanges : public FUnknown
{
public:
  virtual int32 VST3_CALL getParameterCount() = 0;                                  // slot 3
  virtual IParamValueQueue* VST3_CALL getParameterData(int32 index) = 0;            // slot 4 (borrowed)
  virtual IParamValueQueue* VST3_CALL addParameterData(const ParamID& id, int32& index) = 0; // slot 5 (borrowed)

  VST3_DECLARE_IID(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D)
  VST3_INTERFACE_DESTRUCTOR(IParameterChanges)
};

} // namespace vst3
