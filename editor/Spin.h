#pragma once

// Per-band mode selector: a dark pill showing the mode's text; each click
// steps to the next mode and wraps.

#include "editor/IVSwitchControl.h"

namespace igraphics
{

class Spin : public IVSwitchControl
{
public:
  Spin(const IBounds& bounds, int paramIdx, const IVLook& look);

  void OnResize() override;
  void Draw(IGraphics& g) override;
};

} // namespace igraphics
