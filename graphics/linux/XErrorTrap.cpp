#include "graphics/linux/XErrorTrap.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace igraphics::XErrorTrap
{

namespace
{

// The handler may run on any thread that uses Xlib in the host, hence the lock.
std::mutex gMutex;
std::vector<std::pair<Display*, int>> gDisplays; // our connections and their last error
XErrorHandler gPrevious = nullptr;

int Handler(Display* display, XErrorEvent* event)
{
  XErrorHandler previous = nullptr;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    for (auto& [d, code] : gDisplays)
    {
      if (d == display)
      {
        code = event->error_code;
        return 0;
      }
    }
    previous = gPrevious;
  }
  return previous ? previous(display, event) : 0;
}

} // namespace

void Register(Display* display)
{
  std::lock_guard<std::mutex> lock(gMutex);
  if (gDisplays.empty())
    gPrevious = XSetErrorHandler(Handler);
  gDisplays.emplace_back(display, 0);
}

void Unregister(Display* display)
{
  std::lock_guard<std::mutex> lock(gMutex);
  gDisplays.erase(std::remove_if(gDisplays.begin(), gDisplays.end(), [display](const auto& e) { return e.first == display; }),
                  gDisplays.end());
  if (gDisplays.empty())
  {
    XErrorHandler current = XSetErrorHandler(gPrevious);
    if (current != Handler)
      XSetErrorHandler(current); // someone replaced ours since: leave theirs in place
    gPrevious = nullptr;
  }
}

int TakeError(Display* display)
{
  std::lock_guard<std::mutex> lock(gMutex);
  for (auto& [d, code] : gDisplays)
  {
    if (d == display)
      return std::exchange(code, 0);
  }
  return 0;
}

} // namespace igraphics::XErrorTrap
