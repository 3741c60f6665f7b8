// The editor half of TORV: its editor factory functions with what the editor's
// controls are bound to, and the preset selector's "CUSTOM" rule. UI thread
// only. Builds without an editor (the module-only configuration) leave both
// empty.

#include "plugin/TORV.h"

#if defined(CALVORIN_WITH_EDITOR)
#include "dsp/MeterRecord.h"
#include "editor/EditorLayout.h"
#include "editor/PresetControl.h"

namespace
{

igraphics::EditorBindings MakeEditorBindings()
{
  igraphics::EditorBindings b{};
  b.bands = {{
    {kPreGainLow, kPostGainLow, kPullThresholdLow, kPushThresholdLow, kWidthLow, kExciteLow, kModeLow,
     iplug::kMeterTagLow},
    {kPreGainMid, kPostGainMid, kPullThresholdMid, kPushThresholdMid, kWidthMid, kExciteMid, kModeMid,
     iplug::kMeterTagMid},
    {kPreGainHigh, kPostGainHigh, kPullThresholdHigh, kPushThresholdHigh, kWidthHigh, kExciteHigh, kModeHigh,
     iplug::kMeterTagHigh},
  }};
  b.bypass = kBypass;
  b.depth = kDepth;
  b.time = kTime;
  b.outGain = kOutGain;
  b.mix = kMix;
  b.peakDisplayTag = iplug::kMeterTagOutput;
  b.lowLevelDb = static_cast<float>(TORV::kThresholdMinDb);
  b.highLevelDb = static_cast<float>(TORV::kThresholdMaxDb);
  return b;
}

} // namespace
#endif

void TORV::SetUpEditor()
{
#if defined(CALVORIN_WITH_EDITOR)
  igraphics::InstallEditor(*this, MakeEditorBindings(), mPresetControl);
#endif
}

void TORV::ShowParamEditInPresetSelector([[maybe_unused]] int paramIdx)
{
#if defined(CALVORIN_WITH_EDITOR)
  if (mPresetControl)
    mPresetControl->OnParamChanged(paramIdx, kBypass);
#endif
}
