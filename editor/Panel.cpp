#include "editor/Panel.h"

#include "editor/ColorShift.h"
#include "graphics/IGraphics.h"

namespace igraphics
{

Panel::Panel(const IBounds& bounds, const IColor& color, int cornerMode, float cornerRadius, bool outline,
             float gradientOverhang)
  : IControl(bounds)
  , mCornerMode(cornerMode)
  , mColor(color)
  , mCornerRadius(cornerRadius)
  , mOutline(outline)
  , mOverhang(gradientOverhang)
{
}

void Panel::MakePath(IGraphics& g) const
{
  float tl = 0.f, tr = 0.f, bl = 0.f, br = 0.f;
  switch (mCornerMode)
  {
    case 0: tl = tr = mCornerRadius; break; // top
    case 1: tr = br = mCornerRadius; break; // right
    case 2: bl = br = mCornerRadius; break; // bottom
    case 3: tl = bl = mCornerRadius; break; // left
    default: tl = tr = bl = br = mCornerRadius; break;
  }
  g.PathClear();
  g.PathRoundRect(mRECT, tl, tr, bl, br);
}

void Panel::Draw(IGraphics& g)
{
  const float cx = mRECT.MW();
  const IFill fill = IFill::LinearGradient(cx, mRECT.T - mOverhang, cx, mRECT.B + mOverhang,
                                           {{mColor, 0.5f}, {ShiftedColor(mColor, -12), 1.f}});
  MakePath(g);
  g.PathFill(fill);
  if (mOutline)
  {
    MakePath(g);
    IStrokeOptions options;
    options.mMiterLimit = 10.f;
    const IBlendMode add(EBlend::Add, 0.666f);
    g.PathStroke(fill, 1.f, options, &add);
  }
}

} // namespace igraphics
