#include "tools/calvorin/ParameterAssignment.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace calvorin::cli
{

std::string ToLower(std::string text)
{
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return text;
}

std::string Trim(const std::string& text)
{
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos)
    return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

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
bool IsNumberInUnits(const std::string& text, const std::string& units)
{
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (begin != end && *begin == '+')
    ++begin;
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || !std::isfinite(value))
    return false;
  const std::string rest = ToLower(Trim(std::string(ptr, end)));
  return rest.empty() || (!units.empty() && rest == ToLower(Trim(units)));
}

bool SameText(const std::string& a, const std::string& b)
{
  return ToLower(Trim(a)) == ToLower(Trim(b));
}

// The plug-in's text-to-value accepts any text (what it cannot read becomes
// some value of the parameter), so the tool first checks that the text names
// a value: for switches and lists one of the texts the plug-in displays for
// its steps (case-insensitive), otherwise a number in the displayed units or
// the displayed text of either end of the range ("-inf dB").
bool ReadValue(EffectHost& host, const HostParameter& parameter, const std::string& value, double& normalized)
{
  if (parameter.stepCount > 0)
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
    return false;
  }

  bool known = IsNumberInUnits(value, parameter.units);
  for (double end : {0.0, 1.0})
  {
    std::string shown;
    if (!known && host.ValueToText(parameter.id, end, shown))
      known = SameText(shown, value) || SameText(shown + " " + parameter.units, value);
  }
  return known && host.TextToValue(parameter.id, value, normalized);
}

} // namespace

bool ResolveSetting(EffectHost& host, const std::vector<HostParameter>& parameters, const ParameterSetting& setting,
                    ResolvedSetting& resolved, std::string& error)
{
  const std::string wanted = ToLower(Trim(setting.name));
  const HostParameter* found = nullptr;
  for (const HostParameter& parameter : parameters)
  {
    if (ToLower(Trim(parameter.title)) == wanted)
    {
      found = &parameter;
      break;
    }
  }
  if (!found)
  {
    error = "unknown parameter '" + setting.name + "' (calvorin info lists them)";
    return false;
  }

  const std::string value = Trim(setting.value);
  double normalized = 0.0;
  const bool ok = !value.empty() && ReadValue(host, *found, value, normalized);
  if (!ok || !(normalized >= 0.0 && normalized <= 1.0))
  {
    error = "cannot read '" + setting.value + "' as a value of " + found->title;
    if (!found->units.empty())
      error += " (in " + found->units + ")";
    else if (found->stepCount > 0)
    {
      error += " (one of";
      for (int step = 0; step <= found->stepCount; ++step)
      {
        std::string shown;
        if (host.ValueToText(found->id, static_cast<double>(step) / found->stepCount, shown))
          error += (step ? ", " : " ") + shown;
      }
      error += ")";
    }
    return false;
  }
  resolved = {found->id, found->title, normalized};
  return true;
}

} // namespace calvorin::cli
