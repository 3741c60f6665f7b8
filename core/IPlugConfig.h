#pragma once

// The configuration record a plug-in hands to the framework bases at
// construction. Every base copies what it needs from it.

namespace iplug
{

struct Config
{
  int nParams = 0;
  int nPresets = 0;
  const char* channelIOStr = "";
  const char* pluginName = "";
  const char* productName = "";
  const char* mfrName = "";
  int vendorVersion = 0;        // 0xMMMMmmpp: major, minor, patch
  int uniqueID = 0;             // four-character code
  int mfrID = 0;                // four-character code
  int latency = 0;              // samples
  bool plugDoesMidiIn = false;
  bool plugDoesMidiOut = false;
  bool plugDoesMPE = false;     // the third processor flag; not read by this plug-in
  int plugType = 0;             // 0: effect
  bool plugHasUI = false;
  int plugWidth = 0;
  int plugHeight = 0;
  int plugMinWidth = 0;
  int plugMaxWidth = 0;
  int plugMinHeight = 0;
  int plugMaxHeight = 0;
  bool plugHostResize = false;
  const char* bundleID = "";
};

} // namespace iplug
