// The plug-in's own answers for the desktop test, so that it restates none
// of the plug-in's tables:
//   param_values preset NAME        one line per parameter: "title<TAB>real value"
//   param_values set-args V0..V25   one line per parameter: "title=text", the
//                                   --set text of calvorin that gives that real value

#include "dsp/GainControl.h"
#include "plugin/TORV.h"
#include "plugin/TORVDisplay.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

bool IsGain(int idx)
{
  return (idx >= kPreGainLow && idx <= kPostGainHigh) || idx == kOutGain;
}

// The displayed units at full precision (the display itself rounds).
std::string SetText(const TORV& plug, int idx, double value)
{
  char number[40];
  if (IsGain(idx) && value > -1.0)
    std::snprintf(number, sizeof(number), "%.17g", iplug::GainControlToDb(value));
  else if (idx == kTime)
    std::snprintf(number, sizeof(number), "%.17g", torv::TimePercent(value));
  else if (plug.GetParam(idx)->Type() == iplug::IParam::kTypeDouble)
    std::snprintf(number, sizeof(number), "%.17g", value);
  else
  {
    std::string text;
    plug.GetParam(idx)->FormatValue(value, false, text, true); // "LR", "on"...
    return text;
  }
  return number;
}

} // namespace

int main(int argc, char** argv)
{
  TORV plug;
  if (argc == 3 && std::strcmp(argv[1], "preset") == 0)
  {
    for (int i = 0; i < plug.NPresets(); ++i)
    {
      if (std::strcmp(plug.GetPresetName(i), argv[2]) != 0 || !plug.LoadPreset(i))
        continue;
      for (int p = 0; p < plug.NParams(); ++p)
        std::printf("%s\t%.17g\n", plug.GetParam(p)->GetName(), plug.GetParam(p)->GetValue());
      return 0;
    }
    std::fprintf(stderr, "param_values: no preset \"%s\"\n", argv[2]);
    return 1;
  }
  if (argc == 2 + plug.NParams() && std::strcmp(argv[1], "set-args") == 0)
  {
    for (int p = 0; p < plug.NParams(); ++p)
      std::printf("%s=%s\n", plug.GetParam(p)->GetName(), SetText(plug, p, std::strtod(argv[2 + p], nullptr)).c_str());
    return 0;
  }
  std::fprintf(stderr, "usage: param_values preset NAME | set-args V0..V%d\n", plug.NParams() - 1);
  return 2;
}
