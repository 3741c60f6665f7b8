#pragma once

// The plug-in: a three-band upward-and-downward compressor. This class declares
// what the effect is to the framework (configuration, 26 parameters, three
// factory presets) and carries the processing chain.

#include "core/IPlugAPIBase.h"
#include "core/IPlugProcessor.h"
#include "plugin/TORVParams.h"

class TORV : public iplug::IPlugAPIBase, public iplug::IPlugProcessor
{
public:
  // Lower and upper bound of every threshold parameter, in dB.
  static constexpr double kThresholdMinDb = -80.0;
  static constexpr double kThresholdMaxDb = 6.0;

  static iplug::Config MakeConfig();

  TORV();
  explicit TORV(const iplug::Config& config);
  ~TORV() override;
};

// Declares the 26 parameters on their slots of the parameter container.
void DeclareTORVParameters(iplug::IEditorDelegate& plug);

// Fills the preset slots with "DEFAULT", "TORV" and "UP A LOT", in that order.
void MakeTORVFactoryPresets(iplug::IPluginBase& plug);
