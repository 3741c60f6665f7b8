#pragma once

// The plug-in's rotary control: a grooved track with a value arc, a shaded
// body with a pointer, and a shadowed label below, which shows the value
// with its unit while the knob is hovered or dragged.

#include "editor/IVKnobControl.h"

#include <string>

namespace igraphics
{

class Knob : public IVKnobControl
{
public:
  // bipolar: the value arc starts at twelve o'clock instead of -135 degrees.
  Knob(const IBounds& bounds, int paramIdx, const IVLook& look, const char* label, bool bipolar);

  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseKeys& mod) override;
  void OnResize() override;
  void Draw(IGraphics& g) override;
  void DrawLabel(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  void DrawIndicatorTrack(IGraphics& g, float angle, float cx, float cy, float radius) override;

  // Geometry of the drawing, exposed so tests can find the arc.
  float TrackRadius() const;
  float TrackSize() const { return mTrackSize; }
  float CurrentAngle() const;
  // The text under the knob: its label, or its value while in use.
  std::string LabelText() const;

private:
  int mBipolar;
  bool mInvert = false;
};

} // namespace igraphics
