#pragma once

// A rounded column background: flat in its upper half, darkening towards the
// bottom, with an optional faint additive outline.

#include "graphics/IControl.h"

namespace igraphics
{

class Panel : public IControl
{
public:
  // cornerMode 4 rounds all corners; 0..3 round one pair each.
  Panel(const IBounds& bounds, const IColor& color, int cornerMode = 4, float cornerRadius = 2.f, bool outline = true,
        float gradientOverhang = 0.f);

  void Draw(IGraphics& g) override;

private:
  void MakePath(IGraphics& g) const;

  int mCornerMode;
  IColor mColor;
  float mCornerRadius;
  bool mOutline;
  float mOverhang;
};

} // namespace igraphics
