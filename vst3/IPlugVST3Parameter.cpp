#include "vst3/IPlugVST3Parameter.h"

#include "vst3/base/StringConvert.h"

#include <string>

namespace iplug
{

IPlugVST3Parameter::IPlugVST3Parameter(IParam* param, vst3::ParamID id, vst3::UnitID unitId)
  : vst3::Parameter(vst3::ParameterInfo{}), mParam(param)
{
  vst3::ParameterInfo& info = getInfo();
  info.id = id;
  vst3::WidenBytes(param->GetName(), info.title, 128);
  vst3::WidenBytes(param->EffectiveLabel(), info.units, 128);
  info.stepCount = param->Type() == IParam::kTypeDouble ? 0 : static_cast<vst3::int32>(param->GetRange());
  info.defaultNormalizedValue = param->GetDefaultValue(true);
  info.unitId = unitId;
  info.flags = param->GetCanAutomate() ? vst3::ParameterInfo::kCanAutomate : 0;
  if (param->Type() == IParam::kTypeEnum)
    info.flags |= vst3::ParameterInfo::kIsList;
  mValue = info.defaultNormalizedValue;
  setPrecision(param->GetDisplayPrecision());
}

void IPlugVST3Parameter::toString(vst3::ParamValue valueNormalized, vst3::String128 string) const
{
  std::string text;
  mParam->FormatValue(valueNormalized, true, text, true);
  vst3::WidenBytes(text.c_str(), string, 128);
}

bool IPlugVST3Parameter::fromString(const vst3::TChar* string, vst3::ParamValue& valueNormalized) const
{
  const std::string text = vst3::Utf16ToUtf8(string, 128);
  valueNormalized = mParam->NormalizedForText(text.c_str());
  return true;
}

vst3::ParamValue IPlugVST3Parameter::toPlain(vst3::ParamValue valueNormalized) const
{
  return mParam->NormToReal(valueNormalized);
}

vst3::ParamValue IPlugVST3Parameter::toNormalized(vst3::ParamValue plainValue) const
{
  return mParam->RealToNorm(plainValue);
}

IPlugVST3BypassParameter::IPlugVST3BypassParameter()
  : vst3::StringListParameter(u"Bypass", kBypassParamID, nullptr,
                              vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsList |
                                vst3::ParameterInfo::kIsBypass)
{
  appendString(u"off");
  appendString(u"on");
}

} // namespace iplug
