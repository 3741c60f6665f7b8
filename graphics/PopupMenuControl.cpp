#include "graphics/PopupMenuControl.h"

#include "graphics/IGraphics.h"
#include "graphics/IPopupMenu.h"

#include <algorithm>
#include <cmath>

namespace igraphics
{

PopupMenuControl::PopupMenuControl(IControl& receiver, IPopupMenu& menu, const IBounds& anchor, int valIdx,
                                   float surfaceW, float surfaceH)
  : IControl(IBounds(0.f, 0.f, surfaceW, surfaceH)), mReceiver(receiver), mMenu(menu), mValIdx(valIdx)
{
  const float w = std::min(std::max(anchor.W(), kMinWidth), surfaceW);
  const float h = std::min(kRowHeight * static_cast<float>(menu.NItems()), surfaceH);
  float left = std::clamp(anchor.L, 0.f, std::max(surfaceW - w, 0.f));
  float top = anchor.B;
  if (top + h > surfaceH)
    top = anchor.T - h >= 0.f ? anchor.T - h : std::max(surfaceH - h, 0.f);
  mMenuRECT = {left, top, left + w, top + h};
  mText = ITextStyle(14.f, IRgba(255, 198, 202, 202), kDefaultFontName, EAlign::Near, EVAlign::Middle);
}

int PopupMenuControl::RowAt(float x, float y) const
{
  if (!mMenuRECT.Contains(x, y))
    return -1;
  const int row = static_cast<int>(std::floor((y - mMenuRECT.T) / kRowHeight));
  return row < mMenu.NItems() ? row : -1;
}

void PopupMenuControl::Draw(IGraphics& g)
{
  g.FillRect(IRgba(245, 30, 31, 32), mMenuRECT);
  g.DrawRect(IRgba(255, 90, 92, 92), mMenuRECT);
  for (int i = 0; i < mMenu.NItems(); ++i)
  {
    const IPopupMenu::Item* item = mMenu.GetItem(i);
    const IBounds row(mMenuRECT.L, mMenuRECT.T + kRowHeight * i, mMenuRECT.R, mMenuRECT.T + kRowHeight * (i + 1));
    if (row.T >= mMenuRECT.B)
      break;
    if (i == mHighlighted && item->enabled)
      g.FillRect(IRgba(255, 70, 72, 74), row);
    ITextStyle style = mText;
    if (!item->enabled)
      style.mFGColor = style.mFGColor.WithOpacity(0.4f);
    if (item->checked)
      g.FillCircle(style.mFGColor, row.L + 8.f, row.MH(), 3.f);
    g.DrawText(style, item->text.c_str(), IBounds(row.L + 16.f, row.T, row.R - 4.f, row.B));
  }
}

void PopupMenuControl::OnMouseDown(float x, float y, const IMouseKeys&)
{
  if (mClosed)
    return;
  const int row = RowAt(x, y);
  const IPopupMenu::Item* item = mMenu.GetItem(row);
  mClosed = true;
  if (item && item->enabled)
  {
    mMenu.SetChosenItemIdx(row);
    mReceiver.OnPopupMenuSelection(&mMenu, mValIdx);
  }
  else
  {
    mMenu.SetChosenItemIdx(-1);
    mReceiver.OnPopupMenuSelection(nullptr, mValIdx);
  }
}

void PopupMenuControl::OnMouseOver(float x, float y, const IMouseKeys&)
{
  const int row = RowAt(x, y);
  if (row != mHighlighted)
  {
    mHighlighted = row;
    SetDirty(false);
  }
}

void PopupMenuControl::OnMouseOut()
{
  if (mHighlighted != -1)
  {
    mHighlighted = -1;
    SetDirty(false);
  }
}

} // namespace igraphics
