#pragma once

// The product the LV2 bundle offers. The bundle's entry points and its Turtle
// generator know the plug-in only through these functions; the plug-in
// linked into them defines them.

namespace iplug
{
class IPlugLV2;

// A new instance of the plug-in, its ports prepared; the caller owns it.
IPlugLV2* MakeLV2Plug();

// The URIs hosts store in their sessions: fixed forever.
struct LV2ProductURIs
{
  const char* plugin; // the plug-in
  const char* ui;     // its editor
};
LV2ProductURIs GetLV2ProductURIs();
} // namespace iplug
