#pragma once

#include <optional>
#include <string>
#include <vector>

namespace calvorin::cli
{

enum class CommandKind
{
  kHelp,
  kInfo,
  kRender,
  kDemo,
  kSnapshot
};

// "NAME=VALUE" of --set, split at the first '='.
struct ParameterSetting
{
  std::string name;
  std::string value;
};

// "NAME=TIME:VALUE[,TIME:VALUE]..." of --automate, its times read.
struct AutomationArgument
{
  struct Point
  {
    double seconds = 0.0;
    std::string value; // as typed
  };
  std::string name;
  std::vector<Point> points;
};

struct RenderArguments
{
  std::string inputPath;
  std::string outputPath;
  std::optional<std::string> preset; // name or index, as typed
  std::vector<ParameterSetting> settings;
  std::vector<AutomationArgument> automations;
  int blockFrames = 512;
  std::optional<int> precisionBits; // 32 or 64; unset: chosen from the input file
};

struct SnapshotArguments
{
  std::string outputPath;
  std::optional<std::string> preset; // name or index, as typed
  std::vector<ParameterSetting> settings;
  float scale = 1.f;
};

constexpr float kMinSnapshotScale = 0.25f;
constexpr float kMaxSnapshotScale = 4.f;

struct CommandLine
{
  CommandKind kind = CommandKind::kHelp;
  std::optional<std::string> bundlePath;
  RenderArguments render;
  SnapshotArguments snapshot;
  std::string demoDirectory = "calvorin-demo";
};

constexpr int kMaxBlockFrames = 65536;

// Parses the arguments after the program name. On bad input returns nullopt
// and sets error to one line naming the problem.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args, std::string& error);

const char* UsageText();

} // namespace calvorin::cli
