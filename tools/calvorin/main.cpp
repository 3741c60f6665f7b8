// calvorin: renders audio files through the Calvorin plug-in, lists what a
// host sees of it, and renders a built-in demo.

#include "resources/ModulePath.h"
#include "tools/calvorin/BundleLocation.h"
#include "tools/calvorin/Commands.h"
#include "tools/calvorin/ProgressBar.h"
#include "tools/calvorin/Vst3EffectHost.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace
{

std::atomic<bool> gCancelled{false};

extern "C" void OnInterrupt(int)
{
  gCancelled.store(true);
}

std::string ExecutablePath()
{
  const std::u8string path = igraphics::ThisModulePath().u8string();
  return std::string(reinterpret_cast<const char*>(path.data()), path.size());
}

// Finds the bundle (--bundle, else the build tree, else ~/.vst3) and loads it
// the way a host does.
std::unique_ptr<calvorin::cli::EffectHost> OpenBundle(const std::optional<std::string>& bundlePath,
                                                      std::string& error)
{
  const char* home = std::getenv("HOME");
  const auto candidates = calvorin::cli::DefaultBundleCandidates(ExecutablePath(), home ? home : "");
  const auto bundle = calvorin::cli::FindBundle(bundlePath, candidates, error);
  if (!bundle)
    return nullptr;
  return calvorin::cli::Vst3EffectHost::Open(*bundle, error);
}

} // namespace

int main(int argc, char** argv)
{
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);

  std::vector<std::string> args(argv + 1, argv + argc);
  calvorin::cli::Console console{std::cout, std::cerr, calvorin::cli::ProgressBar::StderrIsTerminal(), &gCancelled};
  return calvorin::cli::RunCalvorin(args, OpenBundle, console);
}
