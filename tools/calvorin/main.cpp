// calvorin: renders audio files through the Calvorin plug-in, lists what a
// host sees of it, and renders a built-in demo.

#include "core/Utf8Path.h"
#include "resources/ModulePath.h"
#include "tools/calvorin/BundleLocation.h"
#include "tools/calvorin/Commands.h"
#include "tools/calvorin/Platform.h"
#include "tools/calvorin/ProgressBar.h"
#include "tools/calvorin/Vst3EffectHost.h"

#include <atomic>
#include <iostream>

namespace
{

// Finds the bundle (--bundle, else the build tree, the executable's folder,
// then the VST 3 install folders) and loads it the way a host does.
std::unique_ptr<calvorin::cli::EffectHost> OpenBundle(const std::optional<std::string>& bundlePath,
                                                      std::string& error)
{
  const auto candidates = calvorin::cli::DefaultBundleCandidates(iplug::Utf8FromPath(igraphics::ThisModulePath()),
                                                                 calvorin::cli::Vst3InstallFolders());
  const auto bundle = calvorin::cli::FindBundle(bundlePath, candidates, error);
  if (!bundle)
    return nullptr;
  return calvorin::cli::Vst3EffectHost::Open(*bundle, error);
}

} // namespace

int main(int argc, char** argv)
{
  static std::atomic<bool> cancelled{false};
  calvorin::cli::SetOnInterrupt(cancelled);
  calvorin::cli::UseUtf8Console();

  const std::vector<std::string> args = calvorin::cli::CommandLineArguments(argc, argv);
  calvorin::cli::Console console{std::cout, std::cerr, calvorin::cli::ProgressBar::StderrIsTerminal(), &cancelled};
  return calvorin::cli::RunCalvorin(args, OpenBundle, console);
}
