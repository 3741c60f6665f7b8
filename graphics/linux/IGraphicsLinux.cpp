#include "graphics/linux/IGraphicsLinux.h"

#include "graphics/linux/KeyCodes.h"
#include "graphics/linux/XErrorTrap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xfixes.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace igraphics
{

namespace
{

constexpr unsigned long kDoubleClickMs = 400;
constexpr int kDoubleClickSlopPx = 4;
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask;

unsigned int CursorFontShape(ECursor cursor)
{
  switch (cursor)
  {
    case ECursor::ARROW: return XC_left_ptr;
    case ECursor::IBEAM: return XC_xterm;
    case ECursor::WAIT: return XC_watch;
    case ECursor::CROSS: return XC_crosshair;
    case ECursor::UPARROW: return XC_sb_up_arrow;
    case ECursor::SIZENWSE: return XC_bottom_right_corner;
    case ECursor::SIZENESW: return XC_bottom_left_corner;
    case ECursor::SIZEWE: return XC_sb_h_double_arrow;
    case ECursor::SIZENS: return XC_sb_v_double_arrow;
    case ECursor::SIZEALL: return XC_fleur;
    case ECursor::INO: return XC_X_cursor;
    case ECursor::HAND: return XC_hand2;
    case ECursor::APPSTARTING: return XC_watch;
    case ECursor::HELP: return XC_question_arrow;
  }
  return XC_left_ptr;
}

// True when a visual's pixels are cairo's native-endian ARGB32/RGB24 layout,
// so the backbuffer can be sent as it is.
bool HasBackbufferLayout(const Visual* visual, int depth)
{
  return visual && (depth == 24 || depth == 32) && visual->c_class == TrueColor && visual->red_mask == 0xff0000 &&
         visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
}

int HostByteOrder()
{
  const std::uint32_t probe = 1;
  unsigned char first = 0;
  std::memcpy(&first, &probe, 1);
  return first == 1 ? LSBFirst : MSBFirst;
}

unsigned int ButtonMask(unsigned int button)
{
  switch (button)
  {
    case Button1: return Button1Mask;
    case Button2: return Button2Mask;
    case Button3: return Button3Mask;
    default: return 0;
  }
}

} // namespace

IGraphicsLinux::IGraphicsLinux(iplug::IEditorDelegate& dlg, int w, int h, int fps, float scale)
  : IGraphics(dlg, w, h, fps, scale)
{
}

IGraphicsLinux::~IGraphicsLinux()
{
  CloseConnection();
}

void* IGraphicsLinux::OpenWindow(void* pParent)
{
  if (mWindow)
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(mWindow));
  CloseConnection();
  const Window parent = static_cast<Window>(reinterpret_cast<std::uintptr_t>(pParent));
  if (parent == 0)
    return nullptr;

  Display* display = XOpenDisplay(nullptr);
  if (!display)
    return nullptr;
  mDisplay = display;
  XErrorTrap::Register(display);

  XWindowAttributes pa{};
  const Status ok = XGetWindowAttributes(display, parent, &pa);
  XSync(display, False);
  if (!ok || XErrorTrap::TakeError(display) != 0 || pa.c_class == InputOnly)
  {
    CloseConnection();
    return nullptr;
  }

  // Frames go out with XPutImage straight from the backbuffer. (Through a cairo
  // Xlib surface, closing after a host destroyed the parent first could wait
  // forever for a shared-memory completion that never comes.)
  Visual* visual = pa.visual;
  int depth = pa.depth;
  Colormap colormap = pa.colormap;
  if (!HasBackbufferLayout(visual, depth))
  {
    XVisualInfo vi{};
    if (!XMatchVisualInfo(display, XScreenNumberOfScreen(pa.screen), 24, TrueColor, &vi) ||
        !HasBackbufferLayout(vi.visual, 24))
    {
      CloseConnection();
      return nullptr;
    }
    visual = vi.visual;
    depth = 24;
    mColormap = XCreateColormap(display, parent, visual, AllocNone);
    colormap = mColormap;
  }

  if (!mXEmbed.Connect(display))
  {
    CloseConnection();
    return nullptr;
  }

  XSetWindowAttributes wa{};
  wa.event_mask = kEventMask;
  wa.background_pixmap = None; // the server never clears it: no flicker between frames
  wa.bit_gravity = NorthWestGravity;
  wa.colormap = colormap;
  wa.border_pixel = 0;
  // An embedder reads _XEMBED_INFO when it learns of the new child: holding
  // the server for these few requests means no client sees the window without it.
  XGrabServer(display);
  const Window window =
    XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(PixelWidth()), static_cast<unsigned>(PixelHeight()), 0,
                  depth, InputOutput, visual, CWBackPixmap | CWEventMask | CWBitGravity | CWColormap | CWBorderPixel, &wa);
  mXEmbed.Announce(window);
  XUngrabServer(display);
  XSync(display, False);
  if (window == 0 || XErrorTrap::TakeError(display) != 0)
  {
    CloseConnection();
    return nullptr;
  }
  mWindow = window;
  mVisual = visual;
  mDepth = depth;
  mGC = XCreateGC(display, window, 0, nullptr);
  XMapWindow(display, window);
  XSync(display, False);
  if (XErrorTrap::TakeError(display) != 0)
  {
    CloseConnection();
    return nullptr;
  }
  ApplyCursor();
  SetAllControlsDirty();
  DrawAll();
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(mWindow));
}

void IGraphicsLinux::CloseWindow()
{
  CloseConnection();
  IGraphics::CloseWindow();
}

void IGraphicsLinux::CloseConnection()
{
  if (!mDisplay)
    return;
  if (mXCursorHidden && mWindow)
    XFixesShowCursor(mDisplay, mWindow);
  mXCursorHidden = false;
  mCursorLock.Release();
  if (mGC)
    XFreeGC(mDisplay, mGC);
  mGC = nullptr;
  for (const auto& [kind, cursor] : mCursors)
    XFreeCursor(mDisplay, cursor);
  mCursors.clear();
  if (mWindow)
    XDestroyWindow(mDisplay, mWindow); // may already be gone with its parent: trapped
  mWindow = 0;
  if (mColormap)
    XFreeColormap(mDisplay, mColormap);
  mColormap = 0;
  mVisual = nullptr;
  mXEmbed.Disconnect();
  XSync(mDisplay, False);
  XErrorTrap::Unregister(mDisplay);
  XCloseDisplay(mDisplay);
  mDisplay = nullptr;
  mButtonsHeld = 0;
}

int IGraphicsLinux::GetPlatformEventFd() const
{
  return mDisplay ? ConnectionNumber(mDisplay) : -1;
}

void IGraphicsLinux::OnPlatformEventsReadable()
{
  if (!mDisplay)
    return;
  while (mDisplay && XPending(mDisplay) > 0)
  {
    XEvent event;
    XNextEvent(mDisplay, &event);
    HandleEvent(&event);
  }
}

void IGraphicsLinux::OnPlatformTimer()
{
  OnPlatformEventsReadable();
  if (mWindow)
    OnFrame();
}

IMouseKeys IGraphicsLinux::KeysFromState(unsigned int state) const
{
  IMouseKeys mod;
  mod.L = (state & Button1Mask) != 0;
  mod.R = (state & Button3Mask) != 0;
  mod.S = (state & ShiftMask) != 0;
  mod.C = (state & ControlMask) != 0;
  mod.A = (state & Mod1Mask) != 0;
  return mod;
}

void IGraphicsLinux::HandleEvent(void* pEvent)
{
  XEvent& e = *static_cast<XEvent*>(pEvent);
  if (e.xany.window != mWindow || mWindow == 0)
    return;

  switch (e.type)
  {
    case Expose:
    {
      // The backbuffer already holds the picture: copy, do not redraw.
      PresentRegions({IBounds(static_cast<float>(e.xexpose.x), static_cast<float>(e.xexpose.y),
                              static_cast<float>(e.xexpose.x + e.xexpose.width),
                              static_cast<float>(e.xexpose.y + e.xexpose.height))});
      break;
    }
    case ButtonPress: HandleButtonPress(&e.xbutton); break;
    case ButtonRelease: HandleButtonRelease(&e.xbutton); break;
    case MotionNotify: HandleMotion(&e); break;
    case EnterNotify:
    case LeaveNotify: HandleCrossing(&e.xcrossing, e.type == EnterNotify); break;
    case KeyPress:
    case KeyRelease: HandleKey(&e.xkey, e.type == KeyPress); break;
    case ClientMessage: mXEmbed.HandleEvent(e); break;
    case DestroyNotify:
      // The host destroyed the parent (and with it our window) first.
      if (e.xdestroywindow.window == mWindow)
        mWindow = 0;
      break;
    default:
      break;
  }
}

void IGraphicsLinux::HandleCrossing(const void* pCrossingEvent, bool entered)
{
  const XCrossingEvent& c = *static_cast<const XCrossingEvent*>(pCrossingEvent);
  // A grab or its end is reported as a leave and an entry although the
  // pointer stayed put: a window manager's passive button grab does that
  // around every press. Only real crossings count, and none during a drag.
  if (c.mode != NotifyNormal || mButtonsHeld != 0)
    return;
  if (!entered)
  {
    OnMouseOut();
    return;
  }
  const float s = GetTotalScale();
  mLastX = c.x;
  mLastY = c.y;
  OnMouseOver(c.x / s, c.y / s, KeysFromState(c.state));
}

void IGraphicsLinux::HandleButtonPress(const void* pButtonEvent)
{
  const XButtonEvent& b = *static_cast<const XButtonEvent*>(pButtonEvent);
  const float s = GetTotalScale();
  IMouseKeys mod = KeysFromState(b.state);
  if (b.button == Button4 || b.button == Button5)
  {
    OnMouseWheel(b.x / s, b.y / s, mod, b.button == Button4 ? 1.f : -1.f);
    return;
  }
  if (b.button != Button1 && b.button != Button3)
    return;
  mod.L = b.button == Button1;
  mod.R = b.button == Button3;
  mButtonsHeld |= ButtonMask(b.button);
  mLastX = b.x;
  mLastY = b.y;
  const bool dbl = b.button == mLastPressButton && b.time - mLastPressTime < kDoubleClickMs &&
                   std::abs(b.x - mLastPressX) <= kDoubleClickSlopPx && std::abs(b.y - mLastPressY) <= kDoubleClickSlopPx;
  if (dbl)
  {
    mLastPressTime = 0; // a third click starts over
    OnMouseDblClick(b.x / s, b.y / s, mod);
  }
  else
  {
    mLastPressTime = b.time;
    mLastPressButton = b.button;
    mLastPressX = b.x;
    mLastPressY = b.y;
    OnMouseDown(b.x / s, b.y / s, mod);
  }
}

void IGraphicsLinux::HandleButtonRelease(const void* pButtonEvent)
{
  const XButtonEvent& b = *static_cast<const XButtonEvent*>(pButtonEvent);
  if (b.button != Button1 && b.button != Button3)
    return;
  const float s = GetTotalScale();
  mButtonsHeld &= ~ButtonMask(b.button);
  IMouseKeys mod = KeysFromState(b.state);
  mod.L = b.button == Button1;
  mod.R = b.button == Button3;
  OnMouseUp(mCursorLock.X(b.x / s), mCursorLock.Y(b.y / s), mod);
}

void IGraphicsLinux::HandleMotion(void* pEvent)
{
  XEvent& e = *static_cast<XEvent*>(pEvent);
  // Only the latest of consecutive moves matters; never merge across a
  // press or release.
  while (XPending(mDisplay) > 0)
  {
    XEvent next;
    XPeekEvent(mDisplay, &next);
    if (next.type != MotionNotify || next.xany.window != mWindow)
      break;
    XNextEvent(mDisplay, &e);
  }
  const float s = GetTotalScale();
  const XMotionEvent& m = e.xmotion;
  const IMouseKeys mod = KeysFromState(m.state);
  if (mButtonsHeld == 0)
  {
    mLastX = m.x;
    mLastY = m.y;
    OnMouseOver(m.x / s, m.y / s, mod);
  }
  else if (mCursorLock.Active())
  {
    if (const auto step = mCursorLock.Move(m.x, m.y, s))
    {
      OnMouseDrag(step->x, step->y, step->dx, step->dy, mod);
      if (mCursorLock.Active() && mDisplay && mWindow)
        XWarpPointer(mDisplay, None, mWindow, 0, 0, 0, 0, mCursorLock.PointX(), mCursorLock.PointY());
    }
  }
  else
  {
    const float dx = (m.x - mLastX) / s, dy = (m.y - mLastY) / s;
    mLastX = m.x;
    mLastY = m.y;
    OnMouseDrag(m.x / s, m.y / s, dx, dy, mod);
  }
}

void IGraphicsLinux::HandleKey(void* pKeyEvent, bool pressed)
{
  XKeyEvent& k = *static_cast<XKeyEvent*>(pKeyEvent);
  const float s = GetTotalScale();
  IKeyPress key;
  KeySym sym = 0;
  char buf[8] = {};
  const int n = XLookupString(&k, buf, sizeof(buf) - 1, &sym, nullptr);
  if (n == 1)
    key.utf8[0] = buf[0];
  key.vk = VirtualKeyFromKeySym(sym);
  key.S = (k.state & ShiftMask) != 0;
  key.C = (k.state & ControlMask) != 0;
  key.A = (k.state & Mod1Mask) != 0;
  if (pressed)
    OnKeyDown(k.x / s, k.y / s, key);
  else
    OnKeyUp(k.x / s, k.y / s, key);
}

void IGraphicsLinux::PresentRegions(const std::vector<IBounds>& pixelRegions)
{
  cairo_surface_t* back = Backbuffer();
  if (!mGC || !mWindow || !back)
    return;
  cairo_surface_flush(back);
  const int w = cairo_image_surface_get_width(back);
  const int h = cairo_image_surface_get_height(back);
  char* pixels = reinterpret_cast<char*>(cairo_image_surface_get_data(back));
  XImage* image = XCreateImage(mDisplay, static_cast<Visual*>(mVisual), static_cast<unsigned>(mDepth), ZPixmap, 0,
                               pixels, static_cast<unsigned>(w), static_cast<unsigned>(h), 32,
                               cairo_image_surface_get_stride(back));
  if (!image)
    return;
  image->byte_order = HostByteOrder(); // Xlib converts for a server of the other order
  if (pixels && image->bits_per_pixel == 32)
  {
    for (const IBounds& r : pixelRegions)
    {
      const int x0 = std::clamp(static_cast<int>(std::floor(r.L)), 0, w);
      const int y0 = std::clamp(static_cast<int>(std::floor(r.T)), 0, h);
      const int x1 = std::clamp(static_cast<int>(std::ceil(r.R)), 0, w);
      const int y1 = std::clamp(static_cast<int>(std::ceil(r.B)), 0, h);
      if (x1 > x0 && y1 > y0)
        XPutImage(mDisplay, mWindow, mGC, image, x0, y0, x0, y0, static_cast<unsigned>(x1 - x0),
                  static_cast<unsigned>(y1 - y0));
    }
  }
  image->data = nullptr; // the backbuffer's pixels stay cairo's
  XDestroyImage(image);
  XFlush(mDisplay);
}

void IGraphicsLinux::OnSurfaceResized()
{
  if (!mWindow)
    return;
  XResizeWindow(mDisplay, mWindow, static_cast<unsigned>(PixelWidth()), static_cast<unsigned>(PixelHeight()));
  XFlush(mDisplay);
}

void IGraphicsLinux::HideMouseCursor(bool hide, bool lock)
{
  IGraphics::HideMouseCursor(hide, lock);
  if (!mWindow)
    return;
  if (hide)
  {
    if (!mXCursorHidden)
    {
      XFixesHideCursor(mDisplay, mWindow);
      mXCursorHidden = true;
    }
    if (lock && !mCursorLock.Active())
    {
      const float s = GetTotalScale();
      mCursorLock.Engage(mLastX, mLastY, mLastX / s, mLastY / s);
    }
  }
  else
  {
    if (mXCursorHidden)
    {
      XFixesShowCursor(mDisplay, mWindow);
      mXCursorHidden = false;
    }
    mCursorLock.Release();
  }
  XFlush(mDisplay);
}

ECursor IGraphicsLinux::SetMouseCursor(ECursor cursor)
{
  const ECursor previous = IGraphics::SetMouseCursor(cursor);
  ApplyCursor();
  return previous;
}

void IGraphicsLinux::ApplyCursor()
{
  if (!mWindow)
    return;
  const int kind = static_cast<int>(GetMouseCursor());
  auto it = mCursors.find(kind);
  if (it == mCursors.end())
    it = mCursors.emplace(kind, XCreateFontCursor(mDisplay, CursorFontShape(GetMouseCursor()))).first;
  XDefineCursor(mDisplay, mWindow, it->second);
  XFlush(mDisplay);
}

void IGraphicsLinux::MoveMouseCursor(float x, float y)
{
  if (!mWindow)
    return;
  const float s = GetTotalScale();
  mLastX = static_cast<int>(std::lround(x * s));
  mLastY = static_cast<int>(std::lround(y * s));
  XWarpPointer(mDisplay, None, mWindow, 0, 0, 0, 0, mLastX, mLastY);
  XFlush(mDisplay);
}

} // namespace igraphics
