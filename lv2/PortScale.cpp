#include "lv2/PortScale.h"

#include <algorithm>
#include <cstring>

namespace iplug
{

PortScale PortScale::ForParam(const IParam& param)
{
  PortScale s;
  s.min = param.GetMin();
  s.max = param.GetMax();
  s.defaultValue = param.GetDefaultValue();
  const IParam::EParamType type = param.Type();
  s.toggled = type == IParam::kTypeBool;
  s.enumeration = type == IParam::kTypeEnum;
  s.integer = type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum;
  if (!s.toggled && !s.enumeration)
  {
    const char* label = param.GetLabel();
    if (param.Unit() == IParam::kUnitDB || std::strcmp(label, "dB") == 0)
      s.unit = Unit::kDecibels;
    else if (param.Unit() == IParam::kUnitPercentage || std::strcmp(label, "%") == 0)
      s.unit = Unit::kPercent;
  }
  return s;
}

double PortScale::ToReal(double portValue) const
{
  if (portValue != portValue)
    return portValue;
  const double v = std::clamp(portValue, min, max);
  return toReal ? toReal(v) : v;
}

double PortScale::FromReal(double realValue) const
{
  const double v = fromReal ? fromReal(realValue) : realValue;
  return std::clamp(v, min, max);
}

} // namespace iplug
