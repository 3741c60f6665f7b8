#include "editor/IVToggleControl.h"

namespace igraphics
{

IVToggleControl::IVToggleControl(const IBounds& bounds, int paramIdx, const char* label, const IVLook& look,
                                 const char* offText, const char* onText)
  : IVSwitchControl(bounds, paramIdx, label, look)
  , mOffText(offText ? offText : "")
  , mOnText(onText ? onText : "")
{
}

} // namespace igraphics
