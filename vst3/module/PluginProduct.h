#pragma once

// The product the module offers. The module entry knows the plug-in only
// through these two functions; the plug-in linked into the module defines them.

#include "core/IPlugConfig.h"

namespace iplug
{
class IPlugVST3;

// A new instance of the plug-in, holding one reference for the caller.
IPlugVST3* MakePlug();

// The plug-in's configuration: its names, version and four-character codes.
Config MakePlugConfig();
} // namespace iplug
