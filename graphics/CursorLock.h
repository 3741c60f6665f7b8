#pragma once

// The hidden, locked cursor of a fine drag. While it is engaged the platform
// window puts the pointer back at the lock point after every move, and the
// controls see a virtual position that follows the moves, so a drag never
// stops at the edge of the screen. Pointer positions are in the platform's
// pixels, in whatever frame the lock point is given; the virtual position is
// in the editor's units (pixels divided by the scale).

#include <optional>

namespace igraphics
{

class CursorLock
{
public:
  struct Step
  {
    float x, y;   // the virtual position after the move
    float dx, dy; // the move
  };

  // Locks at the pointer's position (pointX, pointY), where the drag stands at (x, y).
  void Engage(int pointX, int pointY, float x, float y)
  {
    mActive = true;
    mPointX = pointX;
    mPointY = pointY;
    mX = x;
    mY = y;
  }

  void Release() { mActive = false; }
  bool Active() const { return mActive; }

  // Where the platform puts the pointer back to.
  int PointX() const { return mPointX; }
  int PointY() const { return mPointY; }

  // The drag step for a pointer move to (pointX, pointY); none for the echo
  // of the platform's own warp back to the lock point.
  std::optional<Step> Move(int pointX, int pointY, float scale)
  {
    const float dx = static_cast<float>(pointX - mPointX) / scale;
    const float dy = static_cast<float>(pointY - mPointY) / scale;
    if (pointX == mPointX && pointY == mPointY)
      return std::nullopt;
    mX += dx;
    mY += dy;
    return Step{mX, mY, dx, dy};
  }

  // Where a press or release lands for the controls: the virtual position
  // while locked, else the pointer's own.
  float X(float pointerX) const { return mActive ? mX : pointerX; }
  float Y(float pointerY) const { return mActive ? mY : pointerY; }

private:
  bool mActive = false;
  int mPointX = 0;
  int mPointY = 0;
  float mX = 0.f;
  float mY = 0.f;
};

} // namespace igraphics
