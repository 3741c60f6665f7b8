// Writes the bundle's Turtle from the plug-in it links:
//   calvorin_lv2_turtle OUTDIR DSP_BINARY UI_BINARY
// manifest.ttl, <plug-in name>.ttl and presets.ttl. A file whose text is
// unchanged is left alone, so hosts' caches and the build see no change.

#include "lv2/IPlugLV2.h"
#include "lv2/TurtleWriter.h"
#include "lv2/module/PluginProduct.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace
{

bool WriteIfChanged(const std::string& path, const std::string& text)
{
  {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream old;
    old << in.rdbuf();
    if (in && old.str() == text)
      return true;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out)
  {
    std::fprintf(stderr, "calvorin_lv2_turtle: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 4)
  {
    std::fprintf(stderr, "usage: calvorin_lv2_turtle OUTDIR DSP_BINARY UI_BINARY\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::unique_ptr<iplug::IPlugLV2> plug(iplug::MakeLV2Plug());
  const iplug::LV2ProductURIs uris = iplug::GetLV2ProductURIs();
  iplug::BundleNames names;
  names.pluginURI = uris.plugin;
  names.uiURI = uris.ui;
  names.dspBinary = argv[2];
  names.uiBinary = argv[3];
  names.pluginTurtle = std::string(plug->GetPluginName()) + ".ttl";
  names.presetsTurtle = "presets.ttl";

  const bool ok = WriteIfChanged(dir + "/manifest.ttl", iplug::ManifestTurtle(*plug, names)) &&
                  WriteIfChanged(dir + "/" + names.pluginTurtle, iplug::PluginTurtle(*plug, names)) &&
                  WriteIfChanged(dir + "/" + names.presetsTurtle, iplug::PresetsTurtle(*plug, names));
  return ok ? 0 : 1;
}
