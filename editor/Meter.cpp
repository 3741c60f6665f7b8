#include "editor/Meter.h"

#include "editor/ColorShift.h"
#include "graphics/IGraphics.h"

namespace igraphics
{

Meter::Meter(const IBounds& bounds, float lowRangeDB, float highRangeDB, const IVLook& look)
  : IVMeterControl<2>(bounds, "", look, EDirection::Vertical, {0, -6, -12, -24, -48}, EResponse::Log, lowRangeDB,
                      highRangeDB)
{
  SetIgnoreMouse(true);
}

void Meter::Draw(IGraphics& g)
{
  const IBounds& r = mRECT;
  const float vOut = static_cast<float>(GetValue(0));
  const float vIn = static_cast<float>(GetValue(1));
  g.PathClear();
  if (vIn != 0.f)
  {
    const float yIn = r.B - r.H() * vIn;
    const IBlendMode add(EBlend::Add, 1.f);
    g.FillRect(WithAlpha(GetColor(kX1), 178), IBounds(r.L, yIn, r.R, yIn + kInputMarkerHeight), &add);
  }
  if (vOut != 0.f)
  {
    const float third = r.W() / 3.f;
    g.FillRect(GetColor(kX2), IBounds(r.L + third, r.B - r.H() * vOut, r.R - third, r.B));
  }
}

} // namespace igraphics
