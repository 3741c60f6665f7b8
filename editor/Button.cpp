#include "editor/Button.h"

#include "graphics/IGraphics.h"

namespace igraphics
{

Button::Button(const IBounds& bounds, ActionFunc action, const char* label, const IVLook& look)
  : IVButtonControl(bounds, std::move(action), label, look, true, true)
{
}

void Button::Draw(IGraphics& g)
{
  if (!mLabelStr.empty())
    g.DrawText(mStyle.valueText, mLabelStr.c_str(), mRECT);
}

} // namespace igraphics
