#include "vst3/host/win/HostWindow.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <tlhelp32.h>

#include <chrono>

namespace vst3host
{

namespace
{

constexpr wchar_t kClassName[] = L"Vst3HostWindow";

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_ERASEBKGND)
    return 1;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterHostClass()
{
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list)
{
  reinterpret_cast<std::vector<HWND__*>*>(list)->push_back(child);
  return TRUE;
}

LPARAM PointParam(int x, int y)
{
  return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))));
}

} // namespace

HostWindow::HostWindow(int width, int height)
{
  RegisterHostClass();
  RECT r{0, 0, width, height};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRect(&r, style, FALSE);
  mWindow = CreateWindowExW(0, kClassName, L"Calvorin test host", style | WS_VISIBLE, 0, 0, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  Pump(20);
}

HostWindow::~HostWindow()
{
  if (mWindow && IsWindow(mWindow))
    DestroyWindow(mWindow);
  Pump(10);
}

void HostWindow::Pump(int ms)
{
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do
  {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    // Sleeps until the next message (a timer's included) or the end.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() > 0)
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
  } while (std::chrono::steady_clock::now() < end);
}

std::vector<HWND__*> HostWindow::Children() const
{
  std::vector<HWND__*> children; // every descendant
  if (mWindow)
    EnumChildWindows(mWindow, CollectChild, reinterpret_cast<LPARAM>(&children));
  std::vector<HWND__*> direct;
  for (HWND child : children)
    if (GetParent(child) == mWindow)
      direct.push_back(child);
  return direct;
}

HWND__* HostWindow::FirstChild() const
{
  const auto children = Children();
  return children.empty() ? nullptr : children.front();
}

std::vector<std::uint32_t> HostWindow::CaptureChild(int x, int y, int width, int height) const
{
  std::vector<std::uint32_t> out;
  HWND child = FirstChild();
  if (!child || width <= 0 || height <= 0)
    return out;
  HDC source = GetDC(child);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height; // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits)
  {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY))
    {
      GdiFlush();
      const auto* pixels = static_cast<const std::uint32_t*>(bits);
      out.reserve(static_cast<size_t>(width) * height);
      for (int i = 0; i < width * height; ++i)
        out.push_back(pixels[i] & 0xffffff);
    }
    SelectObject(memory, previous);
  }
  if (bitmap)
    DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(child, source);
  return out;
}

void HostWindow::Post(unsigned int msg, unsigned long long wParam, int x, int y)
{
  HWND child = FirstChild();
  if (!child)
    return;
  PostMessageW(child, msg, static_cast<WPARAM>(wParam), PointParam(x, y));
  Pump(20);
}

void HostWindow::MoveMouse(int x, int y)
{
  Post(WM_MOUSEMOVE, mLeftHeld ? MK_LBUTTON : 0, x, y);
}

void HostWindow::LeaveMouse()
{
  Post(WM_MOUSELEAVE, 0, 0, 0);
}

void HostWindow::PressLeft(int x, int y)
{
  mLeftHeld = true;
  Post(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
}

void HostWindow::ReleaseLeft(int x, int y)
{
  mLeftHeld = false;
  Post(WM_LBUTTONUP, 0, x, y);
}

void HostWindow::Wheel(int x, int y, int delta, bool shift)
{
  HWND child = FirstChild();
  if (!child)
    return;
  // The wheel message carries screen coordinates.
  POINT p{x, y};
  ClientToScreen(child, &p);
  const WPARAM wParam = MAKEWPARAM(shift ? MK_SHIFT : 0, static_cast<WORD>(static_cast<short>(delta)));
  PostMessageW(child, WM_MOUSEWHEEL, wParam, PointParam(p.x, p.y));
  Pump(20);
}

vst3::tresult HostWindowFrame::resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize)
{
  if (!view || !newSize)
    return vst3::kInvalidArgument;
  mResizeRequests.push_back(*newSize);
  if (HWND window = mWindow.Handle())
  {
    RECT r{0, 0, newSize->right - newSize->left, newSize->bottom - newSize->top};
    AdjustWindowRect(&r, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE);
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOMOVE);
  }
  view->onSize(newSize);
  return vst3::kResultTrue;
}

GuiResourceCounts CountGuiResources()
{
  GuiResourceCounts counts;
  counts.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  counts.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot != INVALID_HANDLE_VALUE)
  {
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
      counts.threads += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
  }
  return counts;
}

} // namespace vst3host
