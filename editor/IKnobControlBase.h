#pragma once

// Base of rotary controls: a vertical (or horizontal) drag changes value 0,
// one full drag span per 1/gearing; shift or ctrl make it ten times finer.

#include "graphics/IControl.h"

namespace igraphics
{

class IKnobControlBase : public IControl
{
public:
  IKnobControlBase(const IBounds& bounds, int paramIdx = kNoParameter, EDirection direction = EDirection::Vertical,
                   double gearing = kDefaultGearing);

  void OnMouseDown(float x, float y, const IMouseKeys& mod) override;
  void OnMouseUp(float x, float y, const IMouseKeys& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseKeys& mod) override;
  void OnMouseWheel(float x, float y, const IMouseKeys& mod, float delta) override;

  // The rectangle whose height (or width) is one full drag span.
  virtual IBounds GetKnobDragBounds() { return mTargetRECT; }

  void SetGearing(double gearing) { mGearing = gearing; }
  bool IsMouseDown() const { return mMouseDown; }

  static constexpr double kDefaultGearing = 4.0;

protected:
  // Adds a drag movement (already signed so that up/right raises the value).
  void ApplyDrag(double delta);

  bool mHideCursorOnDrag = true;
  EDirection mDirection;
  double mGearing;
  bool mMouseDown = false;
  double mMouseDragValue = 0.0;
};

} // namespace igraphics
