#include "editor/ITextControl.h"

#include "graphics/IGraphics.h"

namespace igraphics
{

ITextControl::ITextControl(const IBounds& bounds, const char* text, const ITextStyle& style, const IColor& bgColor)
  : IControl(bounds)
  , mStr(text ? text : "")
  , mBGColor(bgColor)
{
  SetText(style);
  SetIgnoreMouse(true);
}

void ITextControl::Draw(IGraphics& g)
{
  if (mBGColor.A > 0)
    g.FillRect(mBGColor, mRECT, &GetBlend());
  if (!mStr.empty())
    g.DrawText(GetText(), mStr.c_str(), mRECT, &GetBlend());
}

void ITextControl::SetStr(const char* text)
{
  const std::string next = text ? text : "";
  if (next != mStr)
  {
    mStr = next;
    SetDirty(false);
  }
}

} // namespace igraphics
