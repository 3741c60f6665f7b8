#pragma once

// Two-state vector switch carrying an off text and an on text.

#include "editor/IVSwitchControl.h"

#include <string>

namespace igraphics
{

class IVToggleControl : public IVSwitchControl
{
public:
  IVToggleControl(const IBounds& bounds, int paramIdx, const char* label, const IVLook& look, const char* offText,
                  const char* onText);

protected:
  std::string mOffText;
  std::string mOnText;
};

} // namespace igraphics
