#include "tools/calvorin/ParameterAssignment.h"

#include <algorithm>
#include <charconv>

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
  bool ok = !value.empty() && host.TextToValue(found->id, value, normalized);
  if (!ok && found->stepCount == 1)
  {
    const std::string word = ToLower(value);
    if (word == "on" || word == "true" || word == "yes")
      normalized = 1.0, ok = true;
    else if (word == "off" || word == "false" || word == "no")
      normalized = 0.0, ok = true;
  }
  if (!ok || !(normalized >= 0.0 && normalized <= 1.0))
  {
    error = "cannot read '" + setting.value + "' as a value of " + found->title;
    if (!found->units.empty())
      error += " (in " + found->units + ")";
    return false;
  }
  resolved = {found->id, found->title, normalized};
  return true;
}

} // namespace calvorin::cli
