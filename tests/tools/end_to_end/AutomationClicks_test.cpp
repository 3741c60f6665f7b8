// Automation through the real module with calvorin render --automate: how
// much a change adds above 1 kHz to a 100 Hz sine at -12 dBFS (the output
// high-passed by an 8th-order Butterworth at 1 kHz), against the floor of the
// settings before and after held still. Prints the figures.

#include "tests/tools/TempDir.h"
#include "tests/tools/end_to_end/CalvorinProcess.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

using calvorin::test::ProcessResult;
using calvorin::test::TempDir;

namespace
{

constexpr double kSeconds = 3.0;
constexpr double kChangeAt = 1.25;     // seconds
constexpr double kMeasureFrom = 0.75;  // seconds: after the start has settled
constexpr double kAllowedDb = 6.0;     // above the floor
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Instrumented builds are here for memory and races, not figures: one rate
// and block size keep them within the time a test may take.
constexpr int kRates[] = {44100};
constexpr int kBlocks[] = {1024};
#else
constexpr int kRates[] = {44100, 96000};
constexpr int kBlocks[] = {64, 1024, 4096};
#endif

std::vector<double> ReadInterleaved(const std::string& path, SF_INFO& info)
{
  info = SF_INFO{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(file, nullptr) << path;
  if (!file)
    return {};
  std::vector<double> samples(static_cast<size_t>(info.frames * info.channels));
  sf_readf_double(file, samples.data(), info.frames);
  sf_close(file);
  return samples;
}

void WriteSine(const std::string& path, int rate)
{
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << path;
  const auto frames = static_cast<long long>(kSeconds * rate);
  const double amplitude = std::pow(10.0, -12.0 / 20.0);
  std::vector<double> samples(static_cast<size_t>(frames * 2));
  for (long long i = 0; i < frames; ++i)
    samples[static_cast<size_t>(2 * i)] = samples[static_cast<size_t>(2 * i + 1)] =
        amplitude * std::sin(2.0 * std::numbers::pi * 100.0 * static_cast<double>(i) / rate);
  sf_writef_double(file, samples.data(), frames);
  sf_close(file);
}

// Peak in dBFS of the output above 1 kHz from kMeasureFrom on: an 8th-order
// Butterworth high-pass (four bilinear sections, one per pole pair).
double PeakAbove1kHzDb(const std::vector<double>& interleaved, int rate)
{
  struct Section
  {
    double b0, b1, b2, a1, a2, z1 = 0.0, z2 = 0.0;
    double Step(double x)
    {
      const double y = b0 * x + z1;
      z1 = b1 * x - a1 * y + z2;
      z2 = b2 * x - a2 * y;
      return y;
    }
  };
  double peak = 0.0;
  for (int channel = 0; channel < 2; ++channel)
  {
    std::vector<Section> sections;
    const double w0 = 2.0 * std::numbers::pi * 1000.0 / rate;
    for (int k = 0; k < 4; ++k)
    {
      const double q = 1.0 / (2.0 * std::cos(std::numbers::pi * (2 * k + 1) / 16.0));
      const double alpha = std::sin(w0) / (2.0 * q);
      const double c = std::cos(w0);
      const double a0 = 1.0 + alpha;
      sections.push_back({(1.0 + c) / 2.0 / a0, -(1.0 + c) / a0, (1.0 + c) / 2.0 / a0, -2.0 * c / a0,
                          (1.0 - alpha) / a0});
    }
    const size_t frames = interleaved.size() / 2;
    const auto from = static_cast<size_t>(kMeasureFrom * rate);
    for (size_t i = 0; i < frames; ++i)
    {
      double v = interleaved[2 * i + static_cast<size_t>(channel)];
      for (Section& s : sections)
        v = s.Step(v);
      if (i >= from)
        peak = std::max(peak, std::fabs(v));
    }
  }
  return 20.0 * std::log10(std::max(peak, 1e-20));
}

// RMS in dB of both channels over [from, to) seconds.
double LevelDb(const std::vector<double>& interleaved, int rate, double from, double to)
{
  double sum = 0.0;
  const auto first = static_cast<size_t>(from * rate) * 2;
  const auto last = std::min(static_cast<size_t>(to * rate) * 2, interleaved.size());
  for (size_t i = first; i < last; ++i)
    sum += interleaved[i] * interleaved[i];
  return 10.0 * std::log10(std::max(sum / static_cast<double>(last - first), 1e-30));
}

std::string Time(long long frame, int rate)
{
  char text[40];
  std::snprintf(text, sizeof text, "%.9f", static_cast<double>(frame) / rate);
  return text;
}

// NAME=VALUE before -> after as two points one sample apart at `frame`.
std::string Step(const std::string& name, const std::string& before, const std::string& after, long long frame,
                 int rate)
{
  return name + "=" + Time(frame - 1, rate) + ":" + before + "," + Time(frame, rate) + ":" + after;
}

struct Render
{
  std::string preset;
  std::vector<std::string> sets;
  std::vector<std::string> automations;
};

class AutomationClicks : public ::testing::Test
{
protected:
  // The output of one render of the sine at this rate.
  std::vector<double> Run(const Render& render, int rate, int block)
  {
    const std::string in = temp / ("sine" + std::to_string(rate) + ".wav");
    if (!std::filesystem::exists(in))
      WriteSine(in, rate);
    const std::string out = temp / "out.wav";
    std::vector<std::string> args = {"render", in, out, "--bundle", CALVORIN_BUNDLE_PATH, "--preset", render.preset,
                                     "--block", std::to_string(block)};
    for (const std::string& set : render.sets)
      args.insert(args.end(), {"--set", set});
    for (const std::string& automation : render.automations)
      args.insert(args.end(), {"--automate", automation});
    const ProcessResult result = calvorin::test::RunCalvorin(args, temp.Path() / "log");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    SF_INFO info;
    return ReadInterleaved(out, info);
  }

  TempDir temp;
};

} // namespace

TEST_F(AutomationClicks, StepsRampsModeAndBypassStayWithin6dBOfTheSteadyFloor)
{
  std::filesystem::create_directories(temp.Path() / "log");
  struct Case
  {
    const char* name;
    // The render with the change, and the settings before and after held still.
    Render (*automated)(int rate);
    Render before, after;
    double afterFrom = 2.5, afterTo = kSeconds; // where the change has settled into `after`
  };
  const Case cases[] = {
    {"Out Gain -12 -> +12 dB, step",
     [](int rate) { return Render{"DEFAULT", {}, {Step("Out Gain", "-12", "12", std::llround(kChangeAt * rate), rate)}}; },
     {"DEFAULT", {"Out Gain=-12"}, {}}, {"DEFAULT", {"Out Gain=12"}, {}}},
    {"Mix 100 -> 0 %, step (TORV)",
     [](int rate) { return Render{"TORV", {}, {Step("Mix", "100", "0", std::llround(kChangeAt * rate), rate)}}; },
     {"TORV", {"Mix=100"}, {}}, {"TORV", {"Mix=0"}, {}}},
    {"Depth 0 -> 100 %, step (TORV)",
     [](int rate) { return Render{"TORV", {}, {Step("Depth", "0", "100", std::llround(kChangeAt * rate), rate)}}; },
     {"TORV", {"Depth=0"}, {}}, {"TORV", {"Depth=100"}, {}}},
    {"Out Gain -12 -> +12 dB over 1 s, a point per 128",
     [](int rate) {
       const long long first = std::llround(kChangeAt * rate);
       std::string curve = "Out Gain=";
       for (long long frame = first; frame <= first + rate; frame += 128)
       {
         char value[32];
         std::snprintf(value, sizeof value, "%.6f", -12.0 + 24.0 * static_cast<double>(frame - first) / rate);
         if (frame != first)
           curve += ',';
         curve.append(Time(frame, rate)).append(":").append(value);
       }
       return Render{"DEFAULT", {}, {curve}};
     },
     {"DEFAULT", {"Out Gain=-12"}, {}}, {"DEFAULT", {"Out Gain=12"}, {}}},
    {"Mode Low LR -> SIDE (TORV)",
     [](int rate) {
       return Render{"TORV", {}, {Step("Mode Low", "LR", "SIDE", std::llround(kChangeAt * rate), rate)}};
     },
     {"TORV", {"Mode Low=LR"}, {}}, {"TORV", {"Mode Low=SIDE"}, {}}},
    {"Bypass on, then off 0.5 s later (TORV)",
     [](int rate) {
       const long long on = std::llround(kChangeAt * rate);
       const long long off = std::llround((kChangeAt + 0.5) * rate);
       return Render{"TORV",
                     {},
                     {"Bypass=" + Time(on - 1, rate) + ":off," + Time(on, rate) + ":on," + Time(off - 1, rate) +
                      ":on," + Time(off, rate) + ":off"}};
     },
     {"TORV", {}, {}}, {"TORV", {"Bypass=on"}, {}}, kChangeAt + 0.25, kChangeAt + 0.45},
  };

  std::printf("%-50s %6s %6s %10s %10s %8s\n", "change", "rate", "block", "peak dB", "floor dB", "margin");
  for (const Case& c : cases)
  {
    for (const int rate : kRates)
    {
      const std::vector<double> before = Run(c.before, rate, 1024);
      const std::vector<double> after = Run(c.after, rate, 1024);
      const double floorDb = std::max(PeakAbove1kHzDb(before, rate), PeakAbove1kHzDb(after, rate));
      for (const int block : kBlocks)
      {
        // The automated parameter starts where `before` holds it.
        Render automated = c.automated(rate);
        automated.sets.insert(automated.sets.begin(), c.before.sets.begin(), c.before.sets.end());
        const std::vector<double> out = Run(automated, rate, block);
        // The change happened: the level before it is the one before, after it the one after.
        EXPECT_NEAR(LevelDb(out, rate, kMeasureFrom, kChangeAt - 0.01), LevelDb(before, rate, kMeasureFrom, kChangeAt - 0.01),
                    0.05) << c.name;
        EXPECT_NEAR(LevelDb(out, rate, c.afterFrom, c.afterTo), LevelDb(after, rate, c.afterFrom, c.afterTo), 0.05)
          << c.name;
        const double peakDb = PeakAbove1kHzDb(out, rate);
        std::printf("%-50s %6d %6d %10.1f %10.1f %8.1f\n", c.name, rate, block, peakDb, floorDb, floorDb + kAllowedDb - peakDb);
        EXPECT_LE(peakDb, floorDb + kAllowedDb) << c.name << " at " << rate << " Hz, blocks of " << block;
      }
    }
  }
}

TEST_F(AutomationClicks, ARampGivesTheSameOutputAtAnyBlockSize)
{
  std::filesystem::create_directories(temp.Path() / "log");
  const int rate = 48000;
  std::string curve = "Out Gain=";
  for (int k = 0; k <= rate / 128; ++k)
  {
    char value[32];
    std::snprintf(value, sizeof value, "%.6f", -12.0 + 24.0 * k * 128.0 / rate);
    if (k > 0)
      curve += ',';
    curve.append(Time(std::llround(kChangeAt * rate) + 128 * k, rate)).append(":").append(value);
  }
  const Render render{"TORV", {}, {curve}};
  const std::vector<double> small = Run(render, rate, 32);
  const std::vector<double> large = Run(render, rate, 4096);
  ASSERT_EQ(small.size(), large.size());
  double peak = 0.0, difference = 0.0;
  for (size_t i = 0; i < small.size(); ++i)
  {
    peak = std::max(peak, std::fabs(large[i]));
    difference = std::max(difference, std::fabs(small[i] - large[i]));
  }
  std::printf("ramp at blocks of 32 and 4096: largest difference %.3g of a peak of %.3g (%.3g relative)\n", difference,
              peak, difference / peak);
  EXPECT_LE(difference, 1e-9 * peak);
}
