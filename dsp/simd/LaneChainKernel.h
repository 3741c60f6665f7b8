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

// Frames per pass. The chain runs as a series of passes over up to this many
// frames: the crossovers, each band's excite, the pull detector, the pull
// gain, the push detector, the push gain and output. Only the detectors'
// envelopes and the filters carry from frame to frame, so the exp, log and
// tanh work of consecutive frames is independent and overlaps in the
// processor instead of queueing behind one another.
constexpr int kLaneChunk = 32;

// Direct Form II, bracketed as the scalar section.
CALVORIN_LANE_INLINE D4 LaneSection(const LaneSectionCoefficients& c, LaneSectionState& s, D4 u)
{
  const D4 w = (u - c.a1 * s.v1) - c.a2 * s.v2;
  const D4 y = (c.b0 * w + c.b1 * s.v1) + c.b2 * s.v2;
  s.v2 = s.v1;
  Store(s.v1, w);
  return y;
}

// Six first-order all-pass sections per path, all four lanes at once.
CALVORIN_LANE_INLINE D4 LaneHalfband(const LaneDoubles* k, LaneHalfbandState& s, D4 v)
{
  for (int section = 0; section < kLaneHalfbandSections; ++section)
  {
    const D4 y = (v - s.outputs[section]) * k[section] + s.inputs[section];
    Store(s.inputs[section], v);
    Store(s.outputs[section], y);
    v = y;
  }
  return v;
}

// One channel after gain g in each band's mode (LaneGainMix).
CALVORIN_LANE_INLINE D4 LaneGainMixed(const LaneGainMix& k, D4 g, D4 l, D4 r)
{
  return (k.scaledL * l + k.scaledR * r) * g + (k.keptL * l + k.keptR * r);
}

// Applies gain g per band in that band's mode, in the lanes where `apply` is set.
CALVORIN_LANE_INLINE void LaneApplyGain(const LaneChainSettings& c, I4 apply, D4 g, D4& l, D4& r)
{
  const D4 newL = LaneGainMixed(c.gainLeft, g, l, r);
  const D4 newR = LaneGainMixed(c.gainRight, g, l, r);
  l = Select(apply, newL, l);
  r = Select(apply, newR, r);
}

// Local to each instruction set's file, like every function here, so no
// build of one set stands in for another's.
namespace
{

// The exciter's controls while nothing moves: the settings' drive and trim
// for every frame, and the excited signal replaces the band's.
struct LaneExciteAtRest
{
  const LaneChainSettings& c;
  bool On(int band) const { return c.excite[band]; }
  double Drive(int band, int) const { return c.drive[band]; }
  double Trim(int band, int) const { return c.trim[band]; }
  double Weight(int, int) const { return 1.0; }
};

// The exciter's controls of every frame, and how far each frame's excited
// signal replaces the band's (a fade as Excite turns on or off).
struct LaneExciteMovingControls
{
  const FrameControls& f;
  bool On(int band) const { return f.excite[band]; }
  double Drive(int band, int i) const { return f.drive[band][i]; }
  double Trim(int band, int i) const { return f.trim[band][i]; }
  double Weight(int band, int i) const { return f.exciteWeight[band][i]; }
};

} // namespace

// Drive, tanh at twice the rate, trim, on the bands with excite, in three
// passes over the frames (upsampling, shaping, downsampling) so that the
// tanh of consecutive frames and the bands' all-pass chains overlap. Per band
// the lanes are path A left, right, path B left, right.
template <typename Controls>
CALVORIN_LANE_INLINE void LaneExcite(const LaneChainSettings& c, const Controls& controls, LaneChainState& st, D4* l,
                                     D4* r, int n)
{
  int bands[kLaneBands];
  int count = 0;
  for (int band = 0; band < kLaneBands; ++band)
  {
    if (controls.On(band))
      bands[count++] = band;
  }
  if (count == 0)
    return;

  D4 v[kLaneBands][kLaneChunk];
  for (int i = 0; i < n; ++i)
  {
    for (int k = 0; k < count; ++k)
    {
      const int band = bands[k];
      const double dl = controls.Drive(band, i) * l[i][band];
      const double dr = controls.Drive(band, i) * r[i][band];
      v[k][i] = LaneHalfband(c.halfband, st.upsampler[band], D4{dl, dr, dl, dr});
    }
  }
  for (int k = 0; k < count; ++k)
  {
    for (int i = 0; i < n; ++i)
    {
      // Path A of the downsampler takes path B's value and vice versa.
      v[k][i] = SwapHalves(Tanh(v[k][i]) * Splat(controls.Trim(bands[k], i)));
    }
  }
  for (int i = 0; i < n; ++i)
  {
    for (int k = 0; k < count; ++k)
    {
      const int band = bands[k];
      const D4 down = LaneHalfband(c.halfband, st.downsampler[band], v[k][i]);
      const double el = (down[0] + down[2]) * 0.5;
      const double er = (down[1] + down[3]) * 0.5;
      const double w = controls.Weight(band, i);
      l[i].Set(band, w >= 1.0 ? el : (el - l[i][band]) * w + l[i][band]);
      r[i].Set(band, w >= 1.0 ? er : (er - r[i][band]) * w + r[i][band]);
    }
  }
}

// Per band and frame, as doubles: envelope, gain, and whether the gain
// applies (all-ones bits) or not (zero).
struct LaneGainPass
{
  double envelope[kLaneBands][kLaneChunk];
  double gain[kLaneBands][kLaneChunk];
  long long apply[kLaneBands][kLaneChunk];
};

// One-pole detector over a pass (band lanes): attack while the input rises
// above the envelope, release otherwise; records the envelope of every frame.
CALVORIN_LANE_INLINE void Detect(const LaneChainSettings& c, LaneDoubles& envelope, const D4* e, LaneGainPass& out,
                                 int n)
{
  const D4 one = Splat(1.0);
  const D4 attack = c.attack;
  const D4 release = c.release;
  D4 env = envelope;
  for (int i = 0; i < n; ++i)
  {
    // Both candidates, so that only a multiply, an add and the choice wait
    // for the previous envelope.
    const D4 attacked = (one - attack) * e[i] + env * attack;
    const D4 released = (one - release) * e[i] + env * release;
    env = Select(Greater(e[i], env), attacked, released);
    for (int b = 0; b < kLaneBands; ++b)
      out.envelope[b][i] = env[b];
  }
  for (int b = 0; b < kLaneBands; ++b)
  {
    for (int i = n; i < kLaneChunk && i % 4 != 0; ++i)
      out.envelope[b][i] = 1.0; // finite filler for the last group of four
  }
  Store(envelope, env);
}

// One lane group's detector gain from its envelope. Sets apply to the lanes
// whose level lies on the detector's side of the threshold (above it for push,
// below it and above the floor for pull); the exp is skipped when none does.
template <bool kPush>
CALVORIN_LANE_INLINE D4 GroupGain(D4 env, D4 threshold, D4 factor, I4& apply)
{
  const D4 level = Log(env) * Splat(kLaneDbPerNeper);
  apply = kPush ? Greater(level, threshold)
                : Greater(threshold, level) & Greater(level, Splat(kLanePullFloorDb));
  if (!AnyLane(apply))
    return Splat(1.0);
  D4 g = Exp(factor * (threshold - level) * Splat(kLaneNeperPerDb));
  g = Select(Greater(Splat(0.0), g), Splat(0.0), g);
  if (kPush)
    g = Select(Greater(g, Splat(1.0)), Splat(1.0), g);
  return g;
}

// The gains of one detector, four frames of one band per lane group, so that
// all four lanes carry work and the three bands' exp and log overlap. A group
// whose envelopes all lie clearly outside the detector's range (compared in
// linear terms) needs neither log nor exp; the exp is skipped too for a group
// where no frame's gain applies. Returns whether any frame's gain applies.
template <bool kPush>
CALVORIN_LANE_INLINE bool Gains(const LaneChainSettings& c, LaneGainPass& pass, int n)
{
  bool any = false;
  for (int b = 0; b < kLaneBands; ++b)
  {
    const D4 threshold = Splat(kPush ? c.pushThresholdDb[b] : c.pullThresholdDb[b]);
    const D4 factor = Splat(kPush ? c.pushFactor[b] : c.pullFactor[b]);
    const D4 offAbove = Splat(c.pullOffAbove[b]);
    const D4 offBelow = Splat(kPush ? c.pushOffBelow[b] : c.pullOffBelow);
    for (int i = 0; i < n; i += 4)
    {
      const D4 env = Abs(Load(&pass.envelope[b][i]));
      // NaN compares false, so it takes the full path as before.
      const I4 off = kPush ? Greater(offBelow, env) : Greater(env, offAbove) | Greater(offBelow, env);
      if (!AnyLane(~off))
      {
        Store(&pass.gain[b][i], Splat(1.0));
        StoreBits(&pass.apply[b][i], SplatBits(0));
        continue;
      }
      I4 apply;
      const D4 g = GroupGain<kPush>(env, threshold, factor, apply);
      any = any || AnyLane(apply);
      Store(&pass.gain[b][i], g);
      StoreBits(&pass.apply[b][i], apply);
    }
  }
  return any;
}

// Frame i's gains and apply masks in band lanes.
CALVORIN_LANE_INLINE void GainsOf(const LaneGainPass& pass, int i, D4& g, I4& apply)
{
  g = D4{pass.gain[0][i], pass.gain[1][i], pass.gain[2][i], 1.0};
  apply = I4{pass.apply[0][i], pass.apply[1][i], pass.apply[2][i], 0};
}

// Bypassed, the input passes as it is: past the detectors, whose envelopes
// are state, the pass only copies it and feeds the one meter that runs, the
// output's (the larger magnitude of the two channels, NaN ignored, as float,
// for both of its values).
CALVORIN_LANE_INLINE void LaneBypass(const double* inL, const double* inR, double* outL, double* outR,
                                     float* meterLevels, int n)
{
  for (int i = 0; i < n; ++i)
  {
    const double xL = inL[i];
    const double xR = inR[i];
    outL[i] = xL;
    outR[i] = xR;
    if (meterLevels)
    {
      const double a = __builtin_fabs(xL);
      const double b = __builtin_fabs(xR);
      const float level = static_cast<float>((b > a || a != a) ? b : a);
      meterLevels[i * kLaneMeterValuesPerFrame + kLaneOutputLevel] = level;
      meterLevels[i * kLaneMeterValuesPerFrame + kLaneMeterValuesPerFrame / 2 + kLaneOutputLevel] = level;
    }
  }
}

// One frame's meter values: the bands after and before the chain, with the
// unused band lane carrying the output (first four) and input (last four) levels.
CALVORIN_LANE_INLINE void StoreLaneMeters(float* m8, D4 l, D4 r, D4 dryL, D4 dryR, double yL, double yR, double xL,
                                          double xR)
{
  const F4 first = MaxAbsToFloats(l.WithLane3(yL), r.WithLane3(yR));
  const F4 second = MaxAbsToFloats(dryL.WithLane3(xL), dryR.WithLane3(xR));
  __builtin_memcpy(m8, &first, sizeof first);
  __builtin_memcpy(m8 + 4, &second, sizeof second);
}

// The input through both crossovers into the bands' lanes: dry keeps them
// for the mix, l and r go on through the chain.
CALVORIN_LANE_INLINE void LaneSplit(LaneChainState& st, const LaneChainSettings& c, const double* inL, const double* inR,
                                    D4* dryL, D4* dryR, D4* l, D4* r, int n)
{
  for (int i = 0; i < n; ++i)
  {
    // The comparisons are false for NaN, so it enters as silence too.
    const double xL = __builtin_fabs(inL[i]) <= kLaneMaxInputMagnitude ? inL[i] : 0.0;
    const double xR = __builtin_fabs(inR[i]) <= kLaneMaxInputMagnitude ? inR[i] : 0.0;
    const D4 a = LaneSection(c.crossoverA[1], st.crossoverA[1],
                             LaneSection(c.crossoverA[0], st.crossoverA[0], D4{xL, xR, xL, xR}));
    const D4 b = LaneSection(c.crossoverB[1], st.crossoverB[1],
                             LaneSection(c.crossoverB[0], st.crossoverB[0], D4{xL, xR, a[2], a[3]}));
    dryL[i] = D4{a[0], b[2], b[0], 0.0};
    dryR[i] = D4{a[1], b[3], b[1], 0.0};
    l[i] = dryL[i];
    r[i] = dryR[i];
  }
}

CALVORIN_LANE_INLINE void RunLanePass(LaneChainState& st, const LaneChainSettings& c, const double* inL,
                                      const double* inR, double* outL, double* outR, float* meterLevels, int n)
{
  D4 dryL[kLaneChunk], dryR[kLaneChunk], l[kLaneChunk], r[kLaneChunk], e[kLaneChunk];
  LaneGainPass pass;

  LaneSplit(st, c, inL, inR, dryL, dryR, l, r, n);

  LaneExcite(c, LaneExciteAtRest{c}, st, l, r, n);

  for (int i = 0; i < n; ++i)
  {
    l[i] = l[i] * c.preGain;
    r[i] = r[i] * c.preGain;
    e[i] = MaxIgnoringNaN4(Abs(l[i]), Abs(r[i]));
  }
  Detect(c, st.pullEnvelope, e, pass, n);
  if (Gains<false>(c, pass, n))
  {
    for (int i = 0; i < n; ++i)
    {
      D4 g;
      I4 apply;
      GainsOf(pass, i, g, apply);
      LaneApplyGain(c, apply, g, l[i], r[i]);
      e[i] = Select(apply, e[i] * g, e[i]); // the push detector sees the level after the pull gain
    }
  }
  Detect(c, st.pushEnvelope, e, pass, n);
  if (c.bypassed)
  {
    LaneBypass(inL, inR, outL, outR, meterLevels, n);
    return;
  }
  const bool push = Gains<true>(c, pass, n);

  const D4 mix = Splat(c.mix);
  for (int i = 0; i < n; ++i)
  {
    D4 li = l[i];
    D4 ri = r[i];
    if (push)
    {
      D4 g;
      I4 apply;
      GainsOf(pass, i, g, apply);
      LaneApplyGain(c, apply, g, li, ri);
    }
    const D4 m = (li + ri) * Splat(0.5);
    const D4 s = ((li - ri) * Splat(0.5)) * c.width;
    li = ((s + m) * c.postGain - dryL[i]) * mix + dryL[i];
    ri = ((m - s) * c.postGain - dryR[i]) * mix + dryR[i];

    const double xL = inL[i];
    const double xR = inR[i];
    const double yL = ((li[2] + li[1]) + li[0]) * c.outGain;
    const double yR = ((ri[2] + ri[1]) + ri[0]) * c.outGain;
    outL[i] = yL;
    outR[i] = yR;

    if (meterLevels)
      StoreLaneMeters(meterLevels + i * kLaneMeterValuesPerFrame, li, ri, dryL[i], dryR[i], yL, yR, xL, xR);
  }
}

CALVORIN_LANE_INLINE void RunLaneChain(LaneChainState& st, const LaneChainSettings& c, const double* inL,
                                       const double* inR, double* outL, double* outR, float* meterLevels,
                                       int nFrames)
{
  for (int start = 0; start < nFrames; start += kLaneChunk)
  {
    const int n = nFrames - start < kLaneChunk ? nFrames - start : kLaneChunk;
    RunLanePass(st, c, inL + start, inR + start, outL + start, outR + start,
                meterLevels ? meterLevels + start * kLaneMeterValuesPerFrame : nullptr, n);
  }
}

// Runs with moving settings ------------------------------------------------
//
// The same passes as RunLanePass with the band, Mix, Out Gain and Bypass
// values of every frame taken from FrameControls, in the arithmetic of the
// scalar chain's moving step (BandDynamics::ProcessMoving): the pull and push
// gains multiply into one dynamics gain that reaches mid and side in the
// proportions of the band's Mode, and Excite and Bypass mix their output with
// their input by a weight.

static_assert(kLaneChunk == kFrameControlsFrames, "one run of moving settings is one pass");

// Frame i of a per-band array, in band lanes.
CALVORIN_LANE_INLINE D4 BandLanes(const FrameControls::BandFrames& v, int i, double unusedLane)
{
  return D4{v[0][i], v[1][i], v[2][i], unusedLane};
}

// Gains<> with the threshold and ratio factor of every frame.
template <bool kPush>
CALVORIN_LANE_INLINE void GainsMoving(const FrameControls& f, LaneGainPass& pass, int n)
{
  for (int b = 0; b < kLaneBands; ++b)
  {
    const double* thresholds = kPush ? f.pushThresholdDb[b] : f.pullThresholdDb[b];
    const double* factors = kPush ? f.pushFactor[b] : f.pullFactor[b];
    for (int i = 0; i < n; i += 4)
    {
      const D4 env = Abs(Load(&pass.envelope[b][i]));
      const D4 threshold = Load(thresholds + i);
      const D4 factor = Load(factors + i);
      I4 apply;
      const D4 g = GroupGain<kPush>(env, threshold, factor, apply);
      Store(&pass.gain[b][i], g);
      StoreBits(&pass.apply[b][i], apply);
    }
  }
}

CALVORIN_LANE_INLINE void RunLaneMovingPass(LaneChainState& st, const LaneChainSettings& c, const FrameControls& f,
                                            const double* inL, const double* inR, double* outL, double* outR,
                                            float* meterLevels, int n)
{
  D4 dryL[kLaneChunk], dryR[kLaneChunk], l[kLaneChunk], r[kLaneChunk], e[kLaneChunk], dynamicsGain[kLaneChunk];
  LaneGainPass pass;

  LaneSplit(st, c, inL, inR, dryL, dryR, l, r, n);

  LaneExcite(c, LaneExciteMovingControls{f}, st, l, r, n);

  for (int i = 0; i < n; ++i)
  {
    const D4 pre = BandLanes(f.preGain, i, 1.0);
    l[i] = l[i] * pre;
    r[i] = r[i] * pre;
    e[i] = MaxIgnoringNaN4(Abs(l[i]), Abs(r[i]));
  }
  Detect(c, st.pullEnvelope, e, pass, n);
  GainsMoving<false>(f, pass, n);
  for (int i = 0; i < n; ++i)
  {
    D4 g;
    I4 apply;
    GainsOf(pass, i, g, apply);
    dynamicsGain[i] = Select(apply, g, Splat(1.0));
    e[i] = Select(apply, e[i] * g, e[i]);
  }
  Detect(c, st.pushEnvelope, e, pass, n);
  GainsMoving<true>(f, pass, n);

  const D4 one = Splat(1.0);
  const D4 half = Splat(0.5);
  for (int i = 0; i < n; ++i)
  {
    D4 g;
    I4 apply;
    GainsOf(pass, i, g, apply);
    const D4 gain = Select(apply, dynamicsGain[i] * g, dynamicsGain[i]);
    const D4 m = ((l[i] + r[i]) * half) * ((gain - one) * BandLanes(f.gainOnMid, i, 1.0) + one);
    const D4 side =
      (((l[i] - r[i]) * half) * ((gain - one) * BandLanes(f.gainOnSide, i, 1.0) + one)) * BandLanes(f.width, i, 1.0);
    const D4 post = BandLanes(f.postGain, i, 1.0);
    const D4 mix = Splat(f.mix[i]);
    D4 li = ((side + m) * post - dryL[i]) * mix + dryL[i];
    D4 ri = ((m - side) * post - dryR[i]) * mix + dryR[i];

    const double xL = inL[i];
    const double xR = inR[i];
    const double pL = ((li[2] + li[1]) + li[0]) * f.outGain[i];
    const double pR = ((ri[2] + ri[1]) + ri[0]) * f.outGain[i];
    const double bypass = f.bypass[i];
    double yL = pL;
    double yR = pR;
    if (bypass >= 1.0)
    {
      yL = xL;
      yR = xR;
    }
    else if (bypass > 0.0)
    {
      const double sL = __builtin_fabs(xL) <= kLaneMaxInputMagnitude ? xL : 0.0;
      const double sR = __builtin_fabs(xR) <= kLaneMaxInputMagnitude ? xR : 0.0;
      yL = (sL - pL) * bypass + pL;
      yR = (sR - pR) * bypass + pR;
    }
    outL[i] = yL;
    outR[i] = yR;

    if (meterLevels)
      StoreLaneMeters(meterLevels + i * kLaneMeterValuesPerFrame, li, ri, dryL[i], dryR[i], yL, yR, xL, xR);
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
      v.Set(j, x[i + j]);
    const D4 r = Function(v);
    for (int j = 0; j < 4 && i + j < n; ++j)
      y[i + j] = r[j];
  }
}

// One instruction set's kernel table, its entries compiled with the flags of
// the file that calls this (each such file gets its own copies).
static constexpr LaneKernels MakeLaneKernels(const char* name)
{
  struct Entries
  {
    static void Process(LaneChainState& state, const LaneChainSettings& settings, const double* inL,
                        const double* inR, double* outL, double* outR, float* meterLevels, int nFrames)
    {
      RunLaneChain(state, settings, inL, inR, outL, outR, meterLevels, nFrames);
    }
    static void ProcessMoving(LaneChainState& state, const LaneChainSettings& settings, const FrameControls& frames,
                              const double* inL, const double* inR, double* outL, double* outR, float* meterLevels,
                              int nFrames)
    {
      RunLaneMovingPass(state, settings, frames, inL, inR, outL, outR, meterLevels,
                        nFrames < kLaneChunk ? nFrames : kLaneChunk);
    }
    static void ApplyExp(const double* x, double* y, int n) { LaneApply<Exp>(x, y, n); }
    static void ApplyLog(const double* x, double* y, int n) { LaneApply<Log>(x, y, n); }
    static void ApplyTanh(const double* x, double* y, int n) { LaneApply<Tanh>(x, y, n); }
  };
  return LaneKernels{name, Entries::Process, Entries::ProcessMoving, Entries::ApplyExp, Entries::ApplyLog, Entries::ApplyTanh};
}

} // namespace iplug::simd
