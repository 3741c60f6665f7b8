#pragma once

#include "tools/calvorin/CommandLine.h"
#include "tools/calvorin/EffectHost.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace calvorin::cli
{

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCancelled = 130;

// Loads the effect (from --bundle when given); null with a message on failure.
using HostFactory =
    std::function<std::unique_ptr<EffectHost>(const std::optional<std::string>& bundlePath, std::string& error)>;

struct Console
{
  std::ostream& out;
  std::ostream& err;
  bool progress = false;                     // draw progress bars on err
  const std::atomic<bool>* cancel = nullptr; // Ctrl-C
};

// Runs one command line (without the program name); returns the exit code.
// Every failure is one "calvorin: ..." line on err.
int RunCalvorin(const std::vector<std::string>& args, const HostFactory& openHost, Console& console);

int RunInfo(EffectHost& host, Console& console);
int RunRender(EffectHost& host, const RenderArguments& args, Console& console);
int RunDemo(EffectHost& host, const std::string& directory, Console& console);

// "UP A LOT" -> "up-a-lot": a file name for a preset.
std::string FileNameForPreset(const std::string& presetName, int index);

} // namespace calvorin::cli
