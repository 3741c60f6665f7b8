#pragma once

// The plug-in: a three-band upward-and-downward compressor. This class declares
// what the effect is to the framework (configuration, 26 parameters, three
// factory presets) and carries the processing chain.

#include "plugin/TORVParams.h"
#include "dsp/ProcessingChain.h"

// The class is built once per plug-in format, on that format's base.
#if defined(CALVORIN_FORMAT_LV2)
#include "lv2/IPlugLV2.h"
using TORVFormatBase = iplug::IPlugLV2;
#else
#include "vst3/IPlugVST3.h"
using TORVFormatBase = iplug::IPlugVST3;
#endif

#include <array>

namespace igraphics
{
class PresetControl;
}

class TORV : public TORVFormatBase
{
public:
  // Lower and upper bound of every threshold parameter, in dB.
  static constexpr double kThresholdMinDb = -80.0;
  static constexpr double kThresholdMaxDb = 6.0;

  static iplug::Config MakeConfig();

  TORV();
  explicit TORV(const iplug::Config& config);
  ~TORV() override;

  // Audio engine (TORVProcessing.cpp) --------------------------------------
  // Audio thread: applies the parameters marked since the last block, then
  // processes, following the host's automation points sample by sample:
  // each continuous parameter's straight line to its next point, each
  // stepped one (Mode, Time, Bypass) from its point's frame on.
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  bool TakesParamPoints() const override { return true; }
  // The host's bypass fades like the Bypass parameter (it counts as Bypass on).
  bool ProcessesBypass() const override { return true; }
  // While not processing: redesigns for the frame's sample rate, clears state.
  void OnReset() override;
  // The parameter handler, on the thread that made the change (never the audio
  // thread): shows the edit in the preset selector and marks the parameter for
  // the audio thread, which brings the chain in line at its next block.
  void OnParamUpdate(int paramIdx, iplug::ParamSource source) override;
  // The signal-path half (audio thread, or before any audio thread exists): no
  // allocation, lock or editor access.
  void OnParamChangeRealtime(int paramIdx) override;
  // Idle timer (UI thread): hands the queued meter records to the editor.
  void OnIdleTick() override;

  const iplug::ProcessingChain& GetProcessingChain() const { return mChain; }
  // Which arithmetic the chain runs (the vector path unless chosen otherwise);
  // while not processing.
  void SetEnginePath(iplug::EnginePath path) { mChain.SetEnginePath(path); }

#if defined(CALVORIN_FORMAT_LV2)
  // Gains as decibels ("-inf" at the minimum) and Time as its percentage.
  iplug::PortScale GetPortScale(int paramIdx) const override;
#endif

protected:
#if !defined(CALVORIN_FORMAT_LV2)
  // IEnginePath's kScalar and kVector.
  bool ChooseEnginePath(int path) override;
#endif

  // The open editor's preset selector, or nullptr; kept by the editor layout.
  // UI thread only.
  igraphics::PresetControl* mPresetControl = nullptr;

private:
  // Called once by the constructor after parameters and presets exist.
  void SetUpProcessing();
  // A point's effect, from eventFrame of the piece on.
  void ApplyPoint(const iplug::ParamPoint& point, int eventFrame, int pieceStart);
  static bool IsSteppedParam(int paramIdx);
  // The chain's Bypass value: on while the host bypasses, else the parameter's.
  double BypassValue() const;
  // The editor half of the parameter handler (TORVEditorLink.cpp).
  void ShowParamEditInPresetSelector(int paramIdx);
  // Installs the editor's make-context and layout functions (TORVEditorLink.cpp).
  void SetUpEditor();

  iplug::ProcessingChain mChain; // audio thread; OnReset while nothing processes
  // Audio thread: the host's bypass and the Bypass parameter where the block has reached.
  double mHostBypassValue = 0.0;
  double mBypassParamValue = 0.0;
  // Audio thread: the frame where each of a block's points takes effect, in order.
  struct PointEvent
  {
    int frame;
    int point;
  };
  std::array<PointEvent, iplug::ParamPointList::kCapacity> mPointEvents{};
};

static_assert(kNumParams <= iplug::ParamChangeSet::kCapacity, "every parameter must fit the change set");

// Declares the 26 parameters on their slots of the parameter container.
void DeclareTORVParameters(iplug::IEditorDelegate& plug);

// Fills the preset slots with "DEFAULT", "TORV" and "UP A LOT", in that order.
void MakeTORVFactoryPresets(iplug::IPluginBase& plug);
