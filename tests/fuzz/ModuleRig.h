#pragma once

// The built module, loaded once per fuzzing process through the project's
// host code, and a fresh plug-in instance per input. The bundle path comes
// from CALVORIN_BUNDLE (environment) or the build tree's own bundle.

#include "tests/fuzz/FuzzCheck.h"
#include "vst3/host/HostApplication.h"
#include "vst3/host/Module.h"
#include "vst3/host/PluginInstance.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace fuzzrig
{

inline vst3host::Module& LoadedModule(vst3host::ClassInfo& cls)
{
  static vst3host::ClassInfo sClass;
  static vst3host::Module* sModule = [] {
    const char* env = std::getenv("CALVORIN_BUNDLE");
    const std::string bundle = env && *env ? env : CALVORIN_BINARY_DIR "/Calvorin.vst3";
    std::string error;
    std::unique_ptr<vst3host::Module> module = vst3host::Module::Load(bundle, error);
    if (!module)
    {
      std::fprintf(stderr, "cannot load %s: %s\n", bundle.c_str(), error.c_str());
      std::abort();
    }
    FUZZ_CHECK(module->FindClass("Audio Module Class", sClass));
    return module.release(); // stays loaded for the whole run
  }();
  cls = sClass;
  return *sModule;
}

inline std::unique_ptr<vst3host::PluginInstance> NewInstance()
{
  static auto sHost = vst3host::MakeCom<vst3host::HostApplication>("Calvorin Fuzz Host");
  vst3host::ClassInfo cls;
  vst3host::Module& module = LoadedModule(cls);
  std::string error;
  auto instance = vst3host::PluginInstance::Create(module, cls, static_cast<vst3::IHostApplication*>(sHost.Get()), error);
  if (!instance)
  {
    std::fprintf(stderr, "cannot create the plug-in: %s\n", error.c_str());
    std::abort();
  }
  return instance;
}

} // namespace fuzzrig
