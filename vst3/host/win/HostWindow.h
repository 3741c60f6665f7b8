#pragma once

// A host's top-level window for a plug-in editor to open in, on Windows: the
// parent HWND a host hands to IPlugView::attached. The caller pumps the
// thread's message loop, reads pixels back from the window and posts mouse
// input to the editor's child window, as a user's hand would send it.

#include "vst3/abi/PlugView.h"
#include "vst3/host/ComObject.h"

#include <cstdint>
#include <vector>

struct HWND__;

namespace vst3host
{

class HostWindow
{
public:
  // A visible window at the desktop's origin whose client area is width × height.
  HostWindow(int width, int height);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND__* Handle() const { return mWindow; }
  // Runs this thread's message loop (window messages and thread timers) for ms milliseconds.
  static void Pump(int ms);

  // The child windows directly inside ours.
  std::vector<HWND__*> Children() const;
  // Client-area pixels of the window's first child, 0xRRGGBB, row by row;
  // empty when there is no child or the read fails.
  std::vector<std::uint32_t> CaptureChild(int x, int y, int width, int height) const;

  // Mouse input to the first child, in its client pixels. Each call posts the
  // message and pumps until it has been handled.
  void MoveMouse(int x, int y);
  // The pointer left, as Windows reports it to a window that tracks leaving.
  void LeaveMouse();
  void PressLeft(int x, int y);
  void ReleaseLeft(int x, int y);
  void Wheel(int x, int y, int delta, bool shift = false);

private:
  HWND__* FirstChild() const;
  void Post(unsigned int msg, unsigned long long wParam, int x, int y);

  HWND__* mWindow = nullptr;
  bool mLeftHeld = false;
};

// The host's frame around a view opened in a HostWindow: a resize request
// resizes the window's client area, is recorded, and is answered with onSize
// within the call, as hosts do.
class HostWindowFrame final : public ComObject<vst3::IPlugFrame>
{
public:
  explicit HostWindowFrame(HostWindow& window) : mWindow(window) {}
  vst3::tresult VST3_CALL resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize) override;
  const std::vector<vst3::ViewRect>& ResizeRequests() const { return mResizeRequests; }

private:
  HostWindow& mWindow;
  std::vector<vst3::ViewRect> mResizeRequests;
};

// Window-system objects this process holds: GDI and USER objects as Windows
// counts them (GetGuiResources; wine may answer 0), and threads.
struct GuiResourceCounts
{
  unsigned long gdiObjects = 0;
  unsigned long userObjects = 0;
  int threads = 0;
};
GuiResourceCounts CountGuiResources();

} // namespace vst3host
