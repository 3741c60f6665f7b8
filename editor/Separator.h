#pragma once

// A double rule (dark groove over a faint highlight) along the bottom edge,
// or along the right edge in its vertical form.

#include "graphics/IControl.h"

namespace igraphics
{

class Separator : public IControl
{
public:
  explicit Separator(const IBounds& bounds);

  void Draw(IGraphics& g) override;
  void SetVertical(bool vertical) { mVertical = vertical; SetDirty(false); }

private:
  bool mVertical = true;
};

} // namespace igraphics
