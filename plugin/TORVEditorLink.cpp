// The editor half of TORV: its editor factory functions and the preset
// selector's "CUSTOM" rule. UI thread only. Builds without an editor (the
// module-only configuration) leave both empty.

#include "plugin/TORV.h"

#if defined(CALVORIN_WITH_EDITOR)
#include "editor/EditorLayout.h"
#include "editor/PresetControl.h"
#endif

void TORV::SetUpEditor()
{
#if defined(CALVORIN_WITH_EDITOR)
  igraphics::InstallEditor(*this, mPresetControl);
#endif
}

void TORV::ShowParamEditInPresetSelector([[maybe_unused]] int paramIdx)
{
#if defined(CALVORIN_WITH_EDITOR)
  if (mPresetControl)
    mPresetControl->OnParamChanged(paramIdx, kBypass);
#endif
}
