#pragma once

// The values the processing chain uses, one per frame, for a run of frames in
// which any of them moves (a glide, a crossfade or a host's ramp). Filled by
// ChainControls, read by both engine paths; while nothing moves the chain
// uses its settings as they stand instead.

namespace iplug
{

constexpr int kFrameControlsBands = 3;
// Frames per run: the lane code's pass length, so one run is one pass.
constexpr int kFrameControlsFrames = 32;

struct FrameControls
{
  using BandFrames = double[kFrameControlsBands][kFrameControlsFrames];

  BandFrames preGain;         // linear
  BandFrames postGain;        // linear
  BandFrames pullThresholdDb;
  BandFrames pushThresholdDb;
  BandFrames pullFactor;      // 1 - 1 / effective ratio (Depth)
  BandFrames pushFactor;
  BandFrames width;           // side factor
  BandFrames drive;           // exciter drive and trim, linear
  BandFrames trim;
  BandFrames exciteWeight;    // 0: the band passes the exciter by, 1: fully excited
  BandFrames gainOnMid;       // how much of the band's dynamics gain reaches its mid (1) or not (0)
  BandFrames gainOnSide;      // ... its side: LR 1/1, MID 1/0, SIDE 0/1; between them while the Mode fades
  double outGain[kFrameControlsFrames]; // linear
  double mix[kFrameControlsFrames];     // 0..1
  double bypass[kFrameControlsFrames];  // 0: processed output, 1: the input as it came

  bool excite[kFrameControlsBands]; // whether the band's exciter runs in this run
  bool anyProcessed;                // whether any frame is not fully bypassed
};

} // namespace iplug
