#pragma once

// A line of text in a text style, over an optional background colour.
// It never takes the mouse.

#include "graphics/IControl.h"

#include <string>

namespace igraphics
{

class ITextControl : public IControl
{
public:
  ITextControl(const IBounds& bounds, const char* text, const ITextStyle& style, const IColor& bgColor = COLOR_TRANSPARENT);

  void Draw(IGraphics& g) override;

  void SetStr(const char* text);
  const std::string& GetStr() const { return mStr; }

protected:
  std::string mStr;
  IColor mBGColor;
};

} // namespace igraphics
