#include "plugin/TORV.h"
#include "plugin/TORVDisplay.h"

namespace
{

using iplug::IParam;

void DeclareGain(iplug::IEditorDelegate& plug, int idx, const char* name)
{
  plug.GetParam(idx)->DeclareDouble(name, 0.0, -1.0, 1.0, 0.01, "dB", 0, "", IParam::ShapeLinear(),
                                    IParam::kUnitDB, torv::FormatGainDisplay, torv::ParseGainDisplay);
}

void DeclareThreshold(iplug::IEditorDelegate& plug, int idx, const char* name, double defaultDb)
{
  plug.GetParam(idx)->DeclareDouble(name, defaultDb, TORV::kThresholdMinDb, TORV::kThresholdMaxDb, 0.5, "dB", 0,
                                    "", IParam::ShapeLinear(), IParam::kUnitDB);
}

void DeclarePercent(iplug::IEditorDelegate& plug, int idx, const char* name, double defaultVal, double maxVal)
{
  plug.GetParam(idx)->DeclareDouble(name, defaultVal, 0.0, maxVal, 1.0, "%", 0, "", IParam::ShapeLinear(),
                                    IParam::kUnitCustom);
}

} // namespace

void DeclareTORVParameters(iplug::IEditorDelegate& plug)
{
  DeclareGain(plug, kPreGainLow, "Pre-gain Low");
  DeclareGain(plug, kPreGainMid, "Pre-gain Mid");
  DeclareGain(plug, kPreGainHigh, "Pre-gain High");
  DeclareGain(plug, kPostGainLow, "Post-gain Low");
  DeclareGain(plug, kPostGainMid, "Post-gain Mid");
  DeclareGain(plug, kPostGainHigh, "Post-gain High");

  DeclareThreshold(plug, kPullThresholdLow, "Pull Threshold Low", -40.0);
  DeclareThreshold(plug, kPullThresholdMid, "Pull Threshold Mid", -40.0);
  DeclareThreshold(plug, kPullThresholdHigh, "Pull Threshold High", -40.0);
  DeclareThreshold(plug, kPushThresholdLow, "Push Threshold Low", -30.0);
  DeclareThreshold(plug, kPushThresholdMid, "Push Threshold Mid", -30.0);
  DeclareThreshold(plug, kPushThresholdHigh, "Push Threshold High", -30.0);

  DeclarePercent(plug, kWidthLow, "Width Low", 100.0, 200.0);
  DeclarePercent(plug, kWidthMid, "Width Mid", 100.0, 200.0);
  DeclarePercent(plug, kWidthHigh, "Width High", 100.0, 200.0);
  DeclarePercent(plug, kExciteLow, "Excite Low", 0.0, 100.0);
  DeclarePercent(plug, kExciteMid, "Excite Mid", 0.0, 100.0);
  DeclarePercent(plug, kExciteHigh, "Excite High", 0.0, 100.0);

  plug.GetParam(kModeLow)->DeclareEnum("Mode Low", {"LR", "MID", "SIDE"});
  plug.GetParam(kModeMid)->DeclareEnum("Mode Mid", {"LR", "MID", "SIDE"});
  plug.GetParam(kModeHigh)->DeclareEnum("Mode High", {"LR", "MID", "SIDE"});

  plug.GetParam(kTime)->DeclareDouble("Time", 0.0, -1.0, 1.0, 0.01, "%", 0, "", IParam::ShapeLinear(),
                                      IParam::kUnitCustom, torv::FormatTimeDisplay, torv::ParseTimeDisplay);
  DeclarePercent(plug, kDepth, "Depth", 50.0, 100.0);
  DeclarePercent(plug, kMix, "Mix", 100.0, 100.0);
  DeclareGain(plug, kOutGain, "Out Gain");
  plug.GetParam(kBypass)->DeclareBool("Bypass", false, "", 0, "", "off", "on");
}
