#pragma once

#include "graphics/CursorLock.h"
#include "graphics/IGraphics.h"

// Win32 types, kept out of this header so that users need no Windows headers.
struct HWND__;

namespace igraphics
{

// The editor as a WS_CHILD window of the host's HWND. It paints by copying
// the backbuffer's dirty regions to the window with GDI (WM_ERASEBKGND does
// nothing, so nothing flickers), and paces its frames with a 16 ms window
// timer that draws only when a control is dirty. Without a content scale from
// the host it follows the window's DPI, and WM_DPICHANGED. UI thread only.
class IGraphicsWin : public IGraphics
{
public:
  IGraphicsWin(iplug::IEditorDelegate& dlg, int w, int h, int fps = 60, float scale = 1.f);
  ~IGraphicsWin() override;

  // pParent is the host's HWND. Returns our child window, or nullptr when
  // the parent is not a window or ours cannot be made.
  void* OpenWindow(void* pParent) override;
  void CloseWindow() override;

  // A scale set from outside (the host's content scale) wins over the DPI.
  void SetScreenScale(float scale) override;

  void HideMouseCursor(bool hide = true, bool lock = true) override;
  ECursor SetMouseCursor(ECursor cursor) override;
  void MoveMouseCursor(float x, float y) override;

  HWND__* GetWindow() const { return mWindow; }
  bool IsWindowOpen() const { return mWindow != nullptr; }

  // The window procedure's work for one message of our window.
  long long HandleMessage(unsigned int msg, unsigned long long wParam, long long lParam);

protected:
  void PresentRegions(const std::vector<IBounds>& pixelRegions) override;
  void OnSurfaceResized() override;

private:
  void DestroyWindowAndState();
  void Paint();
  void ApplyCursor();
  void ReleaseCursorState();
  void OnButtonDown(int x, int y, bool right, bool doubleClick, unsigned long long wParam);
  void OnButtonUp(int x, int y, bool right, unsigned long long wParam);
  void OnMove(int x, int y, unsigned long long wParam);
  void OnWheel(int screenX, int screenY, int delta, unsigned long long wParam);
  void OnKey(unsigned long long vk, long long lParam, bool pressed);
  void OnDpiChanged(int dpi, const void* suggestedRect);

  HWND__* mWindow = nullptr;
  bool mHostScale = false;    // a content scale came from outside: ignore the DPI
  bool mTrackingLeave = false;
  bool mCursorHidden = false; // ShowCursor(FALSE) is in effect
  int mButtonsHeld = 0;       // bit 0 left, bit 1 right
  int mWheelRemainder = 0;    // platform units short of a whole notch
  int mLastX = 0;             // mouse in window pixels
  int mLastY = 0;
  // While the cursor is locked it is put back to its point (screen pixels) after each move.
  CursorLock mCursorLock;
};

} // namespace igraphics
