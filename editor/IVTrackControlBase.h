#pragma once

// Multi-value control with one track rectangle per value (sliders, meters).

#include "editor/IKnobControlBase.h"
#include "editor/IVectorBase.h"

#include <initializer_list>
#include <vector>

namespace igraphics
{

class IVTrackControlBase : public IControl, public IVectorBase
{
public:
  IVTrackControlBase(const IBounds& bounds, const char* label, const IVLook& look, int numValues,
                     EDirection direction = EDirection::Vertical, std::initializer_list<int> params = {});

  int GetValIdxForPos(float x, float y) const override;
  void OnResize() override;
  void OnMouseOver(float x, float y, const IMouseKeys& mod) override;
  void OnMouseOut() override;
  void DrawWidget(IGraphics& g) override;

  const IBounds& GetTrackBounds(int valIdx) const { return mTrackBounds[static_cast<size_t>(valIdx)]; }

protected:
  // Recomputes every track from the widget bounds; the default splits the
  // widget into equal strips across the direction of travel.
  virtual void MakeTrackRects(const IBounds& bounds);
  virtual void DrawTrack(IGraphics& g, const IBounds& r, int chIdx);

  EDirection mDirection;
  std::vector<IBounds> mTrackBounds;
  int mMouseOverTrack = -1;
  double mPeakSize = 0.0;
};

} // namespace igraphics
