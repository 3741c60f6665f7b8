#pragma once

#include "dsp/ProcessingChain.h"
#include "dsp/simd/LaneChainData.h"

namespace iplug::simd
{

// The processing chain's per-sample arithmetic with the stereo pair, the
// crossover filters, the half-band paths and the three bands' dynamics in SIMD
// lanes. Its output follows ProcessingChain's to within the few-ulp error of
// the lane exp, log and tanh; the lane code runs as SSE2 everywhere and as
// AVX2/FMA where the processor has it.
//
// Threads: Configure and Reset while not processing; Process on the audio
// thread (no allocation, lock or system call).
class LaneChain
{
public:
  // The fastest build of the lane code this processor runs.
  LaneChain();
  explicit LaneChain(const LaneKernels& kernels);

  // Takes the settings of `chain` (sample rate, crossovers, band dynamics,
  // exciters) and the block controls, as the scalar chain would use them:
  // the three steps below in turn.
  void Configure(const ProcessingChain& chain, const ProcessingChain::BlockControls& controls);
  // The crossovers for the chain's sample rate (the costly part: filter design).
  void ConfigureCrossovers(const ProcessingChain& chain);
  // Band dynamics and exciter settings.
  void ConfigureBands(const ProcessingChain& chain);
  void SetBlockControls(const ProcessingChain::BlockControls& controls);

  // Clears every filter, half-band and envelope state.
  void Reset() { mState = LaneChainState(); }
  // Clears the crossover and envelope state; the half-band memories carry
  // over, as the scalar chain's exciters keep theirs through a reset.
  void ResetCrossoversAndEnvelopes();

  // Processes nFrames stereo frames (outputs may alias inputs). With
  // meterLevels, also writes kLaneMeterValuesPerFrame levels per frame. Runs
  // with flush-to-zero / denormals-are-zero; state that became NaN or
  // infinite is cleared at the end, per filter, half-band stage and envelope,
  // as the scalar chain clears it.
  void Process(const double* inL, const double* inR, double* outL, double* outR, int nFrames,
               float* meterLevels = nullptr);

  // Process in parts, for a caller that handles a block in pieces: the lane
  // arithmetic alone (the caller sets flush-to-zero / denormals-are-zero),
  // then, at the end of the block, the recovery of non-finite state.
  void ProcessFrames(const double* inL, const double* inR, double* outL, double* outR, int nFrames,
                     float* meterLevels)
  {
    mKernels->process(mState, mSettings, inL, inR, outL, outR, meterLevels, nFrames);
  }
  // One run of moving settings (nFrames <= kFrameControlsFrames), as
  // ProcessFrames; the lane settings' band, Mix, Out Gain and Bypass values
  // are not used.
  void ProcessMovingFrames(const double* inL, const double* inR, double* outL, double* outR, int nFrames,
                           float* meterLevels, const FrameControls& frames)
  {
    mKernels->processMoving(mState, mSettings, frames, inL, inR, outL, outR, meterLevels, nFrames);
  }
  void RecoverFromNonFiniteState();

  const LaneKernels& Kernels() const { return *mKernels; }
  void SetKernels(const LaneKernels& kernels) { mKernels = &kernels; }
  const LaneChainState& State() const { return mState; }

private:
  const LaneKernels* mKernels;
  LaneChainSettings mSettings = LaneChainSettings();
  LaneChainState mState = LaneChainState();
};

} // namespace iplug::simd
