#pragma once

#include "graphics/IControl.h"
#include "graphics/IFill.h"

namespace igraphics
{

// Fills its rectangle with a colour or gradient.
class IPanelControl : public IControl
{
public:
  IPanelControl(const IBounds& bounds, const IFill& fill, bool ignoreMouse = true)
    : IControl(bounds), mFill(fill)
  {
    mIgnoreMouse = ignoreMouse;
  }

  void Draw(IGraphics& g) override;
  void SetFill(const IFill& fill) { mFill = fill; SetDirty(false); }
  const IFill& GetFill() const { return mFill; }

private:
  IFill mFill;
};

} // namespace igraphics
