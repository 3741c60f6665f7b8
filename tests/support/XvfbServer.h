#pragma once

// A private Xvfb server for the window tests, started once per test process,
// and what a test host needs around it: descriptor counts, a PNG of a window's
// pixels as the server holds them, XEmbed messages. Include after gtest: Xlib's
// macros (None, Bool, Status) break its headers. Tests skip when the server
// cannot be started (Running() is false).

#include <cairo.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <filesystem>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace calvorin_test
{

class XvfbServer
{
public:
  static XvfbServer& Get()
  {
    static XvfbServer server;
    return server;
  }

  bool Running() const { return mPid > 0 && !mName.empty(); }
  const std::string& Name() const { return mName; }

  ~XvfbServer()
  {
    if (mPid > 0)
    {
      kill(mPid, SIGTERM);
      waitpid(mPid, nullptr, 0);
    }
  }

private:
  XvfbServer()
  {
    // A display number unlikely to be taken, then wait until it answers.
    for (int attempt = 0; attempt < 5 && mName.empty(); ++attempt)
    {
      const int n = 100 + (getpid() * 7 + attempt * 131) % 800;
      const std::string number = std::to_string(n);
      if (std::filesystem::exists(std::string("/tmp/.X").append(number).append("-lock")))
        continue;
      const std::string name = std::string(":").append(number);
      mPid = fork();
      if (mPid == 0)
      {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1600x1200x24", "-nolisten", "tcp", "-noreset", nullptr);
        _exit(127);
      }
      if (mPid < 0)
        return;
      for (int i = 0; i < 100; ++i)
      {
        if (Display* d = XOpenDisplay(name.c_str()))
        {
          XCloseDisplay(d);
          mName = name;
          break;
        }
        if (waitpid(mPid, nullptr, WNOHANG) == mPid) // it gave up (display taken)
        {
          mPid = -1;
          break;
        }
        usleep(50000);
      }
      if (mName.empty() && mPid > 0)
      {
        kill(mPid, SIGTERM);
        waitpid(mPid, nullptr, 0);
        mPid = -1;
      }
    }
  }

  pid_t mPid = -1;
  std::string mName;
};

inline int OpenFdCount()
{
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
    ++n;
  return n;
}

// A pixel of a window as 0xRRGGBB; 0 when it cannot be read.
inline std::uint32_t WindowPixel(Display* d, Window w, int x, int y)
{
  XImage* img = XGetImage(d, w, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!img)
    return 0;
  const auto p = static_cast<std::uint32_t>(XGetPixel(img, 0, 0) & 0xffffff);
  XDestroyImage(img);
  return p;
}

// The top-left w x h pixels of a window (children included) written as a PNG.
inline bool SaveWindowPng(Display* d, Window window, int w, int h, const std::string& path)
{
  XImage* img = XGetImage(d, window, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (!img)
    return false;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  auto* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      *reinterpret_cast<std::uint32_t*>(data + y * stride + x * 4) = static_cast<std::uint32_t>(XGetPixel(img, x, y) & 0xffffff);
  cairo_surface_mark_dirty(s);
  const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  XDestroyImage(img);
  return ok;
}

// A test host's parent window: a mapped top-level window of the given size.
inline Window OpenParentWindow(Display* d, unsigned w, unsigned h)
{
  const Window parent = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, w, h, 0, 0, 0x202020);
  XMapWindow(d, parent);
  XSync(d, False);
  return parent;
}

// The number of direct children of a window.
inline unsigned ChildWindowCount(Display* d, Window w)
{
  Window root = 0, parent = 0, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &n))
    return 0;
  if (children)
    XFree(children);
  return n;
}

// An _XEMBED message as embedders send it: time, message, detail, data1, data2
// (another format only to test that malformed messages are ignored).
inline void SendXEmbed(Display* d, Window to, long message, long detail, long data1, long data2, int format = 32)
{
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = to;
  e.xclient.message_type = XInternAtom(d, "_XEMBED", False);
  e.xclient.format = format;
  e.xclient.data.l[0] = CurrentTime;
  e.xclient.data.l[1] = message;
  e.xclient.data.l[2] = detail;
  e.xclient.data.l[3] = data1;
  e.xclient.data.l[4] = data2;
  XSendEvent(d, to, False, NoEventMask, &e);
}

} // namespace calvorin_test
