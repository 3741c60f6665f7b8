// Prints the plug-in's parameters (index, name, range, default and its display
// text with label) and the names of its factory presets.

#include "core/NumberText.h"
#include "plugin/TORV.h"

#include <cstdio>
#include <string>

int main()
{
  TORV plug;

  std::printf("%s by %s: %d parameters\n\n", plug.GetPluginName(), plug.GetMfrName(), plug.NParams());
  std::printf("%5s  %-20s  %-16s  %8s  %s\n", "index", "name", "range", "default", "shown");
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const iplug::IParam& p = *plug.GetParam(i);
    const int decimals = p.GetDisplayPrecision();
    const std::string range = iplug::FormatFixed(p.GetMin(), decimals) + " .. " + iplug::FormatFixed(p.GetMax(), decimals);

    // A new instance holds every default, so this is the default's display.
    std::string shown;
    p.FormatValueWithLabel(shown);

    std::printf("%5d  %-20s  %-16s  %8s  %s\n", i, p.GetName(), range.c_str(),
                iplug::FormatFixed(p.GetDefaultValue(), decimals).c_str(), shown.c_str());
  }

  std::printf("\n%d factory presets\n", plug.NPresets());
  for (int i = 0; i < plug.NPresets(); ++i)
    std::printf("%5d  %s\n", i, plug.GetPresetName(i));
  return 0;
}
