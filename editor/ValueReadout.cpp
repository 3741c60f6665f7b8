#include "editor/ValueReadout.h"

#include "editor/ColorShift.h"
#include "editor/EditorLooks.h"
#include "graphics/IGraphics.h"

#include <algorithm>

namespace igraphics
{

namespace
{
constexpr float kPaddingX = 6.f;
constexpr float kHeight = 20.f;
} // namespace

ValueReadout::ValueReadout(const ITextStyle& style)
  : IControl(IBounds())
  , mStyle(style)
{
  mStyle.mAlign = static_cast<int>(EAlign::Center);
  mStyle.mVAlign = static_cast<int>(EVAlign::Middle);
  SetIgnoreMouse(true);
  IControl::Hide(true);
}

void ValueReadout::Show(const char* text, float x, float y, const IColor& color)
{
  IGraphics* g = GetUI();
  if (!g || !text)
    return;
  if (IsShowing() && mText == text && mColor == color && GetRECT().L == x && GetRECT().MH() == y)
    return;
  mText = text;
  mColor = color;
  const float width = g->MeasureText(mStyle, text, IBounds()).W() + 2.f * kPaddingX;
  const float right = static_cast<float>(g->Width());
  const float bottom = static_cast<float>(g->Height());
  const float left = std::clamp(x, 0.f, std::max(0.f, right - width));
  const float top = std::clamp(y - kHeight * 0.5f, 0.f, std::max(0.f, bottom - kHeight));
  MoveTo(IBounds(left, top, left + width, top + kHeight));
  if (IsHidden())
    IControl::Hide(false);
  SetDirty(false);
}

void ValueReadout::Dismiss()
{
  if (IsShowing())
    IControl::Hide(true); // marks the area dirty, so what lies below is drawn again
}

void ValueReadout::MoveTo(const IBounds& bounds)
{
  if (bounds == GetRECT())
    return;
  if (IGraphics* g = GetUI(); g && IsShowing())
    g->RedrawRegion(GetRECT());
  SetTargetAndDrawRECTs(bounds);
}

void ValueReadout::Draw(IGraphics& g)
{
  const IBounds& r = GetRECT();
  const float radius = r.H() * 0.5f;
  g.FillRoundRect(WithAlpha(kEditorBackgroundColor, 230), r, radius);
  g.DrawRoundRect(WithAlpha(mColor, 127), r, radius, nullptr, 1.f);
  ITextStyle text = mStyle;
  text.mFGColor = mColor;
  g.DrawText(text, mText.c_str(), r);
}

} // namespace igraphics
