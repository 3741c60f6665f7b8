#pragma once

// The value of a control being edited, shown beside it: the text in a small
// dark pill, drawn above every other control. It ignores the mouse and is
// hidden until a control shows a value, so the resting editor never has it.

#include "graphics/IControl.h"
#include "graphics/ITextStyle.h"

#include <string>

namespace igraphics
{

class ValueReadout : public IControl
{
public:
  explicit ValueReadout(const ITextStyle& style);

  // Shows text in color with the pill's left edge at x, centred on y (editor
  // units), moved inside the editor where it would stick out.
  void Show(const char* text, float x, float y, const IColor& color);
  void Dismiss();

  bool IsShowing() const { return !IsHidden(); }
  const std::string& GetText() const { return mText; }

  void Draw(IGraphics& g) override;

private:
  // Moves the pill, having the area it leaves drawn again.
  void MoveTo(const IBounds& bounds);

  ITextStyle mStyle;
  std::string mText;
  IColor mColor;
};

} // namespace igraphics
