// TORV is the product of the LV2 bundle: its URIs, and how its parameters
// show as control ports.

#include "lv2/module/PluginProduct.h"
#include "dsp/GainControl.h"
#include "plugin/TORV.h"
#include "plugin/TORVDisplay.h"

#include <cmath>

iplug::IPlugLV2* iplug::MakeLV2Plug()
{
  auto* plug = new TORV();
  plug->PreparePorts();
  return plug;
}

iplug::LV2ProductURIs iplug::GetLV2ProductURIs()
{
  // Hosts store these in their sessions: never change them.
  return {"urn:fenmarch:calvorin", "urn:fenmarch:calvorin:ui"};
}

namespace
{

// The port's minimum stands for "-inf", as the display shows every level at
// or below it: the gain is off there.
double GainPortToControl(double db)
{
  return db <= torv::kGainSilenceDisplayDb ? -1.0 : torv::GainControlFromDb(db);
}

double GainControlToPort(double x)
{
  return iplug::GainControlToDb(x);
}

// The port shows what the display shows: the truncated percentage.
double TimeControlToPort(double x)
{
  return std::trunc(torv::TimePercent(x));
}

} // namespace

iplug::PortScale TORV::GetPortScale(int paramIdx) const
{
  iplug::PortScale s = iplug::PortScale::ForParam(*GetParam(paramIdx));
  const bool gain = (paramIdx >= kPreGainLow && paramIdx <= kPostGainHigh) || paramIdx == kOutGain;
  if (gain)
  {
    s.unit = iplug::PortScale::Unit::kDecibels;
    s.min = torv::kGainSilenceDisplayDb;
    s.max = iplug::kMaxBoostDb;
    s.toReal = GainPortToControl;
    s.fromReal = GainControlToPort;
    s.defaultValue = s.FromReal(GetParam(paramIdx)->GetDefaultValue());
  }
  else if (paramIdx == kTime)
  {
    s.unit = iplug::PortScale::Unit::kPercent;
    s.min = 0.0;
    s.max = torv::TimePercent(1.0);
    s.integer = true;
    s.toReal = torv::TimeControlFromPercent;
    s.fromReal = TimeControlToPort;
    s.defaultValue = s.FromReal(GetParam(paramIdx)->GetDefaultValue());
  }
  return s;
}
