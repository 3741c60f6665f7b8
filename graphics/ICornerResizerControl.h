#pragma once

#include "graphics/ECursor.h"
#include "graphics/IControl.h"

namespace igraphics
{

// The square handle in the bottom-right corner that resizes the editor.
class ICornerResizerControl : public IControl
{
public:
  // bounds: the whole surface; the handle takes its bottom-right corner.
  ICornerResizerControl(const IBounds& surface, float size, const IColor& color = IColor(255, 127, 127, 127),
                        const IColor& mouseOverColor = COLOR_BLACK, const IColor& dragColor = COLOR_BLACK);

  void Draw(IGraphics& g) override;
  void OnRescale() override;
  void OnMouseDown(float x, float y, const IMouseKeys& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseKeys& mod) override;
  void OnMouseOver(float x, float y, const IMouseKeys& mod) override;
  void OnMouseOut() override;

  float Size() const { return mSize; }

private:
  float mSize;
  IColor mColor;
  IColor mMouseOverColor;
  IColor mDragColor;
  bool mMouseOverFirst = true;
  ECursor mPrevCursor = ECursor::ARROW;
};

} // namespace igraphics
