// Restoring a state chunk from arbitrary bytes: no crash, every parameter in
// range afterwards, a chunk of the documented size when saved again, and a
// processed block that stays finite.

#include "plugin/TORV.h"
#include "tests/fuzz/FuzzCheck.h"

#include <array>
#include <cmath>

namespace
{

constexpr int kBlock = 64;

TORV& Plugin()
{
  static TORV* plug = [] {
    auto* p = new TORV();
    p->SetSampleRate(48000.0);
    p->ResizeScratchBuffers(kBlock);
    return p;
  }();
  return *plug;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  TORV& plug = Plugin();
  plug.OnReset();

  iplug::StateBlob chunk;
  chunk.AppendBytes(data, static_cast<int>(size));
  const int end = plug.UnserializeParams(chunk, 0);
  const int expected = 8 * plug.NParams();
  FUZZ_CHECK(end == (static_cast<int>(size) >= expected ? expected : -1));

  for (int i = 0; i < plug.NParams(); ++i)
  {
    const iplug::IParam& param = *plug.GetParam(i);
    const double v = param.GetValue();
    FUZZ_CHECK(std::isfinite(v) && v >= param.GetMin() && v <= param.GetMax());
  }

  iplug::StateBlob saved;
  FUZZ_CHECK(plug.SerializeParams(saved));
  FUZZ_CHECK(saved.Size() == expected);

  std::array<double, kBlock> inL, inR, outL, outR;
  unsigned seed = 12345;
  for (int s = 0; s < kBlock; ++s)
  {
    seed = seed * 1664525u + 1013904223u;
    inL[s] = (static_cast<double>(seed >> 8) / 8388608.0 - 1.0);
    inR[s] = -inL[s] * 0.5;
  }
  double* ins[2] = {inL.data(), inR.data()};
  double* outs[2] = {outL.data(), outR.data()};
  plug.ProcessHostChannels(ins, 2, outs, 2, kBlock);
  for (int s = 0; s < kBlock; ++s)
    FUZZ_CHECK(std::isfinite(outL[s]) && std::isfinite(outR[s]));
  return 0;
}
