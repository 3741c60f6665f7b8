#include "tools/calvorin/CommandLine.h"

#include <charconv>

namespace calvorin::cli
{

namespace
{

bool ParseInt(const std::string& text, int& value)
{
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty();
}

// Walks the arguments, splitting "--opt=value" and fetching the value of
// "--opt value".
class ArgumentReader
{
public:
  explicit ArgumentReader(const std::vector<std::string>& args) : mArgs(args) {}

  bool Done() const { return mPos >= mArgs.size(); }
  const std::string& Next() { return mArgs[mPos++]; }

  bool TakeValue(const std::string& option, const std::string& inlineValue, bool hasInline, std::string& value,
                 std::string& error)
  {
    if (hasInline)
    {
      value = inlineValue;
      return true;
    }
    if (Done())
    {
      error = option + " needs a value";
      return false;
    }
    value = Next();
    return true;
  }

private:
  const std::vector<std::string>& mArgs;
  size_t mPos = 0;
};

bool ParseScale(const std::string& text, float& value)
{
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty() && value >= kMinSnapshotScale && value <= kMaxSnapshotScale;
}

bool IsOption(const std::string& arg)
{
  return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

} // namespace

const char* UsageText()
{
  return "usage:\n"
         "  calvorin info [--bundle PATH]\n"
         "  calvorin render IN OUT [--preset NAME|INDEX] [--set NAME=VALUE]... [--block N]\n"
         "                 [--precision 32|64] [--bundle PATH]\n"
         "  calvorin demo [OUTDIR] [--bundle PATH]\n"
         "  calvorin snapshot OUT.png [--preset NAME|INDEX] [--scale S] [--bundle PATH]\n"
         "\n"
         "  info    lists the parameters and factory presets a host sees\n"
         "  render  processes an audio file (WAV, FLAC, AIFF, OGG...; mono or stereo)\n"
         "  demo    renders a built-in 10 s signal through every factory preset into\n"
         "          OUTDIR (default ./calvorin-demo) with level plots and editor pictures\n"
         "  snapshot draws the plug-in's editor into a PNG (no window needed; S 0.25-4)\n";
}

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args, std::string& error)
{
  CommandLine command;
  if (args.empty())
  {
    error = "no command given (info, render, demo or snapshot)";
    return std::nullopt;
  }

  const std::string& name = args[0];
  if (name == "help" || name == "--help" || name == "-h")
    return command;
  if (name == "info")
    command.kind = CommandKind::kInfo;
  else if (name == "render")
    command.kind = CommandKind::kRender;
  else if (name == "demo")
    command.kind = CommandKind::kDemo;
  else if (name == "snapshot")
    command.kind = CommandKind::kSnapshot;
  else
  {
    error = "unknown command '" + name + "' (expected info, render, demo or snapshot)";
    return std::nullopt;
  }

  const std::vector<std::string> rest(args.begin() + 1, args.end());
  ArgumentReader reader(rest);
  std::vector<std::string> positional;
  bool blockSeen = false;
  bool scaleSeen = false;
  bool optionsEnded = false;

  while (!reader.Done())
  {
    const std::string& arg = reader.Next();
    if (optionsEnded || !IsOption(arg))
    {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--")
    {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h")
    {
      command.kind = CommandKind::kHelp;
      return command;
    }

    const size_t eq = arg.find('=');
    const bool hasInline = eq != std::string::npos;
    const std::string option = hasInline ? arg.substr(0, eq) : arg;
    const std::string inlineValue = hasInline ? arg.substr(eq + 1) : std::string();
    std::string value;

    auto once = [&](bool seen) {
      if (seen)
        error = option + " given more than once";
      return !seen;
    };

    if (option == "--bundle")
    {
      if (!once(command.bundlePath.has_value()) || !reader.TakeValue(option, inlineValue, hasInline, value, error))
        return std::nullopt;
      if (value.empty())
      {
        error = "--bundle needs a path";
        return std::nullopt;
      }
      command.bundlePath = value;
      continue;
    }
    if (command.kind == CommandKind::kSnapshot && (option == "--preset" || option == "--scale"))
    {
      SnapshotArguments& snapshot = command.snapshot;
      const bool seen = option == "--preset" ? snapshot.preset.has_value() : scaleSeen;
      if (!once(seen) || !reader.TakeValue(option, inlineValue, hasInline, value, error))
        return std::nullopt;
      if (option == "--preset")
      {
        if (value.empty())
        {
          error = "--preset needs a name or an index";
          return std::nullopt;
        }
        snapshot.preset = value;
      }
      else
      {
        scaleSeen = true;
        if (!ParseScale(value, snapshot.scale))
        {
          error = "--scale expects a number from 0.25 to 4, got '" + value + "'";
          return std::nullopt;
        }
      }
      continue;
    }
    if (command.kind != CommandKind::kRender)
    {
      error = "unknown option '" + option + "' for " + name;
      return std::nullopt;
    }

    RenderArguments& render = command.render;
    if (option == "--preset")
    {
      if (!once(render.preset.has_value()) || !reader.TakeValue(option, inlineValue, hasInline, value, error))
        return std::nullopt;
      if (value.empty())
      {
        error = "--preset needs a name or an index";
        return std::nullopt;
      }
      render.preset = value;
    }
    else if (option == "--set")
    {
      if (!reader.TakeValue(option, inlineValue, hasInline, value, error))
        return std::nullopt;
      const size_t split = value.find('=');
      if (split == std::string::npos || split == 0)
      {
        error = "--set expects NAME=VALUE, got '" + value + "'";
        return std::nullopt;
      }
      render.settings.push_back({value.substr(0, split), value.substr(split + 1)});
    }
    else if (option == "--block")
    {
      if (!once(blockSeen) || !reader.TakeValue(option, inlineValue, hasInline, value, error))
        return std::nullopt;
      blockSeen = true;
      if (!ParseInt(value, render.blockFrames) || render.blockFrames < 1 || render.blockFrames > kMaxBlockFrames)
      {
        error = "--block expects a whole number of frames from 1 to " + std::to_string(kMaxBlockFrames) + ", got '" +
                value + "'";
        return std::nullopt;
      }
    }
    else if (option == "--precision")
    {
      if (!once(render.precisionBits.has_value()) || !reader.TakeValue(option, inlineValue, hasInline, value, error))
        return std::nullopt;
      int bits = 0;
      if (!ParseInt(value, bits) || (bits != 32 && bits != 64))
      {
        error = "--precision expects 32 or 64, got '" + value + "'";
        return std::nullopt;
      }
      render.precisionBits = bits;
    }
    else
    {
      error = "unknown option '" + option + "' for render";
      return std::nullopt;
    }
  }

  switch (command.kind)
  {
  case CommandKind::kInfo:
    if (!positional.empty())
    {
      error = "info takes no file arguments, got '" + positional[0] + "'";
      return std::nullopt;
    }
    break;
  case CommandKind::kRender:
    if (positional.size() < 2)
    {
      error = positional.empty() ? "render needs an input file and an output file" : "render needs an output file";
      return std::nullopt;
    }
    if (positional.size() > 2)
    {
      error = "render takes one input and one output file, got extra '" + positional[2] + "'";
      return std::nullopt;
    }
    command.render.inputPath = positional[0];
    command.render.outputPath = positional[1];
    break;
  case CommandKind::kDemo:
    if (positional.size() > 1)
    {
      error = "demo takes at most one output folder, got extra '" + positional[1] + "'";
      return std::nullopt;
    }
    if (!positional.empty())
      command.demoDirectory = positional[0];
    break;
  case CommandKind::kSnapshot:
    if (positional.size() != 1)
    {
      error = positional.empty() ? "snapshot needs an output PNG file"
                                 : "snapshot takes one output file, got extra '" + positional[1] + "'";
      return std::nullopt;
    }
    command.snapshot.outputPath = positional[0];
    break;
  case CommandKind::kHelp:
    break;
  }
  return command;
}

} // namespace calvorin::cli
