#pragma once

// The parameters the controller exports: one wrapper per IParam, plus the
// host-side bypass switch.

#include "core/IParam.h"
#include "vst3/abi/Units.h"
#include "vst3/base/Parameter.h"

namespace iplug
{

constexpr vst3::ParamID kBypassParamID = 65536;
constexpr vst3::ProgramListID kPresetProgramListID = 65537;
constexpr vst3::ParamID kMidiCCParamStartID = 65538;
constexpr int kMidiCCsPerChannel = 130; // controllers 0-127, channel pressure, pitch bend

// Shows an IParam to the host: texts and conversions come from the IParam, the
// stored normalised value from the base class. UI thread only.
class IPlugVST3Parameter : public vst3::Parameter
{
public:
  IPlugVST3Parameter(IParam* param, vst3::ParamID id, vst3::UnitID unitId);

  void toString(vst3::ParamValue valueNormalized, vst3::String128 string) const override;
  // Always succeeds: text that does not parse gives whatever ParseText makes of it.
  bool fromString(const vst3::TChar* string, vst3::ParamValue& valueNormalized) const override;
  vst3::ParamValue toPlain(vst3::ParamValue valueNormalized) const override;
  vst3::ParamValue toNormalized(vst3::ParamValue plainValue) const override;

private:
  IParam* mParam;
};

// "Bypass" with entries "off" and "on": the host's bypass switch, ID 65536.
class IPlugVST3BypassParameter : public vst3::StringListParameter
{
public:
  IPlugVST3BypassParameter();
};

} // namespace iplug
