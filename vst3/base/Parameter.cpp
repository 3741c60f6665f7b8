#include "vst3/base/Parameter.h"

#include "vst3/base/StringConvert.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vst3
{

namespace
{
void CopyOptional(const TChar* src, TChar* dst)
{
  if (src)
    CopyToString128(std::u16string_view(src, static_cast<size_t>(BoundedLength16(src, 128))), dst);
}

// Locale-independent "%.*f" into a 128-unit buffer.
void FormatFixed(double value, int32 precision, String128 string)
{
  char text[128] = {};
  const auto result = std::to_chars(text, text + sizeof(text) - 1, value, std::chars_format::fixed,
                                    std::clamp(precision, 0, 16));
  *result.ptr = 0;
  WidenBytes(text, string, 128);
}
} // namespace

Parameter::Parameter(const TChar* title, ParamID id, const TChar* units, ParamValue defaultNormalized,
                     int32 stepCount, int32 flags, UnitID unitId, const TChar* shortTitle)
{
  mInfo.id = id;
  CopyOptional(title, mInfo.title);
  CopyOptional(shortTitle, mInfo.shortTitle);
  CopyOptional(units, mInfo.units);
  mInfo.stepCount = stepCount;
  mInfo.defaultNormalizedValue = defaultNormalized;
  mInfo.unitId = unitId;
  mInfo.flags = flags;
  mValue = defaultNormalized;
}

Parameter::Parameter(const ParameterInfo& info) : mInfo(info), mValue(info.defaultNormalizedValue) {}

bool Parameter::setNormalized(ParamValue value)
{
  if (std::isnan(value)) // std::clamp lets NaN through; keep the last good value
    return false;
  value = std::clamp(value, 0.0, 1.0);
  if (value == mValue)
    return false;
  mValue = value;
  return true;
}

void Parameter::toString(ParamValue valueNormalized, String128 string) const
{
  if (mInfo.stepCount == 1)
  {
    WidenBytes(valueNormalized > 0.5 ? "On" : "Off", string, 128);
    return;
  }
  FormatFixed(valueNormalized, mPrecision, string);
}

bool Parameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
  const std::string text = Utf16ToUtf8(string, 128);
  const char* begin = text.c_str();
  while (*begin == ' ')
    ++begin;
  if (*begin == '+')
    ++begin;
  double value = 0.0;
  const auto result = std::from_chars(begin, text.c_str() + text.size(), value);
  if (result.ec != std::errc())
    return false;
  valueNormalized = value;
  return true;
}

StringListParameter::StringListParameter(const TChar* title, ParamID id, const TChar* units, int32 flags,
                                         UnitID unitId, const TChar* shortTitle)
  : Parameter(title, id, units, 0.0, -1, flags, unitId, shortTitle)
{
}

void StringListParameter::appendString(std::u16string_view string)
{
  mStrings.emplace_back(string);
  mInfo.stepCount++;
}

bool StringListParameter::replaceString(int32 index, std::u16string_view string)
{
  if (index < 0 || index >= entryCount())
    return false;
  mStrings[static_cast<size_t>(index)] = string;
  return true;
}

void StringListParameter::clear()
{
  mStrings.clear();
  mInfo.stepCount = -1;
}

ParamValue StringListParameter::toPlain(ParamValue valueNormalized) const
{
  if (mInfo.stepCount <= 0)
    return 0.0;
  // NaN and out-of-range input must not reach the integer conversion.
  valueNormalized = valueNormalized >= 0.0 ? std::min(valueNormalized, 1.0) : 0.0;
  return std::min(mInfo.stepCount, static_cast<int32>(valueNormalized * (mInfo.stepCount + 1)));
}

ParamValue StringListParameter::toNormalized(ParamValue plainValue) const
{
  if (mInfo.stepCount <= 0)
    return 0.0;
  return plainValue / mInfo.stepCount;
}

void StringListParameter::toString(ParamValue valueNormalized, String128 string) const
{
  const auto index = static_cast<int32>(toPlain(valueNormalized));
  if (index >= 0 && index < entryCount())
    CopyToString128(mStrings[static_cast<size_t>(index)], string);
  else
    string[0] = 0;
}

bool StringListParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
  const std::u16string_view text(string, static_cast<size_t>(BoundedLength16(string, 128)));
  for (int32 i = 0; i < entryCount(); ++i)
  {
    if (mStrings[static_cast<size_t>(i)] == text)
    {
      valueNormalized = toNormalized(i);
      return true;
    }
  }
  return false;
}

Parameter* ParameterContainer::addParameter(std::unique_ptr<Parameter> parameter)
{
  if (!parameter)
    return nullptr;
  if (parameter->getInfo().id == kNoParamId)
    parameter->getInfo().id = static_cast<ParamID>(mParams.size());
  mIndexById[parameter->getInfo().id] = mParams.size();
  mParams.push_back(std::move(parameter));
  return mParams.back().get();
}

Parameter* ParameterContainer::getParameterByIndex(int32 index) const
{
  if (index < 0 || index >= getParameterCount())
    return nullptr;
  return mParams[static_cast<size_t>(index)].get();
}

Parameter* ParameterContainer::getParameter(ParamID id) const
{
  const auto it = mIndexById.find(id);
  return it == mIndexById.end() ? nullptr : mParams[it->second].get();
}

void ParameterContainer::removeAll()
{
  mParams.clear();
  mIndexById.clear();
}

} // namespace vst3
