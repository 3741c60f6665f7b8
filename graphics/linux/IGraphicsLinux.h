#pragma once

#include "graphics/CursorLock.h"
#include "graphics/IGraphics.h"
#include "graphics/linux/XEmbedClient.h"

#include <map>

// Xlib types, kept out of this header so that users need no X headers.
struct _XDisplay;
struct _XGC;

namespace igraphics
{

// The editor as an X11 child window of the host's parent window, and an
// XEmbed client for the hosts that embed that way (it maps itself either way,
// so hosts that do not still show it). It paints by copying the backbuffer's
// dirty regions with XPutImage (the window's own background is never cleared
// by the server, so nothing flickers) and is driven entirely by the host's run
// loop: the X connection's descriptor and a 16 ms timer (see
// IGraphics::GetPlatformEventFd). UI thread only.
class IGraphicsLinux : public IGraphics
{
public:
  IGraphicsLinux(iplug::IEditorDelegate& dlg, int w, int h, int fps = 60, float scale = 1.f);
  ~IGraphicsLinux() override;

  // pParent is the host's X11 window id ("X11EmbedWindowID"). Opens a
  // connection to the display named by DISPLAY. Returns the child window id,
  // or nullptr when there is no display or the parent does not exist.
  void* OpenWindow(void* pParent) override;
  void CloseWindow() override;

  int GetPlatformEventFd() const override;
  void OnPlatformEventsReadable() override;
  void OnPlatformTimer() override;

  void HideMouseCursor(bool hide = true, bool lock = true) override;
  ECursor SetMouseCursor(ECursor cursor) override;
  void MoveMouseCursor(float x, float y) override;

  unsigned long GetWindow() const { return mWindow; }
  bool IsWindowOpen() const { return mWindow != 0; }
  const XEmbedClient& GetXEmbed() const { return mXEmbed; }

protected:
  void PresentRegions(const std::vector<IBounds>& pixelRegions) override;
  void OnSurfaceResized() override;

private:
  // Each takes the X event of its kind (XEvent, XButtonEvent, XKeyEvent...).
  void HandleEvent(void* pEvent);
  // An EnterNotify or LeaveNotify (XCrossingEvent).
  void HandleCrossing(const void* pCrossingEvent, bool entered);
  void HandleButtonPress(const void* pButtonEvent);
  void HandleButtonRelease(const void* pButtonEvent);
  // Coalesces the queued moves that follow into the event first.
  void HandleMotion(void* pEvent);
  void HandleKey(void* pKeyEvent, bool pressed);
  void CloseConnection();
  IMouseKeys KeysFromState(unsigned int state) const;
  void ApplyCursor();

  _XDisplay* mDisplay = nullptr;
  unsigned long mWindow = 0;
  // Presentation: a 24-bit TrueColor visual laid out like the backbuffer's
  // pixels; a colormap of our own only when the parent's visual is another.
  void* mVisual = nullptr;
  int mDepth = 0;
  unsigned long mColormap = 0;
  _XGC* mGC = nullptr;
  XEmbedClient mXEmbed;
  std::map<int, unsigned long> mCursors; // by ECursor, created on first use
  bool mXCursorHidden = false;

  // Mouse state in window pixels.
  int mLastX = 0;
  int mLastY = 0;
  unsigned int mButtonsHeld = 0;
  unsigned long mLastPressTime = 0;
  unsigned int mLastPressButton = 0;
  int mLastPressX = -1000;
  int mLastPressY = -1000;
  // While the cursor is locked the pointer is warped back to its point after each move.
  CursorLock mCursorLock;
};

} // namespace igraphics
