#pragma once

// The plug-in: a three-band upward-and-downward compressor. This class declares
// what the effect is to the framework (configuration, 26 parameters, three
// factory presets) and carries the processing chain.

#include "plugin/TORVParams.h"
#include "dsp/ProcessingChain.h"
#include "vst3/IPlugVST3.h"

namespace igraphics
{
class PresetControl;
}

class TORV : public iplug::IPlugVST3
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
  // Audio thread.
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  // While not processing: redesigns for the frame's sample rate, clears state.
  void OnReset() override;
  // The parameter handler (UI thread): the editor half, then the signal path.
  void OnParamUpdate(int paramIdx, iplug::ParamSource source) override;
  // The signal-path half alone: no allocation, lock or editor access, so the
  // audio thread may call it between blocks for host automation.
  void OnParamChangeRealtime(int paramIdx) override;
  // Idle timer (UI thread): hands the queued meter records to the editor.
  void OnIdleTick() override;

  const iplug::ProcessingChain& GetProcessingChain() const { return mChain; }

protected:
  // The open editor's preset selector, or nullptr; kept by the editor layout.
  // UI thread only.
  igraphics::PresetControl* mPresetControl = nullptr;

private:
  // Called once by the constructor after parameters and presets exist.
  void SetUpProcessing();
  // The editor half of the parameter handler (TORVEditorLink.cpp).
  void ShowParamEditInPresetSelector(int paramIdx);
  // Installs the editor's make-context and layout functions (TORVEditorLink.cpp).
  void SetUpEditor();

  iplug::ProcessingChain mChain;
};

// Declares the 26 parameters on their slots of the parameter container.
void DeclareTORVParameters(iplug::IEditorDelegate& plug);

// Fills the preset slots with "DEFAULT", "TORV" and "UP A LOT", in that order.
void MakeTORVFactoryPresets(iplug::IPluginBase& plug);
