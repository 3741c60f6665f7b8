// TORV is the product of the VST 3 module.

#include "plugin/TORV.h"
#include "vst3/module/PluginProduct.h"

iplug::IPlugVST3* iplug::MakePlug()
{
  return new TORV();
}

iplug::Config iplug::MakePlugConfig()
{
  return TORV::MakeConfig();
}
