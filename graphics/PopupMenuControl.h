#pragma once

#include "graphics/IControl.h"

namespace igraphics
{

class IPopupMenu;

// The popup menu drawn inside the editor surface: one row per entry below (or,
// when there is no room, above) the anchor rectangle. A press on an enabled
// entry chooses it; a press anywhere else dismisses the menu. Either way the
// receiver is told and the popup goes away. Kept apart from the control list.
class PopupMenuControl : public IControl
{
public:
  static constexpr float kRowHeight = 20.f;
  static constexpr float kMinWidth = 80.f;

  PopupMenuControl(IControl& receiver, IPopupMenu& menu, const IBounds& anchor, int valIdx, float surfaceW, float surfaceH);

  void Draw(IGraphics& g) override;
  // Catches every press so a click outside dismisses the menu.
  bool IsHit(float, float) const override { return true; }
  void OnMouseDown(float x, float y, const IMouseKeys& mod) override;
  void OnMouseOver(float x, float y, const IMouseKeys& mod) override;
  void OnMouseOut() override;

  bool IsClosed() const { return mClosed; }
  const IBounds& MenuBounds() const { return mMenuRECT; }
  int RowAt(float x, float y) const;

private:
  IControl& mReceiver;
  IPopupMenu& mMenu;
  int mValIdx;
  IBounds mMenuRECT;
  int mHighlighted = -1;
  bool mClosed = false;
};

} // namespace igraphics
