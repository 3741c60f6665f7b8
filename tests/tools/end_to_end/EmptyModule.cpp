// A well-formed VST 3 module whose factory offers no class: what calvorin
// must refuse with "holds no audio effect class".

#include "vst3/base/PluginFactory.h"

#include <cstdio>

extern "C" {
VST3_EXPORT bool ModuleEntry(void*) { return true; }
VST3_EXPORT bool ModuleExit() { return true; }

VST3_EXPORT vst3::IPluginFactory* VST3_CALL GetPluginFactory()
{
  vst3::PFactoryInfo info{};
  std::snprintf(info.vendor, sizeof(info.vendor), "%s", "Nobody");
  return new vst3::PluginFactory(info);
}
}
