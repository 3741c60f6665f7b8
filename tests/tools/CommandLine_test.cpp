#include "tools/calvorin/CommandLine.h"

#include <gtest/gtest.h>

using namespace calvorin::cli;

namespace
{

std::optional<CommandLine> Parse(std::vector<std::string> args, std::string& error)
{
  return ParseCommandLine(args, error);
}

} // namespace

TEST(CommandLineParsing, RenderWithEveryOption)
{
  std::string error;
  auto command = Parse({"render", "in.flac", "--preset", "UP A LOT", "--set", "Depth=75", "out.wav",
                        "--set=Pre-gain Low=-6", "--block=256", "--precision", "64", "--bundle", "/x/Calvorin.vst3"},
                       error);
  ASSERT_TRUE(command) << error;
  EXPECT_EQ(command->kind, CommandKind::kRender);
  EXPECT_EQ(command->render.inputPath, "in.flac");
  EXPECT_EQ(command->render.outputPath, "out.wav");
  EXPECT_EQ(command->render.preset, "UP A LOT");
  ASSERT_EQ(command->render.settings.size(), 2u);
  EXPECT_EQ(command->render.settings[0].name, "Depth");
  EXPECT_EQ(command->render.settings[1].name, "Pre-gain Low");
  EXPECT_EQ(command->render.settings[1].value, "-6"); // split at the first '='
  EXPECT_EQ(command->render.blockFrames, 256);
  EXPECT_EQ(command->render.precisionBits, 64);
  EXPECT_EQ(command->bundlePath, "/x/Calvorin.vst3");

  command = Parse({"render", "a.wav", "b.wav", "--automate", "Out Gain=0:-6 dB, 1.5:+3", "--automate=Mode Low=2:SIDE"},
                  error);
  ASSERT_TRUE(command) << error;
  ASSERT_EQ(command->render.automations.size(), 2u);
  const AutomationArgument& gain = command->render.automations[0];
  EXPECT_EQ(gain.name, "Out Gain");
  ASSERT_EQ(gain.points.size(), 2u);
  EXPECT_EQ(gain.points[0].value, "-6 dB");
  EXPECT_DOUBLE_EQ(gain.points[1].seconds, 1.5);
  EXPECT_EQ(gain.points[1].value, "+3");
  EXPECT_EQ(command->render.automations[1].name, "Mode Low");

  command = Parse({"render", "a.wav", "b.wav"}, error);
  ASSERT_TRUE(command);
  EXPECT_EQ(command->render.blockFrames, 512);
  EXPECT_FALSE(command->render.precisionBits);
  EXPECT_FALSE(command->render.preset);
}

TEST(CommandLineParsing, InfoDemoAndHelp)
{
  std::string error;
  EXPECT_EQ(Parse({"info"}, error)->kind, CommandKind::kInfo);
  EXPECT_EQ(Parse({"demo"}, error)->demoDirectory, "calvorin-demo");
  EXPECT_EQ(Parse({"demo", "out/dir"}, error)->demoDirectory, "out/dir");
  EXPECT_EQ(Parse({"help"}, error)->kind, CommandKind::kHelp);
  EXPECT_EQ(Parse({"render", "--help"}, error)->kind, CommandKind::kHelp);
  EXPECT_EQ(Parse({"render", "--", "-in.wav", "out.wav"}, error)->render.inputPath, "-in.wav");
}

TEST(CommandLineParsing, BadInputNamesTheProblem)
{
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "no command"},
      {{"mix"}, "unknown command 'mix'"},
      {{"render"}, "needs an input file"},
      {{"render", "a.wav"}, "needs an output file"},
      {{"render", "a.wav", "b.wav", "c.wav"}, "extra 'c.wav'"},
      {{"render", "a", "b", "--block", "abc"}, "--block expects"},
      {{"render", "a", "b", "--block", "0"}, "--block expects"},
      {{"render", "a", "b", "--block", "70000"}, "--block expects"},
      {{"render", "a", "b", "--precision", "48"}, "--precision expects 32 or 64"},
      {{"render", "a", "b", "--set", "Depth"}, "--set expects NAME=VALUE"},
      {{"render", "a", "b", "--set", "=3"}, "--set expects NAME=VALUE"},
      {{"render", "a", "b", "--set"}, "--set needs a value"},
      {{"render", "a", "b", "--automate", "Depth"}, "--automate expects NAME=TIME:VALUE"},
      {{"render", "a", "b", "--automate", "Depth=1:50,2"}, "'2' in 'Depth=1:50,2' is no TIME:VALUE"},
      {{"render", "a", "b", "--automate", "Depth=1:50,-2:60"}, "--automate Depth: '-2' is no time"},
      {{"render", "a", "b", "--automate", "Depth=2:50,1.5:60"}, "times must rise, but 1.5 s follows 2 s"},
      {{"render", "a", "b", "--preset", "A", "--preset", "B"}, "--preset given more than once"},
      {{"render", "a", "b", "--volume", "3"}, "unknown option '--volume'"},
      {{"info", "--preset", "TORV"}, "unknown option '--preset' for info"},
      {{"info", "file.wav"}, "info takes no file"},
      {{"demo", "a", "b"}, "extra 'b'"},
      {{"demo", "--bundle"}, "--bundle needs a value"},
  };
  for (const auto& [args, expected] : cases)
  {
    std::string error;
    EXPECT_FALSE(ParseCommandLine(args, error)) << expected;
    EXPECT_NE(error.find(expected), std::string::npos) << "got: " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
}

TEST(CommandLineParsing, SnapshotTakesOneFileAPresetSettingsAndAScale)
{
  std::string error;
  auto command = Parse({"snapshot", "--scale=1.5", "ed.png", "--preset", "TORV", "--set", "Depth=5"}, error);
  ASSERT_TRUE(command) << error;
  EXPECT_EQ(command->kind, CommandKind::kSnapshot);
  EXPECT_EQ(command->snapshot.outputPath, "ed.png");
  EXPECT_EQ(command->snapshot.preset, "TORV");
  EXPECT_FLOAT_EQ(command->snapshot.scale, 1.5f);
  ASSERT_EQ(command->snapshot.settings.size(), 1u);
  EXPECT_EQ(command->snapshot.settings[0].name, "Depth");

  command = Parse({"snapshot", "ed.png"}, error);
  ASSERT_TRUE(command);
  EXPECT_FLOAT_EQ(command->snapshot.scale, 1.f);
  EXPECT_FALSE(command->snapshot.preset);

  for (const auto& args : std::vector<std::vector<std::string>>{{"snapshot"},
                                                                {"snapshot", "a.png", "b.png"},
                                                                {"snapshot", "a.png", "--scale", "0.1"},
                                                                {"snapshot", "a.png", "--scale", "nan"},
                                                                {"snapshot", "a.png", "--scale", "2", "--scale", "3"},
                                                                {"snapshot", "a.png", "--set", "Depth"}})
  {
    error.clear();
    EXPECT_FALSE(Parse(args, error)) << args.size();
    EXPECT_FALSE(error.empty());
  }
}
