#pragma once

// Edits a band's pull threshold (value 0, lower line) and push threshold
// (value 1, upper line) on one vertical track. The region below the pull line
// and the region above the push line are filled in the band colour.
//
// Each line has a 24-unit grab zone on its outer side; a drag moves the line
// whose zone holds the press, kept 0.1 from the other line and within
// 0.1..0.9 (see HandleRoom for lines a host placed closer). The press itself
// picks the line, not the last hover: a window manager's grab, a tablet or a
// touch screen may deliver a press with no hover at that point before it.
// While a line is hovered or dragged, its value shows beside it.

#include "editor/IVTrackControlBase.h"

#include <utility>

namespace igraphics
{

class ValueReadout;

class RangeSlider : public IVTrackControlBase
{
public:
  RangeSlider(const IBounds& bounds, const IVLook& look, std::initializer_list<int> params);

  void OnMouseDown(float x, float y, const IMouseKeys& mod) override;
  void OnMouseUp(float x, float y, const IMouseKeys& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseKeys& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseKeys& mod) override;
  void OnMouseOver(float x, float y, const IMouseKeys& mod) override;
  void OnMouseOut() override;
  void Draw(IGraphics& g) override;

  // Where the value of the hovered or dragged line is shown; none by default.
  void SetValueReadout(ValueReadout* readout) { mReadout = readout; }

  int GetSelectedHandle() const { return mSelectedHandle; }
  // Grab zone of a value's line: below the lowest line, above the others.
  IBounds HandleZone(int valIdx) const;
  // The first value whose grab zone holds the point (the pull line wins where
  // the zones overlap), or -1.
  int HandleAt(float x, float y) const;
  float LineY(double value) const;
  // The interval a drag may move a value's line in: kMinSpacing from its
  // neighbours and within kMinValue..kMaxValue; where a host has left no such
  // room, the part of 0..1 that keeps the spacing, else the room between the
  // neighbours' lines. Never empty.
  std::pair<double, double> HandleRoom(int valIdx) const;

  static constexpr double kMinSpacing = 0.1;
  static constexpr double kMinValue = 0.1;
  static constexpr double kMaxValue = 0.9;

protected:
  void MakeTrackRects(const IBounds& bounds) override;
  void DrawTrack(IGraphics& g, const IBounds& r, int chIdx) override;

private:
  // Shows the value of a line in the readout, or hides it for -1.
  void ShowValue(int valIdx);

  ValueReadout* mReadout = nullptr;
  int mSelectedHandle = -1;
  float mHandleZoneHeight = 24.f;
  bool mMouseDown = false;
};

} // namespace igraphics
