#include "tools/calvorin/ParameterAssignment.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace calvorin::cli
{

bool ResolvePreset(const std::vector<std::string>& presetNames, const std::string& text, int& index,
                   std::string& error)
{
  const std::string wanted = ToLower(Trim(text));
  for (size_t i = 0; i < presetNames.size(); ++i)
  {
    if (ToLower(Trim(presetNames[i])) == wanted)
    {
      index = static_cast<int>(i);
      return true;
    }
  }

  int number = -1;
  const char* end = wanted.data() + wanted.size();
  auto [ptr, ec] = std::from_chars(wanted.data(), end, number);
  if (ec == std::errc() && ptr == end && !wanted.empty())
  {
    if (number >= 0 && number < static_cast<int>(presetNames.size()))
    {
      index = number;
      return true;
    }
    if (presetNames.empty())
      error = "the plug-in has no presets";
    else
      error = "preset index " + wanted + " is out of range (0 to " + std::to_string(presetNames.size() - 1) + ")";
    return false;
  }

  error = "unknown preset '" + text + "'";
  if (!presetNames.empty())
  {
    error += " (presets:";
    for (size_t i = 0; i < presetNames.size(); ++i)
      error += (i ? ", " : " ") + presetNames[i];
    error += ")";
  }
  return false;
}

namespace
{

// "-6", "+3.5", "75 %", "-6dB": a finite number, then nothing or the units.
bool IsNumberInUnits(const std::string& text, const std::string& units, double& value)
{
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (begin != end && *begin == '+')
    ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || !std::isfinite(value))
    return false;
  const std::string rest = ToLower(Trim(std::string(ptr, end)));
  return rest.empty() || (!units.empty() && rest == ToLower(Trim(units)));
}

// A displayed value as a number ("-inf" included); false for words.
bool DisplayedNumber(const std::string& text, double& value)
{
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool SameText(const std::string& a, const std::string& b)
{
  return ToLower(Trim(a)) == ToLower(Trim(b));
}

std::string WithUnits(const std::string& text, const HostParameter& parameter)
{
  return parameter.units.empty() ? text : text + " " + parameter.units;
}

// What the effect shows for a normalised value, with the units.
std::string Shown(EffectHost& host, const HostParameter& parameter, double normalized)
{
  std::string text;
  if (!host.ValueToText(parameter.id, normalized, text))
    text = std::to_string(normalized) + " (normalised)";
  return WithUnits(text, parameter);
}

// "0 to 2: LR, MID, SIDE": the indices of a list and its texts.
std::string ListEntries(EffectHost& host, const HostParameter& parameter)
{
  std::string entries = "0 to " + std::to_string(parameter.stepCount) + ":";
  for (int step = 0; step <= parameter.stepCount; ++step)
  {
    std::string shown;
    if (host.ValueToText(parameter.id, static_cast<double>(step) / parameter.stepCount, shown))
      entries += (step ? ", " : " ") + shown;
  }
  return entries;
}

// A list or switch: one of the texts the plug-in displays for its steps, a
// switch word, or an index. An index is a host's plain value: its normalised
// value is index / steps, and the plug-in rounds that to the nearest step
// (halves away from zero) and clamps it to the list, as done here.
bool ReadStep(EffectHost& host, const HostParameter& parameter, const std::string& value, double& normalized,
              std::string& adjustment)
{
  for (int step = 0; step <= parameter.stepCount; ++step)
  {
    const double stepValue = static_cast<double>(step) / parameter.stepCount;
    std::string shown;
    if (host.ValueToText(parameter.id, stepValue, shown) && SameText(shown, value))
    {
      // The displayed spelling, through the plug-in's own conversion.
      if (!host.TextToValue(parameter.id, shown, normalized))
        normalized = stepValue;
      return true;
    }
  }
  if (parameter.stepCount == 1)
  {
    const std::string word = ToLower(value);
    if (word == "on" || word == "true" || word == "yes")
      return normalized = 1.0, true;
    if (word == "off" || word == "false" || word == "no")
      return normalized = 0.0, true;
  }

  double index = 0.0;
  if (!IsNumberInUnits(value, "", index))
    return false;
  const double used = std::clamp(std::round(index), 0.0, static_cast<double>(parameter.stepCount));
  normalized = used / parameter.stepCount;
  if (used != index)
  {
    const bool outside = index < 0.0 || index > parameter.stepCount;
    adjustment = parameter.title + " " + value + (outside ? " is out of range (" : " lies between two entries (") +
                 ListEntries(host, parameter) + "); using " + Shown(host, parameter, normalized);
  }
  return true;
}

// A continuous parameter: a number in the displayed units, or the displayed
// text of either end of the range ("-inf dB"). The plug-in's text-to-value
// clamps a number beyond the range to its end, as it clamps a host's value;
// the ends it displays tell when that happened.
bool ReadContinuous(EffectHost& host, const HostParameter& parameter, const std::string& value, double& normalized,
                    std::string& adjustment)
{
  std::string endTexts[2];
  bool haveEnds = true;
  for (int end = 0; end < 2; ++end)
    haveEnds = host.ValueToText(parameter.id, end, endTexts[end]) && haveEnds;

  double number = 0.0;
  const bool isNumber = IsNumberInUnits(value, parameter.units, number);
  bool known = isNumber;
  for (const std::string& shown : endTexts)
    known = known || (!shown.empty() && (SameText(shown, value) || SameText(WithUnits(shown, parameter), value)));
  if (!known || !host.TextToValue(parameter.id, value, normalized))
    return false;

  double ends[2];
  if (isNumber && haveEnds && DisplayedNumber(endTexts[0], ends[0]) && DisplayedNumber(endTexts[1], ends[1]))
  {
    const int low = ends[0] <= ends[1] ? 0 : 1;
    if (number < ends[low] || number > ends[1 - low])
      adjustment = parameter.title + " " + value + " is out of range (" + endTexts[low] + " to " +
                   WithUnits(endTexts[1 - low], parameter) + "); using " + Shown(host, parameter, normalized);
  }
  return true;
}

// "cannot read 'lots' as a value of Depth (in %)".
std::string Unreadable(EffectHost& host, const HostParameter& parameter, const std::string& text)
{
  std::string error = "cannot read '" + text + "' as a value of " + parameter.title;
  if (!parameter.units.empty())
    error += " (in " + parameter.units + ")";
  else if (parameter.stepCount > 0)
    error += " (one of " + ListEntries(host, parameter) + ")";
  return error;
}

} // namespace

const HostParameter* FindParameter(const std::vector<HostParameter>& parameters, const std::string& name,
                                   std::string& error)
{
  const std::string wanted = ToLower(Trim(name));
  for (const HostParameter& parameter : parameters)
  {
    if (ToLower(Trim(parameter.title)) == wanted)
      return &parameter;
  }
  error = "unknown parameter '" + name + "' (calvorin info lists them)";
  return nullptr;
}

bool ResolveValue(EffectHost& host, const HostParameter& parameter, const std::string& text, double& normalized,
                  std::string& adjustment, std::string& error)
{
  const std::string value = Trim(text);
  adjustment.clear();
  const bool read = !value.empty() && (parameter.stepCount > 0
                                           ? ReadStep(host, parameter, value, normalized, adjustment)
                                           : ReadContinuous(host, parameter, value, normalized, adjustment));
  if (!read || std::isnan(normalized))
  {
    error = Unreadable(host, parameter, text);
    return false;
  }
  // A host passes normalised values in 0..1 only.
  normalized = std::clamp(normalized, 0.0, 1.0);
  return true;
}

bool ResolveSetting(EffectHost& host, const std::vector<HostParameter>& parameters, const ParameterSetting& setting,
                    ResolvedSetting& resolved, std::string& error)
{
  const HostParameter* parameter = FindParameter(parameters, setting.name, error);
  if (!parameter)
    return false;
  ResolvedSetting result{parameter->id, parameter->title, 0.0, {}};
  if (!ResolveValue(host, *parameter, setting.value, result.normalized, result.adjustment, error))
    return false;
  resolved = result;
  return true;
}

} // namespace calvorin::cli
