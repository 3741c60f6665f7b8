#pragma once

// A band's level meter, drawn over the band's range slider so the level reads
// against the thresholds: a bar for the processed level and a thin marker
// line for the dry input level. It ignores the mouse so that presses reach
// the slider underneath.

#include "editor/IVMeterControl.h"

namespace igraphics
{

class Meter : public IVMeterControl<2>
{
public:
  Meter(const IBounds& bounds, float lowRangeDB, float highRangeDB, const IVLook& look);

  void Draw(IGraphics& g) override;

  static constexpr float kInputMarkerHeight = 4.f;
};

} // namespace igraphics
