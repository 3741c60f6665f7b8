#include "plugin/TORV.h"

#include "plugin/Version.h"

iplug::Config TORV::MakeConfig()
{
  iplug::Config c;
  c.nParams = kNumParams;
  c.nPresets = kNumPresets;
  c.channelIOStr = "1-1 2-2";
  c.pluginName = "Calvorin";
  c.productName = "Calvorin";
  c.mfrName = "Fenmarch";
  c.vendorVersion = calvorin::kPackedVersion;
  c.uniqueID = 0x5241764B;      // 'RAvK'
  c.mfrID = 0x466D6368;         // 'Fmch'
  c.latency = 0;
  c.plugDoesMidiIn = false;
  c.plugDoesMidiOut = false;
  c.plugDoesMPE = false;
  c.plugType = 0;
  c.plugHasUI = true;
  c.plugWidth = 680;
  c.plugHeight = 360;
  c.plugMinWidth = 340;
  c.plugMaxWidth = 1360;
  c.plugMinHeight = 180;
  c.plugMaxHeight = 720;
  c.plugHostResize = false;
  c.bundleID = "";
  return c;
}

TORV::TORV()
  : TORV(MakeConfig())
{
}

TORV::TORV(const iplug::Config& config)
  : TORVFormatBase(config)
{
  DeclareTORVParameters(*this);
  MakeTORVFactoryPresets(*this);
  SetUpProcessing();
  SetUpEditor();
}

TORV::~TORV() = default;
