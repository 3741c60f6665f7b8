// The bundle's DSP object loaded as a host loads it (dlopen, lv2_descriptor):
// blocks of 1, 7 and 4096 frames, sizes that change from call to call, runs
// of 0 frames and in-place buffers all give the audio of one long block with
// separate buffers; the latency and level ports report; a control port that
// jumps between two run calls glides.

#include <gtest/gtest.h>
#include <lv2/core/lv2.h>

#include <dlfcn.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace
{

const std::string kDspObject = std::string(CALVORIN_BINARY_DIR) + "/lv2-bundles/Calvorin.lv2/Calvorin.so";
constexpr int kFirstControl = 4;
constexpr int kNumParams = 26;
constexpr int kEnabled = kFirstControl + kNumParams;
constexpr int kLatency = kEnabled + 1;
constexpr int kFirstLevel = kLatency + 1;
constexpr int kNumPorts = kFirstLevel + 8;
constexpr double kRate = 48000.0;

class Lv2RunTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mLibrary = dlopen(kDspObject.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(mLibrary, nullptr) << dlerror();
    auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(mLibrary, "lv2_descriptor"));
    ASSERT_NE(entry, nullptr);
    mDescriptor = entry(0);
    ASSERT_NE(mDescriptor, nullptr);
    EXPECT_EQ(entry(1), nullptr);
    EXPECT_STREQ(mDescriptor->URI, "urn:fenmarch:calvorin");

    const int frames = static_cast<int>(kRate);
    for (auto& channel : mInput)
      channel.resize(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
    {
      const double t = i / kRate;
      const double level = (i / 6000) % 2 ? 0.02 : 0.7;
      mInput[0][static_cast<size_t>(i)] = static_cast<float>(level * std::sin(2 * M_PI * 80 * t));
      mInput[1][static_cast<size_t>(i)] = static_cast<float>(level * std::sin(2 * M_PI * 3000 * t + 0.3));
    }
  }
  void TearDown() override
  {
    if (mLibrary)
      dlclose(mLibrary);
  }

  using PortChange = std::function<void(std::array<float, kNumPorts>& controls, size_t framesDone)>;

  // Renders the input in blocks of the sizes given (repeated), in place or
  // not; change, if given, sets ports before each run call.
  std::array<std::vector<float>, 2> Render(const std::vector<int>& blockSizes, bool inPlace,
                                           const PortChange& change = {})
  {
    std::array<std::vector<float>, 2> out;
    LV2_Handle h = mDescriptor->instantiate(mDescriptor, kRate, "", nullptr);
    EXPECT_NE(h, nullptr);
    if (!h)
      return out;
    std::array<float, kNumPorts> controls{};
    // Defaults, then a few settings that make every stage work.
    const float defaults[kNumParams] = {0, 0, 0, 0, 0, 0, -40, -40, -40, -30, -30, -30, 100,
                                        100, 100, 0, 0, 0, 0, 0, 0, 100, 50, 100, 0, 0};
    for (int i = 0; i < kNumParams; ++i)
      controls[static_cast<size_t>(kFirstControl + i)] = defaults[i];
    controls[kFirstControl + 1] = 6.f;   // Pre-gain Mid, dB
    controls[kFirstControl + 15] = 40.f; // Excite Low, %
    controls[kFirstControl + 20] = 2.f;  // Mode High: SIDE
    controls[kEnabled] = 1.f;
    controls[kLatency] = -1.f;
    for (int p = kFirstControl; p < kNumPorts; ++p)
      mDescriptor->connect_port(h, static_cast<uint32_t>(p), &controls[static_cast<size_t>(p)]);
    mDescriptor->activate(h);

    std::array<std::vector<float>, 2> in = mInput;
    for (int c = 0; c < 2; ++c)
      out[c].assign(in[c].size(), 0.f);
    const size_t total = in[0].size();
    size_t done = 0;
    for (size_t call = 0; done < total; ++call)
    {
      const size_t n = std::min<size_t>(static_cast<size_t>(blockSizes[call % blockSizes.size()]), total - done);
      for (int c = 0; c < 2; ++c)
      {
        float* input = in[c].data() + done;
        float* output = out[c].data() + done;
        if (inPlace)
        {
          std::copy_n(input, n, output);
          input = output;
        }
        mDescriptor->connect_port(h, static_cast<uint32_t>(c), input);
        mDescriptor->connect_port(h, static_cast<uint32_t>(2 + c), output);
      }
      if (change)
        change(controls, done);
      mDescriptor->run(h, static_cast<uint32_t>(n));
      done += n;
    }
    EXPECT_EQ(controls[kLatency], 0.f);
    EXPECT_GT(controls[kFirstLevel + 6], 0.f) << "the output level port moves";
    mDescriptor->deactivate(h);
    mDescriptor->cleanup(h);
    return out;
  }

  void* mLibrary = nullptr;
  const LV2_Descriptor* mDescriptor = nullptr;
  std::array<std::vector<float>, 2> mInput;
};

TEST_F(Lv2RunTest, BlockSizesAndInPlaceBuffersGiveTheAudioOfOneLongBlock)
{
  const auto reference = Render({static_cast<int>(kRate)}, false);
  ASSERT_EQ(reference[0].size(), mInput[0].size());
  double energy = 0.0;
  for (float s : reference[0])
    energy += static_cast<double>(s) * s;
  EXPECT_GT(energy, 1.0);

  const std::vector<std::vector<int>> schedules = {{1}, {7}, {4096}, {1, 0, 7, 4096, 13, 0, 5000, 64}};
  for (const auto& schedule : schedules)
    for (const bool inPlace : {false, true})
    {
      const auto out = Render(schedule, inPlace);
      EXPECT_EQ(out[0], reference[0]) << "first block " << schedule[0] << (inPlace ? ", in place" : "");
      EXPECT_EQ(out[1], reference[1]) << "first block " << schedule[0] << (inPlace ? ", in place" : "");
    }
}

// Out Gain works after the detectors: a render whose Out Gain port jumps from
// 0 to -20 dB between two run calls is the steady render times a factor that
// leaves 1 smoothly and reaches 0.1 once the glide (20 ms) is over.
TEST_F(Lv2RunTest, AControlPortThatJumpsBetweenRunCallsGlides)
{
  constexpr size_t kJump = 12000; // the start of a loud burst
  const auto steady = Render({static_cast<int>(kJump)}, false);
  const auto jumped = Render({static_cast<int>(kJump)}, false, [](auto& controls, size_t done) {
    controls[kFirstControl + 24] = done >= kJump ? -20.f : 0.f;
  });
  const auto factor = [&](size_t frame) { return jumped[0][frame] / steady[0][frame]; };
  const auto loud = [&](size_t frame) { return std::fabs(steady[0][frame]) > 0.05f; };
  const auto loudFrom = [&](size_t frame) {
    while (!loud(frame))
      ++frame;
    return frame;
  };
  const size_t start = loudFrom(kJump);
  EXPECT_NEAR(factor(start), 1.0, 0.01) << "at frame " << start - kJump << " of the glide";
  const size_t halfway = loudFrom(kJump + 480);
  EXPECT_TRUE(factor(halfway) > 0.2 && factor(halfway) < 0.9) << "at frame " << halfway - kJump << ": " << factor(halfway);
  for (size_t frame = kJump + 1000; frame < kJump + 5000; ++frame)
  {
    if (!loud(frame))
      continue;
    ASSERT_NEAR(factor(frame), 0.1, 1e-4) << "after the glide, frame " << frame - kJump;
  }
}

TEST_F(Lv2RunTest, RefusesRatesTheEngineCannotRun)
{
  EXPECT_EQ(mDescriptor->instantiate(mDescriptor, 0.0, "", nullptr), nullptr);
  EXPECT_EQ(mDescriptor->instantiate(mDescriptor, NAN, "", nullptr), nullptr);
  for (const double rate : {22050.0, 44100.0, 192000.0})
  {
    LV2_Handle h = mDescriptor->instantiate(mDescriptor, rate, "", nullptr);
    EXPECT_NE(h, nullptr) << rate;
    if (h)
      mDescriptor->cleanup(h);
  }
}

} // namespace
