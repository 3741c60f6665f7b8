#pragma once

// What the lane form of the processing chain reads per block (settings) and
// carries between samples (state), laid out in four-double lanes.
//
// Lane layouts:
// - crossover group A: low-pass low crossover L, R; low-pass high crossover L, R
// - crossover group B: high-pass high crossover L, R; high-pass low crossover
//   (fed by the high crossover's low-pass) L, R
// - half-band stages, one set per band: path A L, R; path B L, R
// - band lanes (dynamics, mix): Low, Mid, High, unused

#include "dsp/FrameControls.h"
#include "dsp/simd/VectorTypes.h"

namespace iplug::simd
{

struct LaneSectionCoefficients
{
  LaneDoubles b0, b1, b2, a1, a2;
};

struct LaneSectionState
{
  LaneDoubles v1, v2;
};

// How a detector's gain g acts on one channel of each band lane, in the
// band's mode: (scaledL l + scaledR r) g + (keptL l + keptR r). The
// coefficients are 0, +-0.5 or 1, so the sums equal the mid (l + r) / 2 and
// side (l - r) / 2 bit for bit (bar the sign of a zero, and values so small
// that halving them flushes). Left: LR l g; MID m g + s; SIDE s g + m.
// Right: LR r g; MID m g - s; SIDE m - s g.
struct LaneGainMix
{
  LaneDoubles scaledL, scaledR, keptL, keptR;
};

constexpr int kLaneBands = 3;
constexpr int kLaneHalfbandSections = 6;
// Input beyond this magnitude, NaN and infinities enter the crossovers as
// silence (as in the scalar chain).
constexpr double kLaneMaxInputMagnitude = 1e6;

struct LaneChainSettings
{
  LaneSectionCoefficients crossoverA[2];
  LaneSectionCoefficients crossoverB[2];
  LaneDoubles halfband[kLaneHalfbandSections]; // per section: even, even, odd, odd coefficient

  // Band lanes.
  LaneDoubles preGain, postGain, pullThresholdDb, pushThresholdDb, pullFactor, pushFactor, attack, release, width;
  LaneGainMix gainLeft, gainRight;
  // Linear envelopes beyond which a detector's gain surely does not apply
  // (its threshold, and the pull floor, with a margin far above the log's
  // error): the pull gain above pullOffAbove or below pullOffBelow, the push
  // gain below pushOffBelow.
  LaneDoubles pullOffAbove, pushOffBelow;
  double pullOffBelow;

  bool excite[kLaneBands];
  double drive[kLaneBands];
  double trim[kLaneBands];

  double outGain;
  double mix;
  bool bypassed;
};

struct LaneHalfbandState
{
  LaneDoubles inputs[kLaneHalfbandSections];
  LaneDoubles outputs[kLaneHalfbandSections];
};

struct LaneChainState
{
  LaneSectionState crossoverA[2];
  LaneSectionState crossoverB[2];
  LaneHalfbandState upsampler[kLaneBands];
  LaneHalfbandState downsampler[kLaneBands];
  LaneDoubles pullEnvelope; // band lanes
  LaneDoubles pushEnvelope;
};

// Per stereo frame, the meter levels the chain feeds: first values (processed
// Low, Mid, High, Output) then second values (dry Low, Mid, High, input), each
// rounded to float as the meters accumulate them.
// Bypassed, only the Output and input values are written.
constexpr int kLaneMeterValuesPerFrame = 8;
constexpr int kLaneOutputLevel = 3; // index of Output among the first values, of input among the second

// One implementation of the lane code, built for one instruction set.
struct LaneKernels
{
  const char* name;
  void (*process)(LaneChainState& state, const LaneChainSettings& settings, const double* inL, const double* inR,
                  double* outL, double* outR, float* meterLevels, int nFrames);
  // One run of at most kFrameControlsFrames frames with settings that move:
  // the band, Mix, Out Gain and Bypass values come per frame from `frames`,
  // the crossovers, half-band and envelope coefficients from `settings`.
  void (*processMoving)(LaneChainState& state, const LaneChainSettings& settings, const FrameControls& frames,
                        const double* inL, const double* inR, double* outL, double* outR, float* meterLevels,
                        int nFrames);
  // Element-wise over arrays (any length), for tests and measurements.
  void (*exp)(const double* x, double* y, int n);
  void (*log)(const double* x, double* y, int n);
  void (*tanh)(const double* x, double* y, int n);
};

} // namespace iplug::simd
