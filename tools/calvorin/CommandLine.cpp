#include "tools/calvorin/CommandLine.h"

#include "tools/calvorin/Automation.h"

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
         "  calvorin render IN OUT [--preset NAME|INDEX] [--set NAME=VALUE]...\n"
         "                 [--automate NAME=TIME:VALUE[,TIME:VALUE]...]... [--block N]\n"
         "                 [--precision 32|64] [--bundle PATH]\n"
         "  calvorin demo [OUTDIR] [--bundle PATH]\n"
         "  calvorin snapshot OUT.png [--preset NAME|INDEX] [--set NAME=VALUE]... [--scale S]\n"
         "                 [--bundle PATH]\n"
         "\n"
         "  info    lists the parameters and factory presets a host sees\n"
         "  render  processes an audio file (WAV, FLAC, AIFF, OGG...; mono or stereo) into\n"
         "          the format OUT's extension names (.wav, .flac, .aiff, .ogg, .mp3...)\n"
         "  demo    renders a built-in 10 s signal through every factory preset into\n"
         "          OUTDIR (default ./calvorin-demo) with level plots and editor pictures\n"
         "  snapshot draws the plug-in's editor into a PNG (no window needed; S 0.25-4)\n"
         "\n"
         "  --automate moves one parameter during a render, as a host's automation:\n"
         "          TIME in seconds from the start, rising; VALUE as for --set. A\n"
         "          continuous parameter follows the straight line between points, a\n"
         "          switch or list changes at them; before its first point it keeps its\n"
         "          preset or --set value. A step: two points one sample apart.\n";
}

namespace
{

bool ParseCommandName(const std::string& name, CommandKind& kind, std::string& error)
{
  if (name == "help" || name == "--help" || name == "-h")
    kind = CommandKind::kHelp;
  else if (name == "info")
    kind = CommandKind::kInfo;
  else if (name == "render")
    kind = CommandKind::kRender;
  else if (name == "demo")
    kind = CommandKind::kDemo;
  else if (name == "snapshot")
    kind = CommandKind::kSnapshot;
  else
  {
    error = "unknown command '" + name + "' (expected info, render, demo or snapshot)";
    return false;
  }
  return true;
}

// The options after the command name, one at a time, into the command.
class OptionParser
{
public:
  OptionParser(CommandLine& command, const std::string& commandName, ArgumentReader& reader, std::string& error)
    : mCommand(command), mCommandName(commandName), mReader(reader), mError(error)
  {
  }

  // arg is "--name", "--name=value" or "--name value". False with the error set
  // when the option is unknown, repeated or its value is bad.
  bool Parse(const std::string& arg)
  {
    const size_t eq = arg.find('=');
    mHasInline = eq != std::string::npos;
    mOption = mHasInline ? arg.substr(0, eq) : arg;
    mInlineValue = mHasInline ? arg.substr(eq + 1) : std::string();

    if (mOption == "--bundle")
      return ParseBundle();
    if (mCommand.kind == CommandKind::kSnapshot && (mOption == "--preset" || mOption == "--scale" || mOption == "--set"))
      return ParseSnapshotOption();
    if (mCommand.kind != CommandKind::kRender)
    {
      mError = "unknown option '" + mOption + "' for " + mCommandName;
      return false;
    }
    return ParseRenderOption();
  }

private:
  // The option's value: inline or the next argument.
  bool TakeValue(std::string& value) { return mReader.TakeValue(mOption, mInlineValue, mHasInline, value, mError); }

  // The same for an option that may be given only once.
  bool TakeValueOnce(bool seen, std::string& value)
  {
    if (seen)
    {
      mError = mOption + " given more than once";
      return false;
    }
    return TakeValue(value);
  }

  bool ParseBundle()
  {
    std::string value;
    if (!TakeValueOnce(mCommand.bundlePath.has_value(), value))
      return false;
    if (value.empty())
    {
      mError = "--bundle needs a path";
      return false;
    }
    mCommand.bundlePath = value;
    return true;
  }

  bool ParsePreset(std::optional<std::string>& preset)
  {
    std::string value;
    if (!TakeValueOnce(preset.has_value(), value))
      return false;
    if (value.empty())
    {
      mError = "--preset needs a name or an index";
      return false;
    }
    preset = value;
    return true;
  }

  bool ParseSnapshotOption()
  {
    SnapshotArguments& snapshot = mCommand.snapshot;
    if (mOption == "--preset")
      return ParsePreset(snapshot.preset);
    if (mOption == "--set")
      return ParseSetting(snapshot.settings);
    std::string value;
    if (!TakeValueOnce(mScaleSeen, value))
      return false;
    mScaleSeen = true;
    if (!ParseScale(value, snapshot.scale))
    {
      mError = "--scale expects a number from 0.25 to 4, got '" + value + "'";
      return false;
    }
    return true;
  }

  bool ParseSetting(std::vector<ParameterSetting>& settings)
  {
    std::string value;
    if (!TakeValue(value))
      return false;
    const size_t split = value.find('=');
    if (split == std::string::npos || split == 0)
    {
      mError = "--set expects NAME=VALUE, got '" + value + "'";
      return false;
    }
    settings.push_back({value.substr(0, split), value.substr(split + 1)});
    return true;
  }

  bool ParseRenderOption()
  {
    RenderArguments& render = mCommand.render;
    if (mOption == "--preset")
      return ParsePreset(render.preset);
    if (mOption == "--set")
      return ParseSetting(render.settings);
    std::string value;
    if (mOption == "--automate")
    {
      AutomationArgument automation;
      if (!TakeValue(value) || !ParseAutomation(value, automation, mError))
        return false;
      render.automations.push_back(std::move(automation));
      return true;
    }
    if (mOption == "--block")
    {
      if (!TakeValueOnce(mBlockSeen, value))
        return false;
      mBlockSeen = true;
      if (!ParseInt(value, render.blockFrames) || render.blockFrames < 1 || render.blockFrames > kMaxBlockFrames)
      {
        mError = "--block expects a whole number of frames from 1 to " + std::to_string(kMaxBlockFrames) + ", got '" +
                 value + "'";
        return false;
      }
      return true;
    }
    if (mOption == "--precision")
    {
      if (!TakeValueOnce(render.precisionBits.has_value(), value))
        return false;
      int bits = 0;
      if (!ParseInt(value, bits) || (bits != 32 && bits != 64))
      {
        mError = "--precision expects 32 or 64, got '" + value + "'";
        return false;
      }
      render.precisionBits = bits;
      return true;
    }
    mError = "unknown option '" + mOption + "' for render";
    return false;
  }

  CommandLine& mCommand;
  const std::string& mCommandName;
  ArgumentReader& mReader;
  std::string& mError;
  std::string mOption;
  std::string mInlineValue;
  bool mHasInline = false;
  bool mBlockSeen = false;
  bool mScaleSeen = false;
};

// The file and folder arguments each command takes.
bool AssignPositionals(CommandLine& command, const std::vector<std::string>& positional, std::string& error)
{
  switch (command.kind)
  {
  case CommandKind::kInfo:
    if (!positional.empty())
    {
      error = "info takes no file arguments, got '" + positional[0] + "'";
      return false;
    }
    break;
  case CommandKind::kRender:
    if (positional.size() < 2)
    {
      error = positional.empty() ? "render needs an input file and an output file" : "render needs an output file";
      return false;
    }
    if (positional.size() > 2)
    {
      error = "render takes one input and one output file, got extra '" + positional[2] + "'";
      return false;
    }
    command.render.inputPath = positional[0];
    command.render.outputPath = positional[1];
    break;
  case CommandKind::kDemo:
    if (positional.size() > 1)
    {
      error = "demo takes at most one output folder, got extra '" + positional[1] + "'";
      return false;
    }
    if (!positional.empty())
      command.demoDirectory = positional[0];
    break;
  case CommandKind::kSnapshot:
    if (positional.size() != 1)
    {
      error = positional.empty() ? "snapshot needs an output PNG file"
                                 : "snapshot takes one output file, got extra '" + positional[1] + "'";
      return false;
    }
    command.snapshot.outputPath = positional[0];
    break;
  case CommandKind::kHelp:
    break;
  }
  return true;
}

} // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args, std::string& error)
{
  CommandLine command;
  if (args.empty())
  {
    error = "no command given (info, render, demo or snapshot)";
    return std::nullopt;
  }
  const std::string& name = args[0];
  if (!ParseCommandName(name, command.kind, error))
    return std::nullopt;
  if (command.kind == CommandKind::kHelp)
    return command;

  const std::vector<std::string> rest(args.begin() + 1, args.end());
  ArgumentReader reader(rest);
  OptionParser options(command, name, reader, error);
  std::vector<std::string> positional;
  bool optionsEnded = false;
  while (!reader.Done())
  {
    const std::string& arg = reader.Next();
    if (optionsEnded || !IsOption(arg))
      positional.push_back(arg);
    else if (arg == "--")
      optionsEnded = true;
    else if (arg == "--help" || arg == "-h")
    {
      command.kind = CommandKind::kHelp;
      return command;
    }
    else if (!options.Parse(arg))
      return std::nullopt;
  }
  if (!AssignPositionals(command, positional, error))
    return std::nullopt;
  return command;
}

} // namespace calvorin::cli
