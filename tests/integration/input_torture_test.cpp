// Whatever a host feeds in, no non-finite sample comes out of the module:
// bursts of NaN, infinities and absurdly large values at random places and
// lengths, in both sample sizes, every factory preset and extreme settings.

#include "ModuleFixture.h"

#include "vst3/host/MemoryStream.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace calvorin_test;
using namespace vst3host;

namespace
{

constexpr double kRate = 48000.0;
constexpr vst3::int32 kBlock = 512;
constexpr std::size_t kBurstArea = 9600; // every burst lies in the first 0.2 s
constexpr std::size_t kRecovered = kBurstArea + 48000; // one second after the last burst
constexpr std::size_t kFrames = kRecovered + 4800;
constexpr vst3::ProgramListID kFactoryPresets = 65537;

struct Setting
{
  std::string name;
  int preset;                                             // factory preset recalled first
  std::vector<std::pair<vst3::ParamID, double>> changes; // then these normalised values
};

std::vector<Setting> Settings()
{
  std::vector<Setting> settings = {{"DEFAULT", 0, {}},
                                   {"TORV", 1, {}},
                                   {"UP A LOT", 2, {}},
                                   {"TORV, Excite 100 % on all bands", 1, {{15, 1.0}, {16, 1.0}, {17, 1.0}}},
                                   {"every parameter at its maximum", 0, {}},
                                   {"parameters at random ends of their ranges", 0, {}}};
  std::mt19937 rng(16);
  for (vst3::ParamID id = 0; id < kPluginBypassId; ++id)
  {
    settings[4].changes.push_back({id, 1.0});
    settings[5].changes.push_back({id, static_cast<double>(rng() % 2)});
  }
  return settings;
}

// A burst: samples [start, start + length) of the left, right or both channels.
struct Burst
{
  std::size_t start, length;
  bool left, right;
  double value;
};

// Two bursts of every kind at random places and lengths; "huge" is the
// largest magnitude the sample size holds without becoming infinite.
std::vector<Burst> RandomBursts(double huge, unsigned seed)
{
  const double inf = std::numeric_limits<double>::infinity();
  std::mt19937 rng(seed);
  std::vector<Burst> bursts;
  for (double value : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, huge, -huge})
    for (int i = 0; i < 2; ++i)
    {
      const std::size_t length = 1 + rng() % 1500;
      const unsigned channels = 1 + rng() % 3;
      bursts.push_back({rng() % (kBurstArea - length), length, (channels & 1) != 0, (channels & 2) != 0, value});
    }
  return bursts;
}

std::vector<std::vector<double>> WithBursts(std::vector<std::vector<double>> x, const std::vector<Burst>& bursts,
                                            bool zeros)
{
  for (const Burst& b : bursts)
    for (std::size_t i = b.start; i < b.start + b.length; ++i)
    {
      if (b.left)
        x[0][i] = zeros ? 0.0 : b.value;
      if (b.right)
        x[1][i] = zeros ? 0.0 : b.value;
    }
  return x;
}

bool BitIdentical(const std::vector<std::vector<double>>& a, const std::vector<std::vector<double>>& b)
{
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
           return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) == 0;
         });
}

class ModuleInputTorture : public ModuleTestOnEnginePaths
{
protected:
  // The signal through a fresh instance with the setting, host bypass as given.
  std::vector<std::vector<double>> Render(const Setting& setting, vst3::int32 sampleSize, bool bypassed,
                                          const std::vector<std::vector<double>>& in)
  {
    auto fx = NewInstance();
    auto programs = QueryInterface<vst3::IProgramListData>(fx->Component());
    auto stream = MakeCom<MemoryStream>();
    EXPECT_TRUE(programs && programs->getProgramData(kFactoryPresets, setting.preset, stream.Get()) == vst3::kResultOk);
    EXPECT_EQ(fx->SetState(stream->Bytes()), vst3::kResultOk);
    ProcessingSession s(fx->Component(), fx->Processor());
    EXPECT_EQ(s.Setup({kRate, kBlock, sampleSize, vst3::kRealtime}), vst3::kResultOk);
    EXPECT_EQ(s.Start(), vst3::kResultOk);
    for (const auto& [id, value] : setting.changes)
      s.InputChanges().AddPoint(id, 0, value);
    s.InputChanges().AddPoint(kHostBypassId, 0, bypassed ? 1.0 : 0.0);
    std::vector<std::vector<double>> out;
    EXPECT_EQ(s.Run(in, out, kBlock), vst3::kResultOk);
    return out;
  }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(EnginePaths, ModuleInputTorture,
                         ::testing::Values(iplug::IEnginePath::kScalar, iplug::IEnginePath::kVector), EnginePathName);

// NaN and infinities are processed as silence, and so are finite samples too
// large to be audio: the output equals, sample for sample, that of the same
// input with zeros in their place, and one second after the last burst it is
// back within 1e-6 of the run that had no burst at all. Host bypass returns
// what the host sent, bit for bit.
TEST_P(ModuleInputTorture, BurstsOfNonFiniteAndHugeSamplesComeOutAsSilenceWouldInEverySetting)
{
  const auto clean = Noise(0.5, kFrames, 2, 3);
  unsigned seed = 1;
  for (const vst3::int32 sampleSize : {vst3::kSample32, vst3::kSample64})
  {
    const double huge = sampleSize == vst3::kSample32 ? FLT_MAX : 1e300;
    for (const Setting& setting : Settings())
    {
      SCOPED_TRACE(setting.name + (sampleSize == vst3::kSample32 ? ", 32-bit" : ", 64-bit"));
      const std::vector<Burst> bursts = RandomBursts(huge, seed++);
      const auto burstOut = Render(setting, sampleSize, false, WithBursts(clean, bursts, false));
      const auto zeroOut = Render(setting, sampleSize, false, WithBursts(clean, bursts, true));
      const auto cleanOut = Render(setting, sampleSize, false, clean);
      ASSERT_EQ(burstOut.size(), 2u);
      EXPECT_TRUE(AllFinite(burstOut));
      EXPECT_TRUE(BitIdentical(burstOut, zeroOut));
      // Relative above full scale, where a 32-bit sample's own step exceeds 1e-6.
      double difference = 0.0;
      for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = kRecovered; i < kFrames; ++i)
          difference = std::max(difference, std::fabs(burstOut[c][i] - cleanOut[c][i]) /
                                                std::max(1.0, std::fabs(cleanOut[c][i])));
      EXPECT_LE(difference, 1e-6) << "one second after the bursts";
    }
    // Bypassed, the host's own samples come back, whatever they are.
    auto in = WithBursts(clean, RandomBursts(huge, seed++), false);
    if (sampleSize == vst3::kSample32)
      for (auto& ch : in)
        for (double& v : ch)
          v = static_cast<float>(v);
    EXPECT_TRUE(BitIdentical(Render(Settings()[1], sampleSize, true, in), in));
  }
}
