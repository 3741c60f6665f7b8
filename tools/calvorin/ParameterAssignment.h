#pragma once

#include "tools/calvorin/CommandLine.h"
#include "tools/calvorin/EffectHost.h"
#include "tools/calvorin/Text.h"

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
  // Empty when the plug-in uses the value as typed; otherwise what was asked
  // for and what is used instead (a value out of range, clamped as the plug-in
  // clamps a host's out-of-range value; a list index between two entries).
  std::string adjustment;
};

// A preset by name (case-insensitive) or by zero-based index.
bool ResolvePreset(const std::vector<std::string>& presetNames, const std::string& text, int& index,
                   std::string& error);

// The parameter whose title matches name case-insensitively (the first one
// when two share a title); null with a message when none does.
const HostParameter* FindParameter(const std::vector<HostParameter>& parameters, const std::string& name,
                                   std::string& error);

// A value of the parameter, typed in its displayed units and read by the
// effect's own text-to-value conversion; lists and switches take one of their
// displayed texts (any case) or a zero-based index, switches also on, off,
// true, false, yes and no. A value that the effect cannot take as it stands
// is clamped as the effect clamps a host's value, and adjustment says so.
// False with a message when the text names no value.
bool ResolveValue(EffectHost& host, const HostParameter& parameter, const std::string& text, double& normalized,
                  std::string& adjustment, std::string& error);

// FindParameter, then ResolveValue.
bool ResolveSetting(EffectHost& host, const std::vector<HostParameter>& parameters, const ParameterSetting& setting,
                    ResolvedSetting& resolved, std::string& error);

} // namespace calvorin::cli
