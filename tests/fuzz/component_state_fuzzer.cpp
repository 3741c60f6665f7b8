// Restoring component state from arbitrary bytes through the real module, the
// way a host loads a project: setState on the component, then the same bytes
// to the controller. Never a crash; afterwards every parameter is normalised,
// getState returns the documented 212 bytes, and a processed block is finite.

#include "tests/fuzz/ModuleRig.h"
#include "vst3/host/ProcessingSession.h"

#include <cmath>
#include <vector>

namespace
{

constexpr int kStateSize = 212;
constexpr int kBlock = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  auto instance = fuzzrig::NewInstance();
  const std::vector<uint8_t> bytes(data, data + size);
  instance->SetState(bytes);

  std::vector<uint8_t> saved;
  FUZZ_CHECK(instance->GetState(saved) == vst3::kResultOk);
  FUZZ_CHECK(static_cast<int>(saved.size()) == kStateSize);
  for (vst3::ParamID id = 0; id < 26; ++id)
  {
    const double norm = instance->Controller()->getParamNormalized(id);
    FUZZ_CHECK(norm >= 0.0 && norm <= 1.0);
  }

  vst3host::ProcessingSession session(instance->Component(), instance->Processor());
  vst3host::ProcessConfig config;
  config.maxSamplesPerBlock = kBlock;
  config.symbolicSampleSize = size % 2 ? vst3::kSample64 : vst3::kSample32;
  FUZZ_CHECK(session.Setup(config) == vst3::kResultOk);
  FUZZ_CHECK(session.Start() == vst3::kResultOk);
  double in[kBlock], out[kBlock];
  unsigned seed = 12345;
  for (double& v : in)
  {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
  }
  session.SetInput(0, 0, in, kBlock);
  session.SetInput(0, 1, in, kBlock);
  FUZZ_CHECK(session.Process(kBlock) == vst3::kResultOk);
  for (int ch = 0; ch < 2; ++ch)
  {
    session.GetOutput(0, ch, out, kBlock);
    for (double v : out)
      FUZZ_CHECK(std::isfinite(v));
  }
  session.Stop();
  return 0;
}
