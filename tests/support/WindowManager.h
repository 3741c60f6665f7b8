#pragma once

// A desktop's window manager for the window tests: Debian's openbox on a test
// display, started for one test and ended with it. Include after gtest
// (Xlib's macros break its headers). Running() is false when openbox is not
// installed or does not take the display.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace calvorin_test
{

class WindowManager
{
public:
  explicit WindowManager(const std::string& display)
  {
    Display* d = XOpenDisplay(display.c_str());
    if (!d)
      return;
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    XDeleteProperty(d, DefaultRootWindow(d), check); // a manager before this one may have left it
    XSync(d, False);
    mPid = fork();
    if (mPid == 0)
    {
      std::freopen("/dev/null", "w", stdout);
      std::freopen("/dev/null", "w", stderr);
      setenv("DISPLAY", display.c_str(), 1);
      execlp("openbox", "openbox", "--sm-disable", nullptr);
      _exit(127);
    }
    // Managing: the root window names the manager's check window.
    for (int i = 0; i < 100 && mPid > 0 && !mRunning; ++i)
    {
      Atom type = None;
      int format = 0;
      unsigned long n = 0, left = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW, &type, &format, &n, &left,
                             &data) == Success &&
          n == 1)
        mRunning = true;
      if (data)
        XFree(data);
      if (!mRunning && waitpid(mPid, nullptr, WNOHANG) == mPid)
        mPid = -1; // not installed, or another manager holds the display
      if (!mRunning)
        usleep(50000);
    }
    mRunning = mRunning && ManagesNewWindows(d);
    XCloseDisplay(d);
  }

  ~WindowManager()
  {
    if (mPid <= 0)
      return;
    kill(mPid, SIGTERM);
    waitpid(mPid, nullptr, 0);
  }

  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  bool Running() const { return mRunning; }

private:
  // openbox names its check window before it is done adopting the windows
  // that exist, and a window mapped meanwhile may stay unmapped: wait until a
  // new window gets mapped through it.
  static bool ManagesNewWindows(Display* d)
  {
    for (int attempt = 0; attempt < 10; ++attempt)
    {
      const Window probe = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 8, 8, 0, 0, 0);
      XMapWindow(d, probe);
      XSync(d, False);
      bool mapped = false;
      for (int i = 0; i < 25 && !mapped; ++i)
      {
        XWindowAttributes wa{};
        XGetWindowAttributes(d, probe, &wa);
        mapped = wa.map_state == IsViewable;
        if (!mapped)
          usleep(20000);
      }
      XDestroyWindow(d, probe);
      XSync(d, False);
      if (mapped)
        return true;
    }
    return false;
  }

  pid_t mPid = -1;
  bool mRunning = false;
};

} // namespace calvorin_test
