#pragma once

// Loads the built bundle through our host code, as a host would, for the
// tests that drive the real module. Tests skip while the bundle is not built.

#include "vst3/host/ComponentHandler.h"
#include "vst3/host/HostApplication.h"
#include "vst3/host/Module.h"
#include "vst3/host/PluginInstance.h"
#include "vst3/host/ProcessingSession.h"
#include "vst3/IEnginePath.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace calvorin_test
{

// Build-tree path of Calvorin.vst3.
std::string BundlePath();
bool BundleBuilt();

// The plug-in's class ID as four words, and its fixed text form.
constexpr vst3::uint32 kClassWords[4] = {0xF2AEE70D, 0x00DE4F4E, 0x466D6368, 0x5241764B};
constexpr const char* kClassIdText = "F2AEE70D00DE4F4E466D63685241764B";

constexpr vst3::ParamID kHostBypassId = 65536;
constexpr vst3::ParamID kDepthId = 22;
constexpr vst3::ParamID kMixId = 23;
constexpr vst3::ParamID kPluginBypassId = 25;

// Module loaded, class found and one instance created and initialized with a
// host context and a recording component handler.
class ModuleTest : public ::testing::Test
{
protected:
  void SetUp() override;
  void TearDown() override;

  // A further instance of the same class (the host context and handler are
  // shared), on enginePath.
  std::unique_ptr<vst3host::PluginInstance> NewInstance();

  // The engine path of the instances made from here on (IEnginePath), before
  // SetUp for the first one.
  vst3::int32 enginePath = iplug::IEnginePath::kVector;

  std::unique_ptr<vst3host::Module> module;
  vst3host::ClassInfo cls;
  vst3host::ComPtr<vst3host::HostApplication> host;
  vst3host::ComPtr<vst3host::ComponentHandler> handler;
  std::unique_ptr<vst3host::PluginInstance> plugin;
};

// A module suite run once per engine path: IEnginePath's kScalar and kVector.
class ModuleTestOnEnginePaths : public ModuleTest, public ::testing::WithParamInterface<vst3::int32>
{
protected:
  void SetUp() override
  {
    enginePath = GetParam();
    ModuleTest::SetUp();
  }
};

std::string EnginePathName(const ::testing::TestParamInfo<vst3::int32>& info);

// Deterministic test signals, [channel][sample].
std::vector<std::vector<double>> Sine(double frequency, double amplitude, double sampleRate, std::size_t n,
                                      int channels = 2);
std::vector<std::vector<double>> Noise(double amplitude, std::size_t n, int channels = 2, unsigned seed = 1);

double Rms(const std::vector<double>& x, std::size_t from = 0);
bool AllFinite(const std::vector<std::vector<double>>& x);

} // namespace calvorin_test
