#pragma once

#include "tools/calvorin/CommandLine.h"
#include "tools/calvorin/EffectHost.h"

#include <string>
#include <vector>

namespace calvorin::cli
{

// A --set resolved against the effect's parameters.
struct ResolvedSetting
{
  int id = 0;
  std::string title;
  double normalized = 0.0;
};

// A preset by name (case-insensitive) or by zero-based index.
bool ResolvePreset(const std::vector<std::string>& presetNames, const std::string& text, int& index,
                   std::string& error);

// NAME matches a parameter title case-insensitively (the first one when two
// share a title); VALUE is read in the displayed units by the effect's own
// text-to-value conversion. On/off switches also accept on, off, true,
// false, yes and no.
bool ResolveSetting(EffectHost& host, const std::vector<HostParameter>& parameters, const ParameterSetting& setting,
                    ResolvedSetting& resolved, std::string& error);

std::string ToLower(std::string text);
std::string Trim(const std::string& text);

} // namespace calvorin::cli
