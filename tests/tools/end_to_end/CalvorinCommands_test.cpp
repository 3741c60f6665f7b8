// The calvorin executable against the real bundle, as a user runs it: exit
// codes, messages, files left behind, and what the rendered audio holds.

#include "core/Utf8Path.h"
#include "tests/tools/SndfileFormats.h"
#include "tests/tools/TempDir.h"
#include "tests/tools/end_to_end/CalvorinProcess.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <fstream>
#include <set>
#include <thread>

using calvorin::test::Lines;
using calvorin::test::ProcessResult;
using calvorin::test::TempDir;

namespace fs = std::filesystem;

namespace
{

struct Audio
{
  SF_INFO info{};
  std::vector<double> samples; // interleaved
};

// Loud bursts over a quiet bed, so a compressor has something to do.
std::vector<double> TestSignal(int rate, int channels, long long frames)
{
  std::vector<double> samples(static_cast<size_t>(frames * channels));
  std::uint32_t noise = 12345;
  for (long long i = 0; i < frames; ++i)
  {
    const double t = static_cast<double>(i) / rate;
    const double level = std::fmod(t, 0.5) < 0.15 ? 0.7 : 0.02;
    noise = noise * 1664525u + 1013904223u;
    const double hiss = (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 0.05;
    for (int c = 0; c < channels; ++c)
      samples[static_cast<size_t>(i * channels + c)] =
          level * std::sin(2.0 * std::numbers::pi * (60.0 + 400.0 * c) * t) + level * hiss;
  }
  return samples;
}

void WriteAudio(const std::string& path, int format, int rate, int channels, double seconds)
{
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
  const auto frames = static_cast<long long>(seconds * rate);
  const std::vector<double> samples = TestSignal(rate, channels, frames);
  EXPECT_EQ(sf_writef_double(file, samples.data(), frames), frames);
  sf_close(file);
}

Audio ReadAudio(const std::string& path)
{
  Audio audio;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &audio.info);
  EXPECT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
  if (!file)
    return audio;
  audio.samples.resize(static_cast<size_t>(audio.info.frames * audio.info.channels));
  sf_readf_double(file, audio.samples.data(), audio.info.frames);
  sf_close(file);
  return audio;
}

double LargestDifference(const Audio& a, const Audio& b)
{
  if (a.samples.size() != b.samples.size())
    return INFINITY;
  double largest = 0.0;
  for (size_t i = 0; i < a.samples.size(); ++i)
    largest = std::max(largest, std::abs(a.samples[i] - b.samples[i]));
  return largest;
}

std::set<std::string> FileNames(const fs::path& dir)
{
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

// Inputs in work/, captured output beside it.
struct Workspace
{
  Workspace() { fs::create_directories(work); }

  std::string operator/(const std::string& name) const { return (work / name).string(); }
  ProcessResult Run(std::vector<std::string> args) const { return calvorin::test::RunCalvorin(args, temp.Path()); }
  // Every run names the bundle under test, never the user's installed one.
  ProcessResult Render(std::vector<std::string> args) const
  {
    args.insert(args.begin(), "render");
    args.insert(args.end(), {"--bundle", CALVORIN_BUNDLE_PATH});
    return Run(args);
  }

  TempDir temp;
  fs::path work = temp.Path() / "work";
};

constexpr int kWavDouble = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;

} // namespace

TEST(CalvorinEndToEnd, EachBadInputGivesOneLineAnExitCodeAndNoOutput)
{
  Workspace ws;
  const std::string in = ws / "in.wav";
  WriteAudio(in, kWavDouble, 48000, 2, 0.25);
  WriteAudio(ws / "three.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 3, 0.1);
  std::ofstream(ws / "text.wav") << "not audio at all\n";
  WriteAudio(ws / "rate96.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 96000, 2, 0.1);
  fs::create_directories(ws / "folder.wav");
  fs::create_directories(ws / "Hollow.vst3");
  const std::set<std::string> before = FileNames(ws.work);
  const std::string out = ws / "out.wav";
  const std::string bundle = CALVORIN_BUNDLE_PATH;

  struct Case
  {
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"render", ws / "missing.wav", out, "--bundle", bundle}, 1, "missing.wav"},
      {{"render", ws / "text.wav", out, "--bundle", bundle}, 1, "text.wav"},
      {{"render", ws / "folder.wav", out, "--bundle", bundle}, 1, "folder.wav"},
      {{"render", ws / "three.wav", out, "--bundle", bundle}, 1, "3 channels"},
      {{"render", in, ws / "no-such-folder/out.wav", "--bundle", bundle}, 1, "no-such-folder"},
      {{"render", in, in, "--bundle", bundle}, 1, "must not be the input"},
      {{"render", in, ws / "out.xyz", "--set", "Depth=150", "--bundle", bundle}, 1, "no format has the extension .xyz"},
      {{"render", in, ws / "out", "--bundle", bundle}, 1, "no extension names its format"},
      {{"render", ws / "rate96.wav", ws / "out.mp3", "--bundle", bundle}, 1,
       calvorin::test::LibsndfileHas(SF_FORMAT_MPEG) ? "MP3 files cannot hold 96000 Hz (only 8000, 11025" : "cannot write MP3 files"},
      {{"render", in, out, "--preset", "Loudest", "--bundle", bundle}, 1, "unknown preset 'Loudest'"},
      {{"render", in, out, "--preset", "3", "--bundle", bundle}, 1, "out of range"},
      {{"render", in, out, "--set", "Loudness=3", "--bundle", bundle}, 1, "unknown parameter 'Loudness'"},
      {{"render", in, out, "--set", "Depth=lots", "--bundle", bundle}, 1, "cannot read 'lots'"},
      {{"render", in, out, "--set", "Mode High=DIAGONAL", "--bundle", bundle}, 1, "cannot read 'DIAGONAL'"},
      {{"render", in, out, "--set", "Bypass=maybe", "--bundle", bundle}, 1, "cannot read 'maybe'"},
      {{"render", in, out, "--bundle", ws / "Nowhere.vst3"}, 1, "does not exist"},
      {{"render", in, out, "--bundle", ws / "Hollow.vst3"}, 1, "cannot load"},
      {{"render", in, out, "--bundle", CALVORIN_EMPTY_BUNDLE_PATH}, 1, "no audio effect class"},
      {{"info", "--bundle", CALVORIN_EMPTY_BUNDLE_PATH}, 1, "no audio effect class"},
      {{"render", in, out, "--set", "Depth"}, 2, "NAME=VALUE"},
      {{"render", in, out, "--block", "0"}, 2, "--block"},
      {{"render", in, out, "--precision", "48"}, 2, "--precision"},
      {{"render", in}, 2, "output file"},
      {{"mix", in, out}, 2, "unknown command 'mix'"},
  };
  for (const Case& c : cases)
  {
    std::string command;
    for (const std::string& a : c.args)
      command += a + " ";
    SCOPED_TRACE(command);
    const ProcessResult r = ws.Run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode);
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 1u) << r.err;
    EXPECT_EQ(lines[0].rfind("calvorin: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(c.message), std::string::npos) << lines[0];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(FileNames(ws.work), before); // no output, no temporary left behind
  }
}

// The output's extension names its container; the input's sample type is kept
// where the container holds it, else the nearest is written and said.
TEST(CalvorinEndToEnd, OutputIsWhatItsNameSaysInTheInputsRateChannelsAndSampleType)
{
  Workspace ws;
  struct Case
  {
    std::string name;
    int format;
    int rate;
    int channels;
    std::string outName;
    int outFormat;
    std::string written; // how the summary names it
    std::string note;    // the line saying that the sample type changed, if it did
  };
  const std::string wav = "WAV (Microsoft), ", flac = "FLAC (Free Lossless Audio Codec), ";
  const std::vector<Case> cases = {
      {"double.wav", kWavDouble, 48000, 2, "double.wav", kWavDouble, wav + "64 bit float", ""},
      {"mono16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, "mono16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16,
       wav + "Signed 16 bit PCM", ""},
      {"float.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 96000, 2, "float.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT,
       "AIFF (Apple/SGI), 32 bit float", ""},
      {"pcm24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 44100, 2, "pcm24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
       flac + "Signed 24 bit PCM", ""},
      {"pcm24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 44100, 2, "from-flac.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24,
       wav + "Signed 24 bit PCM", ""},
      {"double.wav", kWavDouble, 48000, 2, "double.aif", SF_FORMAT_AIFF | SF_FORMAT_DOUBLE,
       "AIFF (Apple/SGI), 64 bit float", ""},
      {"float.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 96000, 2, "float.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
       flac + "Signed 24 bit PCM", "  written as Signed 24 bit PCM: FLAC files hold no 32 bit float samples"},
      {"mono16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, "mono16.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS,
       "OGG (OGG Container format), Vorbis", "  written as Vorbis: OGG files hold no Signed 16 bit PCM samples"},
      {"double.wav", kWavDouble, 48000, 2, "double.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III,
       "MPEG-1/2 Audio, MPEG Layer III", "  written as MPEG Layer III: MPEG-1/2 Audio files hold no 64 bit float samples"},
  };
  using calvorin::test::LibsndfileHas;
  std::set<std::string> written;
  size_t runs = 0;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.outName);
    const std::string in = ws / c.name;
    const std::string out = ws / ("out-" + c.outName);
    if (!LibsndfileHas(c.format & SF_FORMAT_TYPEMASK))
      continue;
    if (!fs::exists(in))
      WriteAudio(in, c.format, c.rate, c.channels, 0.6);
    written.insert(c.name);
    const ProcessResult r = ws.Render({in, out, "--preset", "TORV"});
    ++runs;
    if (!LibsndfileHas(c.outFormat & SF_FORMAT_TYPEMASK))
    {
      // This build's libsndfile cannot write it: said, and nothing written.
      EXPECT_EQ(r.exitCode, 1);
      EXPECT_NE(r.err.find("cannot write '" + out + "': this calvorin's libsndfile cannot write"), std::string::npos)
          << r.err;
      EXPECT_FALSE(fs::exists(out));
      continue;
    }
    ASSERT_EQ(r.exitCode, 0) << r.err;
    written.insert("out-" + c.outName);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 2u) << r.out;
    EXPECT_EQ(lines[0].rfind("wrote " + out + " (" + c.written + ", " + std::to_string(c.rate) + " Hz, ", 0), 0u)
        << lines[0];
    if (c.note.empty())
    {
      EXPECT_EQ(r.out.find("written as"), std::string::npos) << r.out;
    }
    else
    {
      EXPECT_EQ(lines[1], c.note);
    }

    const Audio source = ReadAudio(in);
    const Audio rendered = ReadAudio(out);
    EXPECT_EQ(rendered.info.samplerate, c.rate);
    EXPECT_EQ(rendered.info.channels, c.channels);
    EXPECT_EQ(rendered.info.format, c.outFormat);
    const bool lossy = c.outFormat == (SF_FORMAT_OGG | SF_FORMAT_VORBIS) ||
                       c.outFormat == (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    if (lossy) // the encoder may pad to whole frames
    {
      EXPECT_NEAR(static_cast<double>(rendered.info.frames), static_cast<double>(source.info.frames), 0.05 * c.rate);
    }
    else
    {
      EXPECT_EQ(rendered.info.frames, source.info.frames);
      EXPECT_GT(LargestDifference(source, rendered), 1e-3);
    }
    double energy = 0.0;
    for (double sample : rendered.samples)
    {
      ASSERT_TRUE(std::isfinite(sample));
      energy += sample * sample;
    }
    EXPECT_GT(energy, 0.0);
  }
  EXPECT_EQ(ws.temp.FileCount(), 1u + 2 * runs); // work/ and the captured output
  EXPECT_EQ(FileNames(ws.work), written);       // no temporary files
}

// A damaged file: its NaN and infinite samples are counted, the figures are of
// the finite ones, and nothing non-finite reaches the output file.
TEST(CalvorinEndToEnd, NonFiniteInputSamplesAreCountedAndLeftOutOfTheFigures)
{
  Workspace ws;
  const std::string in = ws / "damaged.wav";
  const long long frames = 24000;
  std::vector<double> samples = TestSignal(48000, 2, frames);
  double peak = 0.0;
  for (double s : samples)
    peak = std::max(peak, std::abs(s));
  for (size_t i = 0; i < 300; ++i)
    samples[1000 + 7 * i] = i % 3 == 0 ? NAN : i % 3 == 1 ? INFINITY : -INFINITY;
  SF_INFO info{};
  info.samplerate = 48000;
  info.channels = 2;
  info.format = kWavDouble;
  SNDFILE* file = sf_open(in.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(sf_writef_double(file, samples.data(), frames), frames);
  sf_close(file);

  const ProcessResult r = ws.Render({in, ws / "out.wav", "--preset", "TORV"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  char inputLine[64];
  std::snprintf(inputLine, sizeof(inputLine), "\n  input     %-12.1f", 20.0 * std::log10(peak));
  EXPECT_NE(r.out.find(inputLine), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("the input held 300 non-finite samples"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("the output held"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("nan"), std::string::npos) << r.out;
  for (double s : ReadAudio(ws / "out.wav").samples)
    ASSERT_TRUE(std::isfinite(s));
}

TEST(CalvorinEndToEnd, BypassReproducesTheInputBitForBitAndSettingsFollowThePreset)
{
  Workspace ws;
  const std::string in = ws / "in.wav";
  WriteAudio(in, kWavDouble, 48000, 2, 1.0);
  const Audio source = ReadAudio(in);

  ASSERT_EQ(ws.Render({in, ws / "bypassed.wav", "--set", "Bypass=on"}).exitCode, 0);
  EXPECT_EQ(ReadAudio(ws / "bypassed.wav").samples, source.samples);

  // Settings apply after the preset wherever they stand on the line.
  ASSERT_EQ(ws.Render({in, ws / "before.wav", "--set", "bypass=ON", "--preset", "TORV"}).exitCode, 0);
  EXPECT_EQ(ReadAudio(ws / "before.wav").samples, source.samples);

  // Settings apply in order: the last one wins.
  ASSERT_EQ(ws.Render({in, ws / "last.wav", "--preset", "TORV", "--set", "Bypass=on", "--set", "Bypass=off"}).exitCode,
            0);
  ASSERT_EQ(ws.Render({in, ws / "torv.wav", "--preset", "TORV"}).exitCode, 0);
  EXPECT_EQ(ReadAudio(ws / "last.wav").samples, ReadAudio(ws / "torv.wav").samples);
  EXPECT_GT(LargestDifference(ReadAudio(ws / "torv.wav"), source), 1e-3);
}

TEST(CalvorinEndToEnd, PresetsAndSettingsChangeTheSignal)
{
  Workspace ws;
  const std::string in = ws / "in.wav";
  WriteAudio(in, kWavDouble, 48000, 2, 1.0);
  ASSERT_EQ(ws.Render({in, ws / "default.wav"}).exitCode, 0);
  ASSERT_EQ(ws.Render({in, ws / "torv.wav", "--preset", "TORV"}).exitCode, 0);
  ASSERT_EQ(ws.Render({in, ws / "torv-by-index.wav", "--preset", "1"}).exitCode, 0);
  ASSERT_EQ(ws.Render({in, ws / "torv-lower.wav", "--preset", "torv", "--precision", "64"}).exitCode, 0);
  ASSERT_EQ(ws.Render({in, ws / "up.wav", "--preset", "UP A LOT"}).exitCode, 0);
  ASSERT_EQ(ws.Render({in, ws / "depth0.wav", "--preset", "TORV", "--set", "Depth=0"}).exitCode, 0);
  ASSERT_EQ(ws.Render({in, ws / "quiet.wav", "--set", "Out Gain=-60"}).exitCode, 0);
  // Values in the units the plug-in displays, names and list entries in any case.
  const ProcessResult examples =
      ws.Render({in, ws / "examples.wav", "--set", "Depth=75", "--set", "Pre-gain Low=-6", "--set", "Time=50", "--set",
                 "mode high=side", "--set", "Out Gain=-3 dB", "--set", "Post-gain Mid=-inf dB"});
  ASSERT_EQ(examples.exitCode, 0) << examples.err;
  // A 32-bit render of a 64-bit file, in blocks of a few samples.
  ASSERT_EQ(ws.Render({in, ws / "torv32.wav", "--preset", "TORV", "--precision", "32", "--block", "7"}).exitCode, 0);

  const Audio source = ReadAudio(in);
  const Audio torv = ReadAudio(ws / "torv.wav");
  EXPECT_GT(LargestDifference(torv, ReadAudio(ws / "default.wav")), 1e-3);
  EXPECT_GT(LargestDifference(torv, ReadAudio(ws / "up.wav")), 1e-3);
  EXPECT_GT(LargestDifference(torv, ReadAudio(ws / "depth0.wav")), 1e-3);
  EXPECT_EQ(ReadAudio(ws / "torv-by-index.wav").samples, torv.samples);
  EXPECT_EQ(ReadAudio(ws / "torv-lower.wav").samples, torv.samples);
  EXPECT_LT(LargestDifference(ReadAudio(ws / "torv32.wav"), torv), 1e-4); // float rounding only

  double sourcePeak = 0.0, quietPeak = 0.0;
  for (double s : source.samples)
    sourcePeak = std::max(sourcePeak, std::abs(s));
  for (double s : ReadAudio(ws / "quiet.wav").samples)
    quietPeak = std::max(quietPeak, std::abs(s));
  EXPECT_LT(quietPeak, sourcePeak * 0.01);
}

// A value beyond the range, or a list index between entries, renders as the
// plug-in's nearest value would and is said in one line each.
TEST(CalvorinEndToEnd, ValuesTheParameterCannotTakeAreClampedAndSaid)
{
  Workspace ws;
  const std::string in = ws / "in.wav";
  WriteAudio(in, kWavDouble, 48000, 2, 0.5);
  struct Case
  {
    std::string asked;
    std::string used; // the same value as the plug-in takes it
    std::string said; // empty when nothing is adjusted
  };
  const std::vector<Case> cases = {
      {"Depth=150", "Depth=100", "Depth 150 is out of range (0 to 100 %); using 100 %"},
      {"Out Gain=30 dB", "Out Gain=24", "Out Gain 30 dB is out of range (-inf to 24.0 dB); using 24.0 dB"},
      {"Push Threshold Mid=-99", "Push Threshold Mid=-80",
       "Push Threshold Mid -99 is out of range (-80.0 to 6.0 dB); using -80.0 dB"},
      {"Time=-5", "Time=0", "Time -5 is out of range (0 to 1000 %); using 0 %"},
      {"Mode High=5", "Mode High=SIDE", "Mode High 5 is out of range (0 to 2: LR, MID, SIDE); using SIDE"},
      {"Mode Low=0.6", "Mode Low=MID", "Mode Low 0.6 lies between two entries (0 to 2: LR, MID, SIDE); using MID"},
      {"Mode Mid=2", "Mode Mid=SIDE", ""},
      {"Width Low=37.5", "Width Low=37.5", ""},
  };
  std::vector<std::string> asked{in, ws / "asked.wav", "--preset", "TORV"};
  std::vector<std::string> used{in, ws / "used.wav", "--preset", "TORV"};
  std::string said;
  for (const Case& c : cases)
  {
    asked.insert(asked.end(), {"--set", c.asked});
    used.insert(used.end(), {"--set", c.used});
    if (!c.said.empty())
      said += "calvorin: " + c.said + "\n";
  }
  const ProcessResult r = ws.Render(asked);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, said);
  const ProcessResult reference = ws.Render(used);
  ASSERT_EQ(reference.exitCode, 0) << reference.err;
  EXPECT_EQ(reference.err, "");
  EXPECT_EQ(ReadAudio(ws / "asked.wav").samples, ReadAudio(ws / "used.wav").samples);
  EXPECT_GT(LargestDifference(ReadAudio(ws / "asked.wav"), ReadAudio(in)), 1e-3);
}

TEST(CalvorinEndToEnd, InfoListsEveryParameterAndThePresets)
{
  Workspace ws;
  const ProcessResult r = ws.Run({"info", "--bundle", CALVORIN_BUNDLE_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("Calvorin 1.0.0 by Fenmarch\nSub-categories: Fx|Dynamics\n", 0), 0u) << r.out;
  const std::vector<std::string> titles = {
      "Pre-gain Low",  "Pre-gain Mid",  "Pre-gain High",  "Post-gain Low",  "Post-gain Mid",  "Post-gain High",
      "Pull Threshold Low", "Pull Threshold Mid", "Pull Threshold High", "Push Threshold Low",
      "Push Threshold Mid", "Push Threshold High", "Width Low", "Width Mid", "Width High", "Excite Low",
      "Excite Mid",    "Excite High",   "Mode Low",       "Mode Mid",       "Mode High",      "Depth",
      "Time",          "Mix",           "Out Gain",       "Bypass"};
  ASSERT_EQ(titles.size(), 26u);
  for (const std::string& title : titles)
    EXPECT_NE(r.out.find("  " + title + " "), std::string::npos) << title;
  for (int id = 0; id < 26; ++id)
    EXPECT_NE(r.out.find("\n  " + std::to_string(id) + " "), std::string::npos) << id;
  EXPECT_NE(r.out.find("Presets (3):\n  0  DEFAULT\n  1  TORV\n  2  UP A LOT\n"), std::string::npos) << r.out;
}

TEST(CalvorinEndToEnd, InterruptLeavesNoPartialOutput)
{
  Workspace ws;
  const std::string in = ws / "long.wav";
  WriteAudio(in, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 30.0);
  const std::string out = ws / "out.wav";

  // Blocks of one sample keep the render busy long enough to interrupt.
  calvorin::test::CalvorinProcess process(
      {"render", in, out, "--block", "1", "--preset", "TORV", "--bundle", CALVORIN_BUNDLE_PATH}, ws.temp.Path());
  const std::string partial = ".out.wav." + std::to_string(process.Pid()) + ".partial";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!fs::exists(ws.work / partial) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(fs::exists(ws.work / partial));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  process.Interrupt();
  const ProcessResult r = process.Wait();

  EXPECT_EQ(r.exitCode, 130) << r.err;
  EXPECT_NE(r.err.find("calvorin: cancelled"), std::string::npos) << r.err;
  EXPECT_EQ(FileNames(ws.work), std::set<std::string>{"long.wav"});
}

namespace
{

// Width and height from a PNG's header.
std::pair<int, int> PngSize(const fs::path& path)
{
  std::ifstream png(path, std::ios::binary);
  unsigned char header[24] = {};
  png.read(reinterpret_cast<char*>(header), sizeof header);
  auto be32 = [&](int at) { return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3]; };
  return png ? std::pair<int, int>{be32(16), be32(20)} : std::pair<int, int>{0, 0};
}

std::string ReadBytes(const fs::path& path)
{
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

TEST(CalvorinEndToEnd, DemoWritesTheInputAndAWavAndPlotPerPreset)
{
  Workspace ws;
  const fs::path dir = ws.work / "demo";
  const ProcessResult r = ws.Run({"demo", dir.string(), "--bundle", CALVORIN_BUNDLE_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("demo written to " + dir.string()), std::string::npos) << r.out;

  const std::set<std::string> expected = {"input.wav",       "default.wav", "default.png",        "default-editor.png",
                                          "torv.wav",        "torv.png",    "torv-editor.png",    "up-a-lot.wav",
                                          "up-a-lot.png",    "up-a-lot-editor.png"};
  EXPECT_EQ(FileNames(dir), expected);
  const Audio input = ReadAudio((dir / "input.wav").string());
  EXPECT_EQ(input.info.frames, 480000);
  EXPECT_EQ(input.info.channels, 2);
  for (const char* name : {"default", "torv", "up-a-lot"})
  {
    SCOPED_TRACE(name);
    const Audio rendered = ReadAudio((dir / (std::string(name) + ".wav")).string());
    EXPECT_EQ(rendered.info.frames, input.info.frames);
    EXPECT_EQ(rendered.info.format, input.info.format);
    EXPECT_GT(LargestDifference(rendered, input), 1e-3);
    std::ifstream png(dir / (std::string(name) + ".png"), std::ios::binary);
    char signature[8] = {};
    png.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    EXPECT_EQ(PngSize(dir / (std::string(name) + "-editor.png")), (std::pair<int, int>{680, 392}));
  }
}

TEST(CalvorinEndToEnd, SnapshotDrawsTheEditorWithThePresetAtTheScale)
{
  Workspace ws;
  const fs::path defaults = ws.work / "defaults.png";
  const fs::path torv = ws.work / "torv.png";
  ProcessResult r = ws.Run({"snapshot", defaults.string(), "--bundle", CALVORIN_BUNDLE_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("editor written to " + defaults.string()), std::string::npos) << r.out;
  EXPECT_EQ(PngSize(defaults), (std::pair<int, int>{680, 392}));

  r = ws.Run({"snapshot", torv.string(), "--preset", "torv", "--scale", "2", "--bundle", CALVORIN_BUNDLE_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(PngSize(torv), (std::pair<int, int>{1360, 784}));

  // The knobs follow the preset: the same scale with another preset draws other pixels.
  const fs::path torv1 = ws.work / "torv1.png";
  ASSERT_EQ(ws.Run({"snapshot", torv1.string(), "--preset", "1", "--bundle", CALVORIN_BUNDLE_PATH}).exitCode, 0);
  EXPECT_NE(ReadBytes(torv1), ReadBytes(defaults));
  // Settings change what is drawn; an unknown one is one clear line.
  const fs::path set = ws.work / "set.png";
  r = ws.Run({"snapshot", set.string(), "--set", "Depth=100", "--set", "Mode Low=SIDE", "--bundle", CALVORIN_BUNDLE_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(ReadBytes(set), ReadBytes(defaults));
  r = ws.Run({"snapshot", set.string(), "--set", "Nope=1", "--bundle", CALVORIN_BUNDLE_PATH});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;

  const fs::path bad = ws.work / "bad.png";
  r = ws.Run({"snapshot", bad.string(), "--scale", "9", "--bundle", CALVORIN_BUNDLE_PATH});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("--scale expects a number from 0.25 to 4"), std::string::npos) << r.err;
  r = ws.Run({"snapshot", bad.string(), "--preset", "NOPE", "--bundle", CALVORIN_BUNDLE_PATH});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
  r = ws.Run({"snapshot", (ws.work / "missing" / "x.png").string(), "--bundle", CALVORIN_BUNDLE_PATH});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("cannot draw the editor"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(bad));
}

// Names outside ASCII in every path calvorin takes: the input, the output, the
// picture, and the bundle it loads. Windows hands them over as UTF-16.
TEST(CalvorinEndToEnd, PathsOutsideAsciiWork)
{
  Workspace ws;
  const auto utf8 = [](const fs::path& path) { return iplug::Utf8FromPath(path); };
  const fs::path folder = ws.work / iplug::PathFromUtf8("Grüße 日本");
  const fs::path bundle = folder / "Calvorin.vst3";
  fs::create_directories(folder);
  fs::copy(CALVORIN_BUNDLE_PATH, bundle, fs::copy_options::recursive);
  const std::string in = ws / "in.wav";
  WriteAudio(in, kWavDouble, 48000, 2, 0.25);
  const fs::path input = folder / iplug::PathFromUtf8("Ünïcödé in.wav");
  fs::copy_file(in, input);

  const fs::path output = folder / iplug::PathFromUtf8("出力 ñ.wav");
  ProcessResult r = ws.Run({"render", utf8(input), utf8(output), "--preset", "TORV", "--bundle", utf8(bundle)});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("wrote " + utf8(output)), std::string::npos) << r.out;
  ASSERT_EQ(ws.Render({in, ws / "ascii.wav", "--preset", "TORV"}).exitCode, 0);
  fs::copy_file(output, ws.work / "copied.wav");
  EXPECT_EQ(ReadAudio(ws / "copied.wav").samples, ReadAudio(ws / "ascii.wav").samples);

  const fs::path picture = folder / iplug::PathFromUtf8("édition.png");
  r = ws.Run({"snapshot", utf8(picture), "--bundle", utf8(bundle)});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(PngSize(picture), (std::pair<int, int>{680, 392}));

  r = ws.Run({"render", utf8(folder / iplug::PathFromUtf8("fehlt ß.wav")), utf8(folder / "x.wav"), "--bundle",
              utf8(bundle)});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("fehlt ß.wav"), std::string::npos) << r.err;
}
