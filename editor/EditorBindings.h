#pragma once

// What the editor's controls are bound to, as the plug-in describes it: the
// parameter indices of each band's controls and the tag of its meter, the
// global controls, and the level range that the meters share with the
// threshold sliders.

#include "editor/EditorLooks.h"

#include <array>

namespace igraphics
{

struct BandBindings
{
  int preGain, postGain, pullThreshold, pushThreshold, width, excite, mode;
  int meterTag; // tag of the band's level meter
};

struct EditorBindings
{
  std::array<BandBindings, kNumBands> bands; // Low, Mid, High
  int bypass, depth, time, outGain, mix;
  int peakDisplayTag;
  // Bottom and top of the meters' scale in dB: the thresholds' range, so a
  // threshold handle stands level with the meter reading it.
  float lowLevelDb, highLevelDb;
};

} // namespace igraphics
