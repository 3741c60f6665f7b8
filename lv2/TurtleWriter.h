#pragma once

// The bundle's Turtle, written from the plug-in itself (its ports, their
// ranges, defaults, units and scale points, and its factory presets), so
// every fact stays written once, in the plug-in. Build time only.

#include <string>

namespace iplug
{

class IPlugLV2;

struct BundleNames
{
  std::string pluginURI;
  std::string uiURI;
  std::string dspBinary;   // file names inside the bundle
  std::string uiBinary;
  std::string pluginTurtle;
  std::string presetsTurtle;
};

// manifest.ttl: the plug-in, its UI and its presets with where each is described.
std::string ManifestTurtle(const IPlugLV2& plug, const BundleNames& names);
// The plug-in and its UI: ports, features, extension data, level notifications.
std::string PluginTurtle(const IPlugLV2& plug, const BundleNames& names);
// One pset:Preset per filled factory preset slot, its values as port values.
std::string PresetsTurtle(const IPlugLV2& plug, const BundleNames& names);

// The URI of factory preset presetIdx: the plug-in's URI, ":preset:" and the
// name's port symbol with '-' for '_' ("UP A LOT" -> "...:preset:up-a-lot").
std::string PresetURI(const IPlugLV2& plug, const BundleNames& names, int presetIdx);

} // namespace iplug
