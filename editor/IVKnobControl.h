#pragma once

// Rotary knob with a vector look: value arc from the anchor angle, pointer,
// label below and (optionally) a value text.

#include "editor/IKnobControlBase.h"
#include "editor/IVectorBase.h"

namespace igraphics
{

class IVKnobControl : public IKnobControlBase, public IVectorBase
{
public:
  IVKnobControl(const IBounds& bounds, int paramIdx, const char* label, const IVLook& look, bool valueIsEditable = false,
                float angleMin = -135.f, float angleMax = 135.f, float anchorAngle = -135.f,
                EDirection direction = EDirection::Vertical, double gearing = kDefaultGearing);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  virtual void DrawIndicatorTrack(IGraphics& g, float angle, float cx, float cy, float radius);
  virtual void DrawPointer(IGraphics& g, float angle, float cx, float cy, float radius);

  IBounds GetKnobDragBounds() override;
  void OnInit() override;
  void OnMouseDown(float x, float y, const IMouseKeys& mod) override;
  void OnMouseUp(float x, float y, const IMouseKeys& mod) override;
  void OnResize() override;
  bool IsHit(float x, float y) const override;

  float GetAnchorAngle() const { return mAnchorAngle; }

protected:
  float mHandleInsetPx = 4.f;
  float mPointerLengthFrac = 0.1f;
  bool mPointerIsLine = true;
  float mPointerThickness = 2.5f;
  float mAngleMin;
  float mAngleMax;
  float mAnchorAngle;
  bool mValueMouseOver = false;
  bool mValueIsEditable;
};

} // namespace igraphics
