#pragma once

#include "dsp/FrameControls.h"
#include "dsp/Glide.h"

#include <array>
#include <cstddef>

namespace iplug
{

// What the processing chain is told, in parameter units.
enum class ChainParam : int
{
  kPreGain,       // gain control -1..1, per band
  kPostGain,      // gain control -1..1, per band
  kPullThreshold, // dB, per band
  kPushThreshold, // dB, per band
  kWidth,         // 0..200 %, per band
  kExcite,        // 0..100 %, per band
  kMode,          // 0 LR, 1 MID, 2 SIDE (truncated), per band
  kDepth,         // 0..100 %
  kMix,           // 0..100 %
  kOutGain,       // gain control -1..1
  kBypass,        // bypassed when >= 0.5
  kCount
};

// Whether a parameter is the chain's per band (the others are one for all).
constexpr bool IsBandParam(ChainParam p)
{
  return p <= ChainParam::kMode;
}

// The moving side of the chain's settings: for every parameter the curve a
// host drew (a straight line to each point) and, for every value the signal
// path uses, the glide that takes it to a new target without a click. Gains,
// thresholds, Width, Depth, Mix and the excite drive glide; Mode, Bypass and
// turning Excite on or off fade between the old and the new output (a glide
// of a mixing weight). While nothing moves the chain runs on its settings as
// they stand, which are then exactly the targets here.
//
// Threads: one writer, the audio thread between its blocks (or any thread
// while nothing processes). No allocation.
class ChainControls
{
public:
  // Length of a glide or fade. Long enough that a full-scale gain jump's
  // energy stays below the signal's own distortion above 1 kHz, short enough
  // to feel immediate, and longer than the 16.7 ms between two editor frames,
  // so a drag's steps join into one movement.
  static constexpr double kGlideMs = 20.0;

  ChainControls();

  void SetSampleRate(double sampleRate);
  int GlideFrames() const { return mGlides[0].Length(); }

  // Live: the chain has processed since its last reset, so a jump glides.
  // Not live, every change lands at once (a preset or --set before the first
  // block, a state restore before playback).
  void SetLive(bool live);
  bool Live() const { return mLive; }

  // A new value, in parameter units. rampFrames > 0: the value moves on a
  // straight line from where it is now to `value`, reached at the last of
  // those frames (a host's automation curve). Otherwise it jumps and the
  // values it drives glide there.
  void Set(ChainParam p, int band, double value, int rampFrames = 0);
  // The parameter's value on its curve now (the last one set, or where the
  // ramp has reached).
  double Value(ChainParam p, int band) const { return Track(p, band).value; }

  // Whether any ramp or glide still runs.
  bool Moving() const { return mRamping || mGliding; }
  // Whether the parameter rests at exactly this value (setting it again changes nothing).
  bool AtRest(ChainParam p, int band, double value) const
  {
    const CurveTrack& track = Track(p, band);
    return track.framesLeft == 0 && track.value == value;
  }

  // The next n frames' values (n <= kFrameControlsFrames), advancing every
  // ramp and glide. Calls changed(p, band) for every parameter whose curve
  // moved, so the chain's own settings can follow its value.
  template <typename Changed>
  void Fill(FrameControls& f, int n, Changed&& changed);

  // Ends every glide and ramp at its destination (a reset).
  void Settle();

private:
  enum Value : int
  {
    kPre,
    kPost,
    kPullThr,
    kPushThr,
    kPullFactor,
    kPushFactor,
    kWidthValue,
    kDrive,
    kTrim,
    kExciteWeight,
    kGainOnMid,
    kGainOnSide,
    kBandValues,
    kOutGainValue = kBandValues * kFrameControlsBands,
    kMixValue,
    kBypassWeight,
    kNumValues
  };

  struct CurveTrack
  {
    double value = 0.0;
    double step = 0.0;
    double end = 0.0;
    int framesLeft = 0;
  };

  static constexpr int kNumTracks = static_cast<int>(ChainParam::kCount) * kFrameControlsBands;

  CurveTrack& Track(ChainParam p, int band) { return mTracks[Index(p, band)]; }
  const CurveTrack& Track(ChainParam p, int band) const { return mTracks[Index(p, band)]; }
  static int Index(ChainParam p, int band)
  {
    return static_cast<int>(p) * kFrameControlsBands + (IsBandParam(p) ? band : 0);
  }

  // Brings the targets of what parameter p drives in line with its value;
  // with jump, the values glide from where they were.
  void Retarget(ChainParam p, int band, bool jump);
  void SetTarget(int value, double target, bool jump);
  void Store(FrameControls& f, int i);

  std::array<CurveTrack, kNumTracks> mTracks;
  std::array<double, kNumValues> mTargets{};
  std::array<Glide, kNumValues> mGlides;
  bool mLive = false;
  bool mRamping = false; // some track ramps
  bool mGliding = false; // some glide may run
};

template <typename Changed>
void ChainControls::Fill(FrameControls& f, int n, Changed&& changed)
{
  for (int i = 0; i < n; ++i)
  {
    if (mRamping)
    {
      bool stillRamping = false;
      for (int t = 0; t < kNumTracks; ++t)
      {
        CurveTrack& track = mTracks[static_cast<size_t>(t)];
        if (track.framesLeft <= 0)
          continue;
        // The end is met exactly, so steady settings after it equal today's.
        track.value = --track.framesLeft == 0 ? track.end : track.value + track.step;
        stillRamping = stillRamping || track.framesLeft > 0;
        Retarget(static_cast<ChainParam>(t / kFrameControlsBands), t % kFrameControlsBands, false);
      }
      mRamping = stillRamping;
    }
    Store(f, i);
  }
  bool gliding = false;
  for (const Glide& glide : mGlides)
    gliding = gliding || glide.Active();
  mGliding = gliding;
  for (int t = 0; t < kNumTracks; ++t)
  {
    // Tracks moved in this run report once, also the one that just ended.
    CurveTrack& track = mTracks[static_cast<size_t>(t)];
    if (track.step != 0.0)
    {
      changed(static_cast<ChainParam>(t / kFrameControlsBands), t % kFrameControlsBands);
      if (track.framesLeft == 0)
        track.step = 0.0;
    }
  }
  for (int b = 0; b < kFrameControlsBands; ++b)
  {
    bool runs = false;
    for (int i = 0; i < n; ++i)
      runs = runs || f.exciteWeight[b][i] > 0.0;
    f.excite[b] = runs;
  }
  bool processed = false;
  for (int i = 0; i < n; ++i)
    processed = processed || f.bypass[i] < 1.0;
  f.anyProcessed = processed;
}

} // namespace iplug
