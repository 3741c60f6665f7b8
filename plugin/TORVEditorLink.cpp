// The editor half of TORV's parameter handler (UI thread).

#include "plugin/TORV.h"

void TORV::ShowParamEditInPresetSelector(int /*paramIdx*/)
{
  // The preset selector shows "CUSTOM" after an edit once the editor provides it.
}
