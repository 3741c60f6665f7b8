#include "graphics/ICornerResizerControl.h"

#include "graphics/IGraphics.h"

namespace igraphics
{

ICornerResizerControl::ICornerResizerControl(const IBounds& surface, float size, const IColor& color,
                                             const IColor& mouseOverColor, const IColor& dragColor)
  : IControl(IBounds(surface.R - size, surface.B - size, surface.R, surface.B).GetPadded(-1.f)),
    mSize(size), mColor(color), mMouseOverColor(mouseOverColor), mDragColor(dragColor)
{
}

void ICornerResizerControl::Draw(IGraphics& g)
{
  const IColor& color = g.IsResizing() ? mDragColor : (mMouseIsOver ? mMouseOverColor : mColor);
  g.FillTriangle(color, mRECT.R, mRECT.T, mRECT.R, mRECT.B, mRECT.L, mRECT.B, &mBlend);
}

void ICornerResizerControl::OnRescale()
{
  if (!mGraphics)
    return;
  const float w = static_cast<float>(mGraphics->Width());
  const float h = static_cast<float>(mGraphics->Height());
  const float s = mGraphics->GetDrawScale();
  SetTargetAndDrawRECTs(IBounds(w - mSize / s, h - mSize / s, w, h));
}

void ICornerResizerControl::OnMouseDown(float, float, const IMouseKeys&)
{
  if (mGraphics)
    mGraphics->StartResizeGesture();
}

void ICornerResizerControl::OnMouseDblClick(float, float, const IMouseKeys&)
{
  if (mGraphics)
    mGraphics->Resize(mGraphics->InitialWidth(), mGraphics->InitialHeight(), 1.f);
}

void ICornerResizerControl::OnMouseOver(float x, float y, const IMouseKeys& mod)
{
  if (mMouseOverFirst && mGraphics)
  {
    mPrevCursor = mGraphics->SetMouseCursor(ECursor::SIZENWSE);
    mMouseOverFirst = false;
  }
  IControl::OnMouseOver(x, y, mod);
}

void ICornerResizerControl::OnMouseOut()
{
  if (!mMouseOverFirst && mGraphics)
  {
    mGraphics->SetMouseCursor(mPrevCursor);
    mMouseOverFirst = true;
  }
  IControl::OnMouseOut();
}

} // namespace igraphics
