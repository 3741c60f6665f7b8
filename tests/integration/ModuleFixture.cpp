#include "ModuleFixture.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <random>

namespace calvorin_test
{

std::string BundlePath()
{
  // A packaged bundle (unpacked somewhere) may stand in for the build tree's.
  if (const char* other = std::getenv("CALVORIN_TEST_BUNDLE"); other && *other)
    return other;
  return CALVORIN_BUNDLE_PATH;
}

bool BundleBuilt()
{
  return std::filesystem::exists(vst3host::LibraryPathForBundle(BundlePath()));
}

void ModuleTest::SetUp()
{
  if (!BundleBuilt())
    GTEST_SKIP() << "the bundle is not built yet: " << BundlePath();
  std::string error;
  module = vst3host::Module::Load(BundlePath(), error);
  ASSERT_TRUE(module) << error;
  ASSERT_TRUE(module->FindClass(vst3::kVstAudioEffectClass, cls));
  host = vst3host::MakeCom<vst3host::HostApplication>("Calvorin Test Host");
  handler = vst3host::MakeCom<vst3host::ComponentHandler>();
  plugin = NewInstance();
  ASSERT_TRUE(plugin);
}

void ModuleTest::TearDown()
{
  plugin.reset();
  module.reset();
}

std::unique_ptr<vst3host::PluginInstance> ModuleTest::NewInstance()
{
  std::string error;
  auto p = vst3host::PluginInstance::Create(*module, cls, static_cast<vst3::IHostApplication*>(host.Get()), error);
  EXPECT_TRUE(p) << error;
  if (p)
  {
    p->SetComponentHandler(handler.Get());
    auto path = vst3host::QueryInterface<iplug::IEnginePath>(p->Component());
    EXPECT_TRUE(path && path->setEnginePath(enginePath) == vst3::kResultOk) << "engine path " << enginePath;
  }
  return p;
}

std::string EnginePathName(const ::testing::TestParamInfo<vst3::int32>& info)
{
  return info.param == iplug::IEnginePath::kScalar ? "Scalar" : "Vector";
}

std::vector<std::vector<double>> Sine(double frequency, double amplitude, double sampleRate, std::size_t n,
                                      int channels)
{
  std::vector<std::vector<double>> x(static_cast<std::size_t>(channels), std::vector<double>(n));
  const double w = 2.0 * std::numbers::pi * frequency / sampleRate;
  for (std::size_t i = 0; i < n; ++i)
    for (auto& ch : x)
      ch[i] = amplitude * std::sin(w * static_cast<double>(i));
  return x;
}

std::vector<std::vector<double>> Noise(double amplitude, std::size_t n, int channels, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-amplitude, amplitude);
  std::vector<std::vector<double>> x(static_cast<std::size_t>(channels), std::vector<double>(n));
  for (auto& ch : x)
    for (double& v : ch)
      v = u(rng);
  return x;
}

double Rms(const std::vector<double>& x, std::size_t from)
{
  double sum = 0.0;
  std::size_t n = 0;
  for (std::size_t i = from; i < x.size(); ++i, ++n)
    sum += x[i] * x[i];
  return n ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

bool AllFinite(const std::vector<std::vector<double>>& x)
{
  for (const auto& ch : x)
    for (double v : ch)
      if (!std::isfinite(v))
        return false;
  return true;
}

} // namespace calvorin_test
