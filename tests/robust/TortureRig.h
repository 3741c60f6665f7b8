#pragma once

// Drives the plug-in the way the VST 3 processor does (rate, block size,
// reset, then host buffers through the frame) and checks what leaves it.

#include "plugin/TORV.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace torture
{

// Stereo signal, [channel][sample].
using Stereo = std::vector<std::vector<double>>;

inline Stereo MakeStereo(size_t frames) { return Stereo(2, std::vector<double>(frames, 0.0)); }

// Deterministic white noise in -1..1.
class Noise
{
public:
  explicit Noise(uint32_t seed = 0x1234567u)
    : mState(seed)
  {
  }
  double Next()
  {
    mState = mState * 1664525u + 1013904223u;
    return static_cast<double>(mState >> 8) / 8388608.0 - 1.0;
  }

private:
  uint32_t mState;
};

class Rig
{
public:
  explicit Rig(iplug::EnginePath path = iplug::EnginePath::Vector)
    : mPlug(std::make_unique<TORV>())
  {
    mPlug->SetEnginePath(path);
    mPlug->NotifyAllParams(iplug::ParamSource::Reset);
  }

  TORV& Plug() { return *mPlug; }

  void Prepare(double sampleRate, int maxBlock)
  {
    mPlug->SetSampleRate(sampleRate);
    mPlug->ResizeScratchBuffers(maxBlock);
    mPlug->OnReset();
  }

  // One host call of n frames from position pos of in into out.
  void ProcessAt(const Stereo& in, Stereo& out, size_t pos, int n)
  {
    double* ins[2] = {const_cast<double*>(in[0].data()) + pos, const_cast<double*>(in[1].data()) + pos};
    double* outs[2] = {out[0].data() + pos, out[1].data() + pos};
    mPlug->ProcessHostChannels(ins, 2, outs, 2, n);
  }

  // The whole signal in host calls of blockSize frames.
  Stereo Run(const Stereo& in, int blockSize)
  {
    Stereo out = MakeStereo(in[0].size());
    for (size_t pos = 0; pos < in[0].size(); pos += static_cast<size_t>(blockSize))
      ProcessAt(in, out, pos, static_cast<int>(std::min<size_t>(static_cast<size_t>(blockSize), in[0].size() - pos)));
    return out;
  }

  bool LoadPresetNamed(const std::string& name)
  {
    for (int i = 0; i < mPlug->NPresets(); ++i)
      if (name == mPlug->GetPresetName(i))
        return mPlug->LoadPreset(i);
    return false;
  }

private:
  std::unique_ptr<TORV> mPlug;
};

// What a host would notice about a stretch of output.
struct OutputReport
{
  size_t nonFinite = 0;
  size_t subnormal = 0;
  double peak = 0.0;
  size_t firstBad = SIZE_MAX;

  bool Clean(double bound) const { return nonFinite == 0 && subnormal == 0 && peak <= bound; }
};

inline OutputReport Inspect(const Stereo& out, size_t from = 0, size_t to = SIZE_MAX)
{
  OutputReport r;
  for (const auto& ch : out)
  {
    const size_t end = std::min(to, ch.size());
    for (size_t i = from; i < end; ++i)
    {
      const double v = ch[i];
      const bool bad = !std::isfinite(v) || (v != 0.0 && std::fabs(v) < DBL_MIN);
      if (!std::isfinite(v))
        ++r.nonFinite;
      else if (v != 0.0 && std::fabs(v) < DBL_MIN)
        ++r.subnormal;
      else
        r.peak = std::max(r.peak, std::fabs(v));
      if (bad)
        r.firstBad = std::min(r.firstBad, i);
    }
  }
  return r;
}

} // namespace torture
