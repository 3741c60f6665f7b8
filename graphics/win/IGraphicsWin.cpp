#include "graphics/win/IGraphicsWin.h"

#include "core/IEditorDelegate.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace igraphics
{

namespace
{

constexpr wchar_t kWindowClassName[] = L"IPlugWndClass";
constexpr UINT_PTR kFrameTimerId = 1;
constexpr UINT kFrameTimerMs = iplug::IEditorContext::kPlatformTimerMs;
constexpr UINT kDpiChanged = 0x02E0;            // WM_DPICHANGED
constexpr UINT kDpiChangedAfterParent = 0x02E3; // WM_DPICHANGED_AFTERPARENT
constexpr float kBaseDpi = 96.f;

// Windows of our class that exist in this module; the class is registered
// while there is one. UI thread only, like every editor call.
int gOpenWindows = 0;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NCCREATE)
  {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (graphics && graphics->GetWindow() == hwnd)
    return static_cast<LRESULT>(graphics->HandleMessage(msg, wParam, lParam));
  if (graphics && msg == WM_NCDESTROY)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The module that holds this code (the plug-in DLL, not the host's exe).
HINSTANCE ThisModule()
{
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&WindowProc), &module);
  return module;
}

bool AcquireWindowClass()
{
  if (gOpenWindows == 0)
  {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ThisModule();
    wc.hCursor = nullptr; // WM_SETCURSOR picks the shape
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kWindowClassName;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      return false;
  }
  ++gOpenWindows;
  return true;
}

void ReleaseWindowClass()
{
  if (gOpenWindows > 0 && --gOpenWindows == 0)
    UnregisterClassW(kWindowClassName, ThisModule());
}

// GetDpiForWindow exists from Windows 10 1607 on: looked up at run time, with
// the screen's DPI as the fallback.
UINT WindowDpi(HWND hwnd)
{
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && hwnd)
    if (const UINT dpi = getDpiForWindow(hwnd); dpi > 0)
      return dpi;
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen)
    ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : static_cast<UINT>(kBaseDpi);
}

// The system cursor for a kind (IDC_* are resource numbers, cast to a pointer).
LPCWSTR CursorResource(ECursor cursor)
{
  const auto id = [](LPCSTR resource) { return reinterpret_cast<LPCWSTR>(resource); };
  switch (cursor)
  {
    case ECursor::ARROW: return id(IDC_ARROW);
    case ECursor::IBEAM: return id(IDC_IBEAM);
    case ECursor::WAIT: return id(IDC_WAIT);
    case ECursor::CROSS: return id(IDC_CROSS);
    case ECursor::UPARROW: return id(IDC_UPARROW);
    case ECursor::SIZENWSE: return id(IDC_SIZENWSE);
    case ECursor::SIZENESW: return id(IDC_SIZENESW);
    case ECursor::SIZEWE: return id(IDC_SIZEWE);
    case ECursor::SIZENS: return id(IDC_SIZENS);
    case ECursor::SIZEALL: return id(IDC_SIZEALL);
    case ECursor::INO: return id(IDC_NO);
    case ECursor::HAND: return id(IDC_HAND);
    case ECursor::APPSTARTING: return id(IDC_APPSTARTING);
    case ECursor::HELP: return id(IDC_HELP);
  }
  return id(IDC_ARROW);
}

IMouseKeys KeysFromWParam(WPARAM wParam)
{
  IMouseKeys mod;
  mod.L = (wParam & MK_LBUTTON) != 0;
  mod.R = (wParam & MK_RBUTTON) != 0;
  mod.S = (wParam & MK_SHIFT) != 0;
  mod.C = (wParam & MK_CONTROL) != 0;
  mod.A = GetKeyState(VK_MENU) < 0;
  return mod;
}

int LowWordX(LPARAM lParam) { return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam))); }
int HighWordY(LPARAM lParam) { return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam))); }

} // namespace

IGraphicsWin::IGraphicsWin(iplug::IEditorDelegate& dlg, int w, int h, int fps, float scale)
  : IGraphics(dlg, w, h, fps, scale)
{
}

IGraphicsWin::~IGraphicsWin()
{
  DestroyWindowAndState();
}

void* IGraphicsWin::OpenWindow(void* pParent)
{
  if (mWindow)
    return mWindow;
  HWND parent = static_cast<HWND>(pParent);
  if (!parent || !IsWindow(parent))
    return nullptr;
  if (!mHostScale)
    IGraphics::SetScreenScale(static_cast<float>(WindowDpi(parent)) / kBaseDpi);
  if (!AcquireWindowClass())
    return nullptr;

  HWND window = CreateWindowExW(0, kWindowClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, PixelWidth(),
                                PixelHeight(), parent, nullptr, ThisModule(), this);
  if (!window)
  {
    ReleaseWindowClass();
    return nullptr;
  }
  mWindow = window;
  SetTimer(mWindow, kFrameTimerId, kFrameTimerMs, nullptr);
  SetAllControlsDirty();
  DrawAll();
  return mWindow;
}

void IGraphicsWin::CloseWindow()
{
  DestroyWindowAndState();
  IGraphics::CloseWindow();
}

void IGraphicsWin::DestroyWindowAndState()
{
  ReleaseCursorState();
  if (HWND window = mWindow)
  {
    mWindow = nullptr; // nothing reaches us from here on
    if (IsWindow(window))
    {
      KillTimer(window, kFrameTimerId);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      DestroyWindow(window);
    }
    ReleaseWindowClass();
  }
  mButtonsHeld = 0;
  mTrackingLeave = false;
  mWheelRemainder = 0;
}

void IGraphicsWin::SetScreenScale(float scale)
{
  if (scale > 0.f && std::isfinite(scale))
    mHostScale = true;
  IGraphics::SetScreenScale(scale);
}

long long IGraphicsWin::HandleMessage(unsigned int msg, unsigned long long wParam, long long lParam)
{
  HWND hwnd = mWindow;
  switch (msg)
  {
    case WM_TIMER:
      if (wParam == kFrameTimerId)
      {
        OnFrame(); // draws only what is dirty
        return 0;
      }
      break;
    case WM_ERASEBKGND: return 1; // the backbuffer covers every pixel
    case WM_PAINT: Paint(); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      OnButtonDown(LowWordX(lParam), HighWordY(lParam), msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK,
                   msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK, wParam);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: OnButtonUp(LowWordX(lParam), HighWordY(lParam), msg == WM_RBUTTONUP, wParam); return 0;
    case WM_MOUSEMOVE: OnMove(LowWordX(lParam), HighWordY(lParam), wParam); return 0;
    case WM_MOUSELEAVE:
      mTrackingLeave = false;
      if (mButtonsHeld == 0)
        OnMouseOut();
      return 0;
    case WM_CAPTURECHANGED:
      // Capture taken away mid-drag (another window, a dialog): end the drag here.
      if (mButtonsHeld != 0 && reinterpret_cast<HWND>(lParam) != hwnd)
      {
        IMouseKeys mod;
        mod.L = (mButtonsHeld & 1) != 0;
        mod.R = (mButtonsHeld & 2) != 0;
        const float s = GetTotalScale();
        const float x = mCursorLock.X(mLastX / s);
        const float y = mCursorLock.Y(mLastY / s);
        mButtonsHeld = 0;
        ReleaseCursorState();
        OnMouseUp(x, y, mod);
      }
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(LowWordX(lParam), HighWordY(lParam), GET_WHEEL_DELTA_WPARAM(static_cast<WPARAM>(wParam)), wParam);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(static_cast<DWORD_PTR>(lParam)) == HTCLIENT)
      {
        ApplyCursor();
        return TRUE;
      }
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      OnKey(wParam, lParam, msg == WM_KEYDOWN);
      return 0;
    case kDpiChanged: OnDpiChanged(HIWORD(static_cast<DWORD_PTR>(wParam)), reinterpret_cast<const void*>(lParam)); return 0;
    case kDpiChangedAfterParent: OnDpiChanged(static_cast<int>(WindowDpi(hwnd)), nullptr); return 0;
    case WM_NCDESTROY:
      // The host destroyed its window, and ours with it, before closing us.
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      mWindow = nullptr;
      mButtonsHeld = 0;
      ReleaseCursorState();
      ReleaseWindowClass();
      break;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

void IGraphicsWin::Paint()
{
  PAINTSTRUCT ps{};
  if (!BeginPaint(mWindow, &ps))
    return;
  const RECT& r = ps.rcPaint;
  EndPaint(mWindow, &ps);
  // The backbuffer already holds the picture: copy, do not redraw.
  PresentRegions({IBounds(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
                          static_cast<float>(r.bottom))});
}

void IGraphicsWin::PresentRegions(const std::vector<IBounds>& pixelRegions)
{
  cairo_surface_t* back = Backbuffer();
  if (!mWindow || !back)
    return;
  cairo_surface_flush(back);
  const int w = cairo_image_surface_get_width(back);
  const int h = cairo_image_surface_get_height(back);
  const int stride = cairo_image_surface_get_stride(back);
  unsigned char* pixels = cairo_image_surface_get_data(back);
  if (!pixels || stride % 4 != 0)
    return;
  HDC dc = GetDC(mWindow);
  if (!dc)
    return;
  for (const IBounds& r : pixelRegions)
  {
    const int x0 = std::clamp(static_cast<int>(std::floor(r.L)), 0, w);
    const int y0 = std::clamp(static_cast<int>(std::floor(r.T)), 0, h);
    const int x1 = std::clamp(static_cast<int>(std::ceil(r.R)), 0, w);
    const int y1 = std::clamp(static_cast<int>(std::ceil(r.B)), 0, h);
    if (x1 <= x0 || y1 <= y0)
      continue;
    // The region's rows as a top-down image of their own, so the source
    // starts at row 0 and no DIB origin rule is involved. cairo's ARGB32 is
    // GDI's 32-bit BGRX in memory.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = stride / 4;
    info.bmiHeader.biHeight = -(y1 - y0);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, x0, y0, x1 - x0, y1 - y0, x0, 0, x1 - x0, y1 - y0, pixels + static_cast<size_t>(y0) * stride,
                  &info, DIB_RGB_COLORS, SRCCOPY);
  }
  ReleaseDC(mWindow, dc);
}

void IGraphicsWin::OnSurfaceResized()
{
  if (mWindow)
    SetWindowPos(mWindow, nullptr, 0, 0, PixelWidth(), PixelHeight(), SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void IGraphicsWin::OnButtonDown(int x, int y, bool right, bool doubleClick, unsigned long long wParam)
{
  const float s = GetTotalScale();
  IMouseKeys mod = KeysFromWParam(static_cast<WPARAM>(wParam));
  mod.L = !right;
  mod.R = right;
  if (mButtonsHeld == 0)
    SetCapture(mWindow);
  mButtonsHeld |= right ? 2 : 1;
  mLastX = x;
  mLastY = y;
  if (doubleClick)
    OnMouseDblClick(x / s, y / s, mod);
  else
    OnMouseDown(x / s, y / s, mod);
}

void IGraphicsWin::OnButtonUp(int x, int y, bool right, unsigned long long wParam)
{
  const int bit = right ? 2 : 1;
  if ((mButtonsHeld & bit) == 0)
    return; // a release whose press went elsewhere
  mButtonsHeld &= ~bit;
  const float s = GetTotalScale();
  IMouseKeys mod = KeysFromWParam(static_cast<WPARAM>(wParam));
  mod.L = !right;
  mod.R = right;
  const float ux = mCursorLock.X(x / s);
  const float uy = mCursorLock.Y(y / s);
  if (mButtonsHeld == 0 && GetCapture() == mWindow)
    ReleaseCapture(); // its WM_CAPTURECHANGED sees no button held
  OnMouseUp(ux, uy, mod);
}

void IGraphicsWin::OnMove(int x, int y, unsigned long long wParam)
{
  if (!mTrackingLeave)
  {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, mWindow, 0};
    mTrackingLeave = TrackMouseEvent(&track) != 0;
  }
  const float s = GetTotalScale();
  const IMouseKeys mod = KeysFromWParam(static_cast<WPARAM>(wParam));
  if (mButtonsHeld == 0)
  {
    mLastX = x;
    mLastY = y;
    OnMouseOver(x / s, y / s, mod);
    return;
  }
  if (mCursorLock.Active())
  {
    POINT p{x, y};
    ClientToScreen(mWindow, &p);
    if (const auto step = mCursorLock.Move(p.x, p.y, s))
    {
      OnMouseDrag(step->x, step->y, step->dx, step->dy, mod);
      if (mCursorLock.Active())
        SetCursorPos(mCursorLock.PointX(), mCursorLock.PointY());
    }
    return;
  }
  const float dx = (x - mLastX) / s, dy = (y - mLastY) / s;
  mLastX = x;
  mLastY = y;
  if (dx != 0.f || dy != 0.f)
    OnMouseDrag(x / s, y / s, dx, dy, mod);
}

void IGraphicsWin::OnWheel(int screenX, int screenY, int delta, unsigned long long wParam)
{
  // Fine-grained wheels send less than a notch at a time: they add up.
  mWheelRemainder += delta;
  const int notches = WheelNotches(mWheelRemainder);
  if (notches == 0)
    return;
  mWheelRemainder -= notches * 120;
  POINT p{screenX, screenY};
  ScreenToClient(mWindow, &p);
  const float s = GetTotalScale();
  OnMouseWheel(p.x / s, p.y / s, KeysFromWParam(static_cast<WPARAM>(wParam)), static_cast<float>(notches));
}

void IGraphicsWin::OnKey(unsigned long long vk, long long lParam, bool pressed)
{
  IKeyPress key;
  key.vk = static_cast<int>(vk);
  key.S = GetKeyState(VK_SHIFT) < 0;
  key.C = GetKeyState(VK_CONTROL) < 0;
  key.A = GetKeyState(VK_MENU) < 0;
  BYTE state[256] = {};
  wchar_t chars[4] = {};
  if (GetKeyboardState(state))
  {
    const UINT scan = (static_cast<UINT>(lParam) >> 16) & 0xff;
    // Flag 4: leave the keyboard's dead-key state alone.
    if (ToUnicode(static_cast<UINT>(vk), scan, state, chars, 4, 4) == 1 && chars[0] > 0 && chars[0] < 0x80)
      key.utf8[0] = static_cast<char>(chars[0]);
  }
  const float s = GetTotalScale();
  if (pressed)
    OnKeyDown(mLastX / s, mLastY / s, key);
  else
    OnKeyUp(mLastX / s, mLastY / s, key);
}

void IGraphicsWin::OnDpiChanged(int dpi, const void*)
{
  if (mHostScale || dpi <= 0)
    return; // the host's content scale wins
  IGraphics::SetScreenScale(static_cast<float>(dpi) / kBaseDpi);
  if (iplug::IEditorDelegate* delegate = GetDelegate())
    delegate->ResizeFromEditor(PixelWidth(), PixelHeight(), true);
}

void IGraphicsWin::HideMouseCursor(bool hide, bool lock)
{
  IGraphics::HideMouseCursor(hide, lock);
  if (!mWindow)
    return;
  if (hide)
  {
    if (!mCursorHidden)
    {
      ShowCursor(FALSE);
      mCursorHidden = true;
    }
    if (lock && !mCursorLock.Active())
    {
      POINT p{mLastX, mLastY};
      ClientToScreen(mWindow, &p);
      const float s = GetTotalScale();
      mCursorLock.Engage(p.x, p.y, mLastX / s, mLastY / s);
    }
  }
  else
  {
    ReleaseCursorState();
  }
}

void IGraphicsWin::ReleaseCursorState()
{
  if (mCursorHidden)
  {
    ShowCursor(TRUE);
    mCursorHidden = false;
  }
  // The pointer stays where the drag began (mLastX/mLastY), where it was held.
  mCursorLock.Release();
}

ECursor IGraphicsWin::SetMouseCursor(ECursor cursor)
{
  const ECursor previous = IGraphics::SetMouseCursor(cursor);
  ApplyCursor();
  return previous;
}

void IGraphicsWin::ApplyCursor()
{
  if (!mWindow)
    return;
  // Shared system cursors: nothing to free.
  SetCursor(LoadCursorW(nullptr, CursorResource(GetMouseCursor())));
}

void IGraphicsWin::MoveMouseCursor(float x, float y)
{
  if (!mWindow)
    return;
  const float s = GetTotalScale();
  mLastX = static_cast<int>(std::lround(x * s));
  mLastY = static_cast<int>(std::lround(y * s));
  POINT p{mLastX, mLastY};
  ClientToScreen(mWindow, &p);
  SetCursorPos(p.x, p.y);
}

} // namespace igraphics
