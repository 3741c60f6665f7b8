// The editor window under a private Xvfb server: a test host makes the parent
// window and drives the editor like a host's run loop would; input arrives
// through XTest. Skipped when Xvfb cannot be started.

#include "TestControls.h"

#include "graphics/IPanelControl.h"
#include "graphics/linux/IGraphicsLinux.h"

#include <cairo.h>
#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool, Status) would break its headers.
#include "tests/support/PixelCompare.h"
#include "tests/support/XvfbServer.h"

#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdint>
#include <poll.h>

// cairo's Xlib back end keeps a few small per-display records (128 bytes seen)
// that it does not free when the connection closes; they do not grow with the
// number of windows opened (see the fifty-cycle test, which counts descriptors).
// Only leaks whose allocation stack lies in libcairo are ignored.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libcairo.so.2\n";
}

namespace igraphics::test
{
namespace
{

using calvorin_test::OpenFdCount;
using calvorin_test::XvfbServer;

std::string OutputPath(const std::string& name)
{
  return calvorin_test::TestOutputPng("graphics", name);
}

// A test host: its own connection, a parent window and a run loop that serves
// the editor's descriptor and its 16 ms timer.
class WindowTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    XvfbServer& x = XvfbServer::Get();
    if (!x.Running())
      GTEST_SKIP() << "Xvfb could not be started";
    setenv("DISPLAY", x.Name().c_str(), 1);
    mHost = XOpenDisplay(x.Name().c_str());
    ASSERT_NE(mHost, nullptr) << "cannot connect to Xvfb at " << x.Name();
    mParent = calvorin_test::OpenParentWindow(mHost, 800, 500);
  }

  void TearDown() override
  {
    if (mHost)
    {
      XDestroyWindow(mHost, mParent);
      XCloseDisplay(mHost);
    }
  }

  void RunLoop(IGraphics& g, int ms)
  {
    using clock = std::chrono::steady_clock;
    const auto end = clock::now() + std::chrono::milliseconds(ms);
    auto nextTick = clock::now();
    while (clock::now() < end)
    {
      pollfd p{g.GetPlatformEventFd(), POLLIN, 0};
      const int wait = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - clock::now()).count());
      if (p.fd >= 0 && poll(&p, 1, std::max(wait, 0)) > 0)
        g.OnPlatformEventsReadable();
      if (clock::now() >= nextTick)
      {
        g.OnPlatformTimer();
        nextTick += std::chrono::milliseconds(IGraphics::kPlatformTimerMs);
      }
    }
  }

  // The parent's pixels as the server has them.
  IRgba ScreenPixel(int x, int y)
  {
    XImage* img = XGetImage(mHost, mParent, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img)
      return COLOR_TRANSPARENT;
    const unsigned long p = XGetPixel(img, 0, 0);
    XDestroyImage(img);
    return {255, static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff), static_cast<int>(p & 0xff)};
  }

  void Screenshot(const std::string& name, int w, int h)
  {
    EXPECT_TRUE(calvorin_test::SaveWindowPng(mHost, mParent, w, h, OutputPath(name)));
  }

  void* ParentHandle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(mParent)); }

  Display* mHost = nullptr;
  Window mParent = 0;
};

TEST_F(WindowTest, OpensInsideTheParentDrawsTakesAClickAndCloses)
{
  Log log;
  RecordingDelegate dlg(log);
  IGraphicsLinux g(dlg, 680, 392);
  g.AttachPanelBackground(IFill(IRgba(255, 16, 17, 18)));
  auto* button = static_cast<RecordingControl*>(g.AttachControl(new RecordingControl({100, 100, 200, 150}, "A", log, 3)));
  button->drawFunc = [](IGraphics& gr, const IBounds& b) {
    gr.FillRect(COLOR_RED, b);
    gr.DrawText(ITextStyle(18.f, COLOR_WHITE), "CLICK", b);
  };

  void* handle = g.OpenWindow(ParentHandle());
  ASSERT_NE(handle, nullptr);
  const Window child = static_cast<Window>(reinterpret_cast<std::uintptr_t>(handle));

  Window root = 0, parentOfChild = 0, *children = nullptr;
  unsigned int nChildren = 0;
  XQueryTree(mHost, child, &root, &parentOfChild, &children, &nChildren);
  if (children)
    XFree(children);
  EXPECT_EQ(parentOfChild, mParent);
  XWindowAttributes wa{};
  ASSERT_TRUE(XGetWindowAttributes(mHost, child, &wa));
  EXPECT_EQ(wa.width, 680);
  EXPECT_EQ(wa.height, 392);
  EXPECT_EQ(wa.map_state, IsViewable);

  RunLoop(g, 150);
  Screenshot("window", 680, 392);
  EXPECT_EQ(ScreenPixel(105, 105), COLOR_RED);
  EXPECT_EQ(ScreenPixel(50, 50), IRgba(255, 16, 17, 18));
  EXPECT_EQ(ScreenPixel(700, 50), IRgba(255, 0x20, 0x20, 0x20)); // the parent outside our window

  // A real click through the server.
  XTestFakeMotionEvent(mHost, DefaultScreen(mHost), 150, 120, CurrentTime);
  XTestFakeButtonEvent(mHost, 1, True, CurrentTime);
  XTestFakeMotionEvent(mHost, DefaultScreen(mHost), 160, 110, CurrentTime);
  XTestFakeButtonEvent(mHost, 1, False, CurrentTime);
  XFlush(mHost);
  RunLoop(g, 150);
  EXPECT_EQ(log, (Log{"begin 3", "down A", "drag 10 -10 A", "up A", "end 3"}));
  float x, y;
  g.GetMouseDownPoint(x, y);
  EXPECT_FLOAT_EQ(x, 150.f);
  EXPECT_FLOAT_EQ(y, 120.f);

  // A change becomes visible at the next frames.
  button->drawFunc = [](IGraphics& gr, const IBounds& b) { gr.FillRect(COLOR_BLUE, b); };
  button->SetDirty(false);
  RunLoop(g, 60);
  EXPECT_EQ(ScreenPixel(105, 105), COLOR_BLUE);

  g.CloseWindow();
  XSync(mHost, False);
  children = nullptr;
  XQueryTree(mHost, mParent, &root, &parentOfChild, &children, &nChildren);
  if (children)
    XFree(children);
  EXPECT_EQ(nChildren, 0u);
  EXPECT_EQ(g.GetPlatformEventFd(), -1);
}

TEST_F(WindowTest, ScaleResizesTheWindowAndMapsTheMouse)
{
  Log log;
  RecordingDelegate dlg(log);
  IGraphicsLinux g(dlg, 200, 100);
  g.AttachControl(new RecordingControl({100, 50, 200, 100}, "A", log));
  void* handle = g.OpenWindow(ParentHandle());
  ASSERT_NE(handle, nullptr);
  g.Resize(200, 100, 2.f);
  RunLoop(g, 50);
  XWindowAttributes wa{};
  ASSERT_TRUE(XGetWindowAttributes(mHost, static_cast<Window>(reinterpret_cast<std::uintptr_t>(handle)), &wa));
  EXPECT_EQ(wa.width, 400);
  EXPECT_EQ(wa.height, 200);

  XTestFakeMotionEvent(mHost, DefaultScreen(mHost), 250, 150, CurrentTime); // (125, 75) in editor units
  XTestFakeButtonEvent(mHost, 1, True, CurrentTime);
  XTestFakeButtonEvent(mHost, 1, False, CurrentTime);
  XFlush(mHost);
  RunLoop(g, 100);
  EXPECT_EQ(log, (Log{"down A", "up A"}));
  float x, y;
  g.GetMouseDownPoint(x, y);
  EXPECT_FLOAT_EQ(x, 125.f);
  EXPECT_FLOAT_EQ(y, 75.f);
  g.CloseWindow();
}

TEST_F(WindowTest, BadParentsAndAVanishedParentAreSurvived)
{
  Log log;
  RecordingDelegate dlg(log);
  IGraphicsLinux g(dlg, 100, 100);
  EXPECT_EQ(g.OpenWindow(nullptr), nullptr);
  EXPECT_EQ(g.OpenWindow(reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x7ffffff))), nullptr);
  EXPECT_EQ(g.GetPlatformEventFd(), -1);

  // The host destroys the parent before closing the editor.
  Window other = XCreateSimpleWindow(mHost, DefaultRootWindow(mHost), 0, 0, 100, 100, 0, 0, 0);
  XMapWindow(mHost, other);
  XSync(mHost, False);
  ASSERT_NE(g.OpenWindow(reinterpret_cast<void*>(static_cast<std::uintptr_t>(other))), nullptr);
  XDestroyWindow(mHost, other);
  XSync(mHost, False);
  g.Resize(120, 120, 1.f); // requests on a window that no longer exists
  RunLoop(g, 50);
  g.CloseWindow();
  SUCCEED();
}

TEST_F(WindowTest, FollowsXEmbedMessagesAndIgnoresMalformedOnes)
{
  Log log;
  RecordingDelegate dlg(log);
  IGraphicsLinux g(dlg, 100, 100);
  ASSERT_NE(g.OpenWindow(ParentHandle()), nullptr);
  using M = XEmbedClient;
  const unsigned long gone = 0x7ffffff; // no such window
  struct Step
  {
    const char* what;
    int format;
    long message, data1;
    unsigned long embedder;
    bool active, focused;
  };
  const Step steps[] = {
    {"embedded", 32, M::kEmbeddedNotify, static_cast<long>(mParent), mParent, false, false},
    {"activated", 32, M::kWindowActivate, 0, mParent, true, false},
    {"focused", 32, M::kFocusIn, 0, mParent, true, true},
    {"an unknown message", 32, 99, 0, mParent, true, true},
    {"8-bit data", 8, M::kFocusOut, 0, mParent, true, true},
    {"focus out", 32, M::kFocusOut, 0, mParent, true, false},
    {"deactivated", 32, M::kWindowDeactivate, 0, mParent, false, false},
    {"embedded by a window that does not exist", 32, M::kEmbeddedNotify, static_cast<long>(gone), gone, false, false},
  };
  for (const Step& step : steps)
  {
    calvorin_test::SendXEmbed(mHost, g.GetWindow(), step.message, 0, step.data1, 0, step.format);
    XSync(mHost, False);
    RunLoop(g, 20);
    EXPECT_EQ(g.GetXEmbed().Embedder(), step.embedder) << step.what;
    EXPECT_EQ(g.GetXEmbed().WindowActive(), step.active) << step.what;
    EXPECT_EQ(g.GetXEmbed().Focused(), step.focused) << step.what;
  }
  EXPECT_TRUE(g.IsWindowOpen());
  g.CloseWindow();
}

TEST_F(WindowTest, OpeningAndClosingFiftyTimesLeaksNothing)
{
  Log log;
  RecordingDelegate dlg(log);
  IGraphicsLinux g(dlg, 680, 392);
  // A first cycle loads what stays for the process (fonts, Xlib's tables).
  g.AttachPanelBackground(IFill(COLOR_GRAY));
  ASSERT_NE(g.OpenWindow(ParentHandle()), nullptr);
  g.CloseWindow();
  const int fds = OpenFdCount();
  for (int i = 0; i < 50; ++i)
  {
    g.AttachPanelBackground(IFill(COLOR_GRAY));
    auto* c = static_cast<RecordingControl*>(g.AttachControl(new RecordingControl({10, 10, 100, 40}, "A", log)));
    c->drawFunc = [](IGraphics& gr, const IBounds& b) { gr.DrawText(ITextStyle(), "cycle", b); };
    ASSERT_NE(g.OpenWindow(ParentHandle()), nullptr);
    g.SetMouseCursor(ECursor::HAND);
    g.OnPlatformTimer();
    g.CloseWindow();
    EXPECT_EQ(g.NControls(), 0);
  }
  EXPECT_EQ(OpenFdCount(), fds); // every X connection was closed
}

} // namespace
} // namespace igraphics::test
