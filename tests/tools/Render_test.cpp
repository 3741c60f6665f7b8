#include "tools/calvorin/AudioFile.h"
#include "tools/calvorin/BundleLocation.h"
#include "tools/calvorin/Commands.h"
#include "tools/calvorin/ParameterAssignment.h"
#include "tools/calvorin/Renderer.h"
#include "tests/tools/FakeEffectHost.h"
#include "tests/tools/SndfileFormats.h"
#include "tests/tools/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

using namespace calvorin::cli;
using calvorin::test::FakeEffectHost;
using calvorin::test::LibsndfileHasFlac;
using calvorin::test::TempDir;

namespace
{

// A test file through libsndfile directly: a ramp of distinct values.
void WriteFile(const std::string& path, int format, int rate, int channels, int frames)
{
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr);
  std::vector<double> samples(static_cast<size_t>(frames * channels));
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = 0.5 * std::sin(0.001 * static_cast<double>(i)) + 1e-9 * static_cast<double>(i % 7);
  sf_writef_double(file, samples.data(), frames);
  sf_close(file);
}

std::vector<double> ReadAll(const std::string& path, SF_INFO& info)
{
  info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(file, nullptr) << path;
  if (!file)
    return {};
  sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  std::vector<double> samples(static_cast<size_t>(info.frames * info.channels));
  sf_readf_double(file, samples.data(), info.frames);
  sf_close(file);
  return samples;
}

struct CapturedConsole
{
  std::ostringstream out, err;
  std::atomic<bool> cancel{false};
  Console console{out, err, false, &cancel};
};

int RunTool(FakeEffectHost& host, CapturedConsole& captured, std::vector<std::string> args)
{
  HostFactory factory = [&](const std::optional<std::string>&, std::string&) {
    // The tool owns what the factory returns; hand it a forwarding wrapper.
    struct Borrowed : EffectHost
    {
      explicit Borrowed(FakeEffectHost& h) : host(h) {}
      EffectClass Class() override { return host.Class(); }
      std::vector<HostParameter> Parameters() override { return host.Parameters(); }
      std::vector<std::string> PresetNames() override { return host.PresetNames(); }
      bool ValueToText(int id, double v, std::string& t) override { return host.ValueToText(id, v, t); }
      bool TextToValue(int id, const std::string& t, double& v) override { return host.TextToValue(id, t, v); }
      bool Prepare(double r, int b, int c, SamplePrecision p, std::string& e) override
      {
        return host.Prepare(r, b, c, p, e);
      }
      bool LoadPreset(int i, std::string& e) override { return host.LoadPreset(i, e); }
      bool SetParameter(int id, double v) override { return host.SetParameter(id, v); }
      double ParameterValue(int id) override { return host.ParameterValue(id); }
      bool AddPoint(int id, int offset, double v) override { return host.AddPoint(id, offset, v); }
      void Process(float* const* i, float* const* o, int n) override { host.Process(i, o, n); }
      void Process(double* const* i, double* const* o, int n) override { host.Process(i, o, n); }
      void Stop() override { host.Stop(); }
      bool SaveEditorSnapshot(const std::string& p, float s, std::string& e) override
      {
        return host.SaveEditorSnapshot(p, s, e);
      }
      FakeEffectHost& host;
    };
    return std::unique_ptr<EffectHost>(new Borrowed(host));
  };
  return RunCalvorin(args, factory, captured.console);
}

} // namespace

TEST(ParameterAssignment, NamesValuesAndPresets)
{
  FakeEffectHost host;
  const auto parameters = host.Parameters();
  struct Case
  {
    ParameterSetting setting;
    int id;
    double normalized;
    std::string adjustment; // or, when id is -1, the error
  };
  const std::vector<Case> cases = {
      {{"depth", "75"}, FakeEffectHost::kDepth, 0.75, ""},
      {{" MODE HIGH ", "SIDE"}, FakeEffectHost::kMode, 1.0, ""},
      {{"Mode High", "1"}, FakeEffectHost::kMode, 0.5, ""}, // a list index
      // Two parameters share "Bypass": the first listed (the host's) wins; "on" is understood.
      {{"Bypass", "on"}, FakeEffectHost::kHostBypass, 1.0, ""},
      // Beyond the range: clamped as the plug-in clamps a host's value, and said.
      {{"Depth", "150"}, FakeEffectHost::kDepth, 1.0, "Depth 150 is out of range (0 to 100 %); using 100 %"},
      {{"Out Gain", "-30"}, FakeEffectHost::kGain, 0.0, "Out Gain -30 is out of range (-24 to 24 dB); using -24 dB"},
      {{"Mode High", "5"}, FakeEffectHost::kMode, 1.0,
       "Mode High 5 is out of range (0 to 2: LR, MID, SIDE); using SIDE"},
      {{"Mode High", "0.5"}, FakeEffectHost::kMode, 0.5,
       "Mode High 0.5 lies between two entries (0 to 2: LR, MID, SIDE); using MID"},
      {{"Bypass", "-1"}, FakeEffectHost::kHostBypass, 0.0, "Bypass -1 is out of range (0 to 1: 0, 1); using 0"},
      {{"Loudness", "3"}, -1, 0.0, "unknown parameter 'Loudness'"},
      {{"Depth", "lots"}, -1, 0.0, "cannot read 'lots' as a value of Depth (in %)"},
      {{"Mode High", "on"}, -1, 0.0, "cannot read 'on' as a value of Mode High (one of 0 to 2: LR, MID, SIDE)"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.setting.name + "=" + c.setting.value);
    ResolvedSetting resolved;
    std::string error;
    const bool ok = ResolveSetting(host, parameters, c.setting, resolved, error);
    ASSERT_EQ(ok, c.id >= 0) << error;
    if (!ok)
    {
      EXPECT_NE(error.find(c.adjustment), std::string::npos) << error;
      continue;
    }
    EXPECT_EQ(resolved.id, c.id);
    EXPECT_DOUBLE_EQ(resolved.normalized, c.normalized);
    EXPECT_EQ(resolved.adjustment, c.adjustment);
  }

  // A clamped value is said on stderr and the render goes on.
  TempDir dir;
  WriteFile(dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 100);
  CapturedConsole captured;
  EXPECT_EQ(RunTool(host, captured, {"render", dir / "in.wav", dir / "out.wav", "--set", "Depth=150"}), kExitOk);
  EXPECT_EQ(captured.err.str(), "calvorin: Depth 150 is out of range (0 to 100 %); using 100 %\n");
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "out.wav"));

  std::string error;
  int index = -1;
  const auto presets = host.PresetNames();
  ASSERT_TRUE(ResolvePreset(presets, "up a lot", index, error));
  EXPECT_EQ(index, 2);
  ASSERT_TRUE(ResolvePreset(presets, "1", index, error));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(ResolvePreset(presets, "3", index, error));
  EXPECT_NE(error.find("out of range (0 to 2)"), std::string::npos);
  EXPECT_FALSE(ResolvePreset(presets, "LOUD", index, error));
  EXPECT_NE(error.find("DEFAULT, TORV, UP A LOT"), std::string::npos);
}

TEST(Render, OutputKeepsTheInputFormatAndBypassIsBitExact)
{
  TempDir dir;
  struct Case
  {
    int format, rate, channels;
    const char* name;
  };
  for (const Case& c : {Case{SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 48000, 2, "d.wav"},
                        Case{SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, "s.wav"},
                        Case{SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 96000, 2, "f.flac"}})
  {
    if ((c.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC && !LibsndfileHasFlac())
      continue;
    const std::string in = dir / c.name, out = dir / (std::string("out-") + c.name);
    WriteFile(in, c.format, c.rate, c.channels, 5000);
    FakeEffectHost host;
    CapturedConsole captured;
    ASSERT_EQ(RunTool(host, captured, {"render", in, out, "--set", "Bypass=on", "--block", "300"}), kExitOk)
        << captured.err.str();
    EXPECT_EQ(host.preparedRate, c.rate);
    EXPECT_EQ(host.preparedChannels, c.channels);
    EXPECT_EQ(host.largestBlock, 300);
    EXPECT_EQ(host.processedBits, (c.format & SF_FORMAT_SUBMASK) == SF_FORMAT_DOUBLE ? 64 : 32);
    SF_INFO inInfo, outInfo;
    const std::vector<double> inSamples = ReadAll(in, inInfo), outSamples = ReadAll(out, outInfo);
    EXPECT_EQ(outInfo.format, inInfo.format);
    EXPECT_EQ(outInfo.samplerate, inInfo.samplerate);
    EXPECT_EQ(outInfo.channels, inInfo.channels);
    EXPECT_EQ(outInfo.frames, 5000);
    EXPECT_EQ(outSamples, inSamples) << c.name;
    EXPECT_NE(captured.out.str().find("peak dBFS"), std::string::npos);
  }
}

TEST(Render, PresetThenSettingsInOrderReachTheSignal)
{
  TempDir dir;
  WriteFile(dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 48000, 2, 48000);
  FakeEffectHost host;
  CapturedConsole captured;
  ASSERT_EQ(RunTool(host, captured,
                {"render", dir / "in.wav", dir / "out.wav", "--set", "Out Gain=-6", "--preset", "TORV", "--set",
                 "Out Gain=12", "--precision", "32"}),
            kExitOk)
      << captured.err.str();
  const std::vector<std::string> expected{"prepare", "preset 1", "set 1 0.375000", "set 1 0.750000", "stop"};
  EXPECT_EQ(host.log, expected);
  EXPECT_EQ(host.processedBits, 32);
  SF_INFO info;
  const auto in = ReadAll(dir / "in.wav", info), out = ReadAll(dir / "out.wav", info);
  EXPECT_NEAR(out[1000] / in[1000], std::pow(10.0, 12.0 / 20.0), 1e-5);
  EXPECT_NE(captured.out.str().find("raised by"), std::string::npos);
}

TEST(Render, AutomationReachesTheEffectAsQueuePointsInTheirBlocks)
{
  TempDir dir;
  WriteFile(dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 1000, 1, 300);
  FakeEffectHost host;
  CapturedConsole captured;
  // At 1000 Hz in blocks of 100: Out Gain from 0 dB (its value before) to +12
  // at frame 150 and -12 at 250; Mode High steps at 120.
  ASSERT_EQ(RunTool(host, captured,
                    {"render", dir / "in.wav", dir / "out.wav", "--block", "100", "--automate", "Out Gain=0.15:12,0.25:-12",
                     "--automate", "Mode High=0.12:SIDE"}),
            kExitOk)
      << captured.err.str();
  std::vector<std::string> points;
  for (const std::string& line : host.log)
  {
    if (line.rfind("point", 0) == 0)
      points.push_back(line);
  }
  const std::vector<std::string> expected{
    // block 1: the value holds to frame 149, then the line to +12 at 150 and on
    // to -12, so the block ends on that line
    "point 1 1 49 0.500000", "point 1 1 50 0.750000", "point 1 1 99 0.505000",
    "point 1 2 19 0.000000", "point 1 2 20 1.000000", // a list: no line, only its points
    "point 2 1 50 0.250000",
  };
  EXPECT_EQ(points, expected);

  // A point's value beyond the range is clamped and said with its time; the render goes on.
  CapturedConsole clamped;
  EXPECT_EQ(RunTool(host, clamped,
                    {"render", dir / "in.wav", dir / "out.wav", "--automate", "Depth=0.1:150,0.2:50,0.25:-5"}),
            kExitOk);
  EXPECT_EQ(clamped.err.str(), "calvorin: --automate Depth at 0.1 s: Depth 150 is out of range (0 to 100 %); using 100 %\n"
                               "calvorin: --automate Depth at 0.25 s: Depth -5 is out of range (0 to 100 %); using 0 %\n");

  // A curve that cannot be played: one line, no output.
  for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
         {{"--automate", "Loudness=1:3"}, "unknown parameter 'Loudness'"},
         {{"--automate", "Depth=0.1:lots"}, "--automate Depth at 0.1 s: cannot read 'lots'"},
         {{"--automate", "Depth=0.1:5", "--automate", "depth=0.2:7"}, "names Depth twice"},
         {{"--automate", "Depth=0.1:5,0.1002:7"}, "fall on the same frame at 1000 Hz"},
       })
  {
    CapturedConsole failed;
    std::vector<std::string> all{"render", dir / "in.wav", dir / "bad.wav"};
    all.insert(all.end(), args.begin(), args.end());
    EXPECT_NE(RunTool(host, failed, all), kExitOk) << message;
    const std::string err = failed.err.str();
    EXPECT_NE(err.find(message), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "bad.wav"));
  }
}

TEST(Render, BadInputFailsWithOneLineAndNoOutput)
{
  TempDir dir;
  WriteFile(dir / "six.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 6, 100);
  WriteFile(dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 100);
  std::ofstream(dir / "keep.wav") << "existing";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"render", dir / "missing.wav", dir / "out.wav"}, "no such file"},
      {{"render", dir / "six.wav", dir / "out.wav"}, "has 6 channels"},
      {{"render", dir / "in.wav", dir / "out.wav", "--preset", "LOUD"}, "unknown preset 'LOUD'"},
      {{"render", dir / "in.wav", dir / "out.wav", "--set", "Depth=much"}, "cannot read 'much'"},
      {{"render", dir / "in.wav", dir / "in.wav"}, "must not be the input"},
  };
  for (const auto& [args, message] : cases)
  {
    FakeEffectHost host;
    CapturedConsole captured;
    EXPECT_EQ(RunTool(host, captured, args), kExitFailure) << message;
    const std::string err = captured.err.str();
    EXPECT_NE(err.find(message), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  }
  // The plug-in refusing the set-up, and Ctrl-C, leave the old file as it was.
  FakeEffectHost refusing;
  refusing.refusePrepare = true;
  CapturedConsole captured;
  EXPECT_EQ(RunTool(refusing, captured, {"render", dir / "in.wav", dir / "keep.wav"}), kExitFailure);
  FakeEffectHost interrupted;
  WriteFile(dir / "long.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 48000);
  interrupted.cancelAfterBlocks = 3;
  interrupted.cancelFlag = &captured.cancel;
  EXPECT_EQ(RunTool(interrupted, captured, {"render", dir / "long.wav", dir / "keep.wav"}), kExitCancelled);
  std::ifstream kept(dir / "keep.wav");
  std::string content;
  kept >> content;
  EXPECT_EQ(content, "existing");
  EXPECT_EQ(dir.FileCount(), 4u);
}

TEST(Commands, InfoListsParametersAndPresets)
{
  FakeEffectHost host;
  CapturedConsole captured;
  ASSERT_EQ(RunTool(host, captured, {"info"}), kExitOk);
  const std::string out = captured.out.str();
  EXPECT_EQ(out.rfind("Fake 1.2.3 by Maker\nSub-categories: Fx|Dynamics\nParameters (5):", 0), 0u) << out;
  EXPECT_NE(out.find("65536"), std::string::npos);
  EXPECT_NE(out.find("Out Gain"), std::string::npos);
  EXPECT_NE(out.find("2  UP A LOT"), std::string::npos);

  CapturedConsole usage;
  EXPECT_EQ(RunTool(host, usage, {"render", "x.wav"}), kExitUsage);
  const std::string err = usage.err.str();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST(Commands, DemoWritesSignalRendersAndPlotsPerPreset)
{
  TempDir dir;
  FakeEffectHost host;
  CapturedConsole captured;
  ASSERT_EQ(RunTool(host, captured, {"demo", dir / "demo"}), kExitOk) << captured.err.str();
  for (const char* name : {"input.wav", "default.wav", "default.png", "default-editor.png", "torv.wav", "torv.png",
                           "torv-editor.png", "up-a-lot.wav", "up-a-lot.png", "up-a-lot-editor.png"})
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "demo" / name)) << name;
  SF_INFO info;
  EXPECT_EQ(ReadAll(dir / "demo/torv.wav", info).size(), 960000u);
  EXPECT_NE(captured.out.str().find("demo written to"), std::string::npos);
  EXPECT_EQ(FileNameForPreset("  ", 4), "preset-4");
}

TEST(BundleLocation, ExplicitPathOrFirstExistingCandidate)
{
  TempDir dir;
  std::filesystem::create_directories(dir.Path() / "build/tools/calvorin");
  std::filesystem::create_directories(dir.Path() / "build/Calvorin.vst3");
  const auto candidates =
      DefaultBundleCandidates(dir / "build/tools/calvorin/calvorin", {"/home/someone/.vst3", "/usr/lib/vst3"});
  ASSERT_EQ(candidates.size(), 4u);
  EXPECT_EQ(std::filesystem::path(candidates[1]), std::filesystem::path(dir / "build/tools/calvorin/Calvorin.vst3"));
  EXPECT_EQ(std::filesystem::path(candidates[2]), std::filesystem::path("/home/someone/.vst3") / "Calvorin.vst3");
  EXPECT_EQ(std::filesystem::path(candidates[3]), std::filesystem::path("/usr/lib/vst3") / "Calvorin.vst3");
  std::string error;
  const auto found = FindBundle(std::nullopt, candidates, error);
  ASSERT_TRUE(found) << error;
  EXPECT_EQ(std::filesystem::path(*found), std::filesystem::path(dir / "build/Calvorin.vst3"));
  EXPECT_FALSE(FindBundle(dir / "nowhere.vst3", candidates, error));
  EXPECT_NE(error.find("nowhere.vst3' does not exist"), std::string::npos);
  EXPECT_FALSE(FindBundle(std::nullopt, {"/nonexistent/Calvorin.vst3"}, error));
  EXPECT_NE(error.find("pass --bundle PATH"), std::string::npos);
}
