#pragma once

// The per-sample arithmetic of the processing chain in lanes. Every step
// keeps the scalar chain's operations and their order (built with contraction
// off), so filters, mixing and gains match it bit for bit; only exp, log and
// tanh differ, by their few-ulp error. Included by one file per instruction set.

#include "dsp/simd/LaneChainData.h"
#include "dsp/simd/VectorMath.h"

namespace iplug::simd
{

constexpr double kLaneDbPerNeper = 8.685889638065037; // as the scalar chain
constexpr double kLaneNeperPerDb = 0.1151292546497;
constexpr double kLanePullFloorDb = -256.0;

// Direct Form II, bracketed as the scalar section.
CALVORIN_LANE_INLINE D4 LaneSection(const LaneSectionCoefficients& c, LaneSectionState& s, D4 u)
{
  const D4 w = (u - c.a1 * s.v1) - c.a2 * s.v2;
  const D4 y = (c.b0 * w + c.b1 * s.v1) + c.b2 * s.v2;
  s.v2 = s.v1;
  s.v1 = w;
  return y;
}

// Six first-order all-pass sections per path, all four lanes at once.
CALVORIN_LANE_INLINE D4 LaneHalfband(const D4* k, LaneHalfbandState& s, D4 v)
{
  for (int section = 0; section < kLaneHalfbandSections; ++section)
  {
    const D4 y = (v - s.outputs[section]) * k[section] + s.inputs[section];
    s.inputs[section] = v;
    s.outputs[section] = y;
    v = y;
  }
  return v;
}

// Applies gain g per band in that band's mode, in the lanes where `apply` is set.
CALVORIN_LANE_INLINE void LaneApplyGain(const LaneChainSettings& c, I4 apply, D4 g, D4& l, D4& r)
{
  const D4 half = Splat(0.5);
  const D4 m = (l + r) * half;
  const D4 s = (l - r) * half;
  const D4 mg = m * g;
  const D4 sg = s * g;
  const D4 newL = Select(c.modeMid, mg + s, Select(c.modeSide, m + sg, l * g));
  const D4 newR = Select(c.modeMid, mg - s, Select(c.modeSide, m - sg, r * g));
  l = Select(apply, newL, l);
  r = Select(apply, newR, r);
}

CALVORIN_LANE_INLINE void LaneDynamics(const LaneChainSettings& c, LaneChainState& st, D4& l, D4& r)
{
  const D4 one = Splat(1.0);
  l = l * c.preGain;
  r = r * c.preGain;
  D4 e = MaxIgnoringNaN4(Abs(l), Abs(r));

  D4 a = Select(Mask(e > st.pullEnvelope), c.attack, c.release);
  st.pullEnvelope = (one - a) * e + st.pullEnvelope * a;
  const D4 pullLevel = Log(Abs(st.pullEnvelope)) * Splat(kLaneDbPerNeper);
  const I4 pull = Mask((c.pullThresholdDb > pullLevel) & (pullLevel > Splat(kLanePullFloorDb)));
  D4 g = Exp(c.pullFactor * (c.pullThresholdDb - pullLevel) * Splat(kLaneNeperPerDb));
  g = Select(Mask(g < Splat(0.0)), Splat(0.0), g);
  LaneApplyGain(c, pull, g, l, r);
  e = Select(pull, e * g, e); // the push detector sees the level after the pull gain

  a = Select(Mask(e > st.pushEnvelope), c.attack, c.release);
  st.pushEnvelope = (one - a) * e + st.pushEnvelope * a;
  const D4 pushLevel = Log(Abs(st.pushEnvelope)) * Splat(kLaneDbPerNeper);
  const I4 push = Mask(pushLevel > c.pushThresholdDb);
  g = Exp(c.pushFactor * (c.pushThresholdDb - pushLevel) * Splat(kLaneNeperPerDb));
  g = Select(Mask(g < Splat(0.0)), Splat(0.0), g);
  g = Select(Mask(g > one), one, g);
  LaneApplyGain(c, push, g, l, r);

  const D4 m = (l + r) * Splat(0.5);
  const D4 s = ((l - r) * Splat(0.5)) * c.width;
  l = (s + m) * c.postGain;
  r = (m - s) * c.postGain;
}

// Drive, tanh at twice the rate, trim, for one band of l and r (band lanes).
CALVORIN_LANE_INLINE void LaneExcite(const LaneChainSettings& c, LaneChainState& st, int band, D4& l, D4& r)
{
  const double dl = c.drive[band] * l[band];
  const double dr = c.drive[band] * r[band];
  const D4 up = LaneHalfband(c.halfband, st.upsampler[band], D4{dl, dr, dl, dr});
  const D4 w = Tanh(up) * Splat(c.trim[band]);
  // Path A of the downsampler takes path B's shaped value and vice versa.
  const D4 down = LaneHalfband(c.halfband, st.downsampler[band], D4{w[2], w[3], w[0], w[1]});
  l[band] = (down[0] + down[2]) * 0.5;
  r[band] = (down[1] + down[3]) * 0.5;
}

CALVORIN_LANE_INLINE void RunLaneChain(LaneChainState& st, const LaneChainSettings& c, const double* inL,
                                       const double* inR, double* outL, double* outR, float* meterLevels,
                                       int nFrames)
{
  const D4 mix = Splat(c.mix);
  for (int i = 0; i < nFrames; ++i)
  {
    const double xL = inL[i];
    const double xR = inR[i];

    const D4 a = LaneSection(c.crossoverA[1], st.crossoverA[1],
                             LaneSection(c.crossoverA[0], st.crossoverA[0], D4{xL, xR, xL, xR}));
    const D4 b = LaneSection(c.crossoverB[1], st.crossoverB[1],
                             LaneSection(c.crossoverB[0], st.crossoverB[0], D4{xL, xR, a[2], a[3]}));
    const D4 dryL{a[0], b[2], b[0], 0.0};
    const D4 dryR{a[1], b[3], b[1], 0.0};

    D4 l = dryL;
    D4 r = dryR;
    for (int band = 0; band < kLaneBands; ++band)
    {
      if (c.excite[band])
        LaneExcite(c, st, band, l, r);
    }
    LaneDynamics(c, st, l, r);
    l = (l - dryL) * mix + dryL;
    r = (r - dryR) * mix + dryR;

    double yL = xL;
    double yR = xR;
    if (!c.bypassed)
    {
      yL = ((l[2] + l[1]) + l[0]) * c.outGain;
      yR = ((r[2] + r[1]) + r[0]) * c.outGain;
    }
    outL[i] = yL;
    outR[i] = yR;

    if (meterLevels)
    {
      const D4 first = MaxIgnoringNaN4(Abs(l), Abs(r));
      const D4 second = MaxIgnoringNaN4(Abs(dryL), Abs(dryR));
      const D4 outer = MaxIgnoringNaN4(Abs(D4{yL, xL, 0.0, 0.0}), Abs(D4{yR, xR, 0.0, 0.0}));
      float* m = meterLevels + static_cast<long>(i) * kLaneMeterValuesPerFrame;
      m[0] = static_cast<float>(first[0]);
      m[1] = static_cast<float>(first[1]);
      m[2] = static_cast<float>(first[2]);
      m[3] = static_cast<float>(outer[0]);
      m[4] = static_cast<float>(second[0]);
      m[5] = static_cast<float>(second[1]);
      m[6] = static_cast<float>(second[2]);
      m[7] = static_cast<float>(outer[1]);
    }
  }
}

// Applies a lane function to an array, four elements at a time.
template <D4 (*Function)(D4)>
CALVORIN_LANE_INLINE void LaneApply(const double* x, double* y, int n)
{
  for (int i = 0; i < n; i += 4)
  {
    D4 v = Splat(0.0);
    for (int j = 0; j < 4 && i + j < n; ++j)
      v[j] = x[i + j];
    const D4 r = Function(v);
    for (int j = 0; j < 4 && i + j < n; ++j)
      y[i + j] = r[j];
  }
}

} // namespace iplug::simd
