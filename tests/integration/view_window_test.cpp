// The real module's editor in a real window: our host code makes a parent
// window on a private Xvfb server, lends the view its frame and run loop and
// drives that loop itself. Skipped when Xvfb cannot be started.

#include "ModuleFixture.h"

#include "vst3/host/PlugFrame.h"

#include <gtest/gtest.h>

// After gtest: Xlib's macros would break its headers.
#include "tests/support/XvfbServer.h"

#include <chrono>

// cairo's Xlib back end keeps a few small per-display records that it does
// not free when the connection closes (see tests/graphics/window_test.cpp).
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libcairo.so.2\n";
}

using namespace calvorin_test;

namespace
{

class ModuleViewWindow : public ModuleTest
{
protected:
  void SetUp() override
  {
    XvfbServer& x = XvfbServer::Get();
    if (!x.Running())
      GTEST_SKIP() << "Xvfb could not be started";
    setenv("DISPLAY", x.Name().c_str(), 1);
    ModuleTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
      return;
    display = XOpenDisplay(x.Name().c_str());
    ASSERT_NE(display, nullptr);
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1100, 800, 0, 0, 0x202020);
    XMapWindow(display, parent);
    XSync(display, False);
    frame = vst3host::MakeCom<vst3host::PlugFrame>();
  }

  void TearDown() override
  {
    if (view)
    {
      view->release();
      view = nullptr;
    }
    frame = {};
    ModuleTest::TearDown();
    if (display)
    {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
  }

  void* ParentHandle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)); }

  // The host's run loop for a while: the editor's X events, its 16 ms frame
  // timer and the plug-in's 20 ms idle timer.
  void Pump(int ms)
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
      frame->RunOnce(5);
  }

  vst3::IPlugView* CreateView()
  {
    view = plugin->Controller()->createView("editor");
    return view;
  }

  Display* display = nullptr;
  Window parent = 0;
  vst3host::ComPtr<vst3host::PlugFrame> frame;
  vst3::IPlugView* view = nullptr;
};

XWindowAttributes OnlyChild(Display* d, Window parent)
{
  XWindowAttributes wa{};
  Window root = 0, p = 0, *children = nullptr;
  unsigned n = 0;
  if (XQueryTree(d, parent, &root, &p, &children, &n) && n == 1)
    XGetWindowAttributes(d, children[0], &wa);
  if (children)
    XFree(children);
  return wa;
}

TEST_F(ModuleViewWindow, AttachOpensTheEditorInsideTheParentAndAsksTheHostForItsSizeOnce)
{
  ASSERT_NE(CreateView(), nullptr);
  ASSERT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), vst3::kResultTrue);
  vst3::ViewRect r{};
  ASSERT_EQ(view->getSize(&r), vst3::kResultOk);
  EXPECT_EQ(r.right - r.left, 680);
  EXPECT_EQ(r.bottom - r.top, 360);

  ASSERT_EQ(view->setFrame(frame.Get()), vst3::kResultTrue);
  ASSERT_EQ(view->attached(ParentHandle(), "X11EmbedWindowID"), vst3::kResultOk);
  XSync(display, False);
  ASSERT_EQ(frame->ResizeRequests().size(), 1u);
  EXPECT_EQ(frame->ResizeRequests()[0].right - frame->ResizeRequests()[0].left, 680);
  EXPECT_EQ(frame->ResizeRequests()[0].bottom - frame->ResizeRequests()[0].top, 392);
  ASSERT_EQ(view->getSize(&r), vst3::kResultOk);
  EXPECT_EQ(r.right, 680);
  EXPECT_EQ(r.bottom, 392);

  ASSERT_EQ(ChildWindowCount(display, parent), 1u);
  const XWindowAttributes wa = OnlyChild(display, parent);
  EXPECT_EQ(wa.width, 680);
  EXPECT_EQ(wa.height, 392);
  // The X connection's descriptor, the frame timer and the idle timer.
  EXPECT_EQ(frame->EventHandlers().size(), 1u);
  EXPECT_EQ(frame->Timers().size(), 2u);

  // Keys reach the open editor; none of its controls takes keys, so the host
  // keeps them (the key table itself is checked in-process).
  EXPECT_EQ(view->onKeyDown(0, 156, 0), vst3::kResultFalse);
  EXPECT_EQ(view->onKeyDown(0, 4, 0), vst3::kResultFalse);
  EXPECT_EQ(view->onKeyDown(' ', 0, vst3::kShiftKey), vst3::kResultFalse);
  EXPECT_EQ(view->onKeyUp(0, 7, 0), vst3::kResultFalse);
  Pump(50);

  view->setFrame(nullptr);
  EXPECT_EQ(view->removed(), vst3::kResultOk);
  XSync(display, False);
  EXPECT_EQ(ChildWindowCount(display, parent), 0u);
  EXPECT_TRUE(frame->EventHandlers().empty());
  EXPECT_TRUE(frame->Timers().empty());
  EXPECT_EQ(frame->ResizeRequests().size(), 1u);
}

TEST_F(ModuleViewWindow, ContentScaleSetBeforeAttachSizesTheWindowAtAttach)
{
  ASSERT_NE(CreateView(), nullptr);
  auto scaling = vst3host::QueryInterface<vst3::IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), vst3::kResultOk);
  vst3::ViewRect r{};
  view->getSize(&r);
  EXPECT_EQ(r.bottom, 360) << "nothing changes before the editor opens";

  view->setFrame(frame.Get());
  ASSERT_EQ(view->attached(ParentHandle(), "X11EmbedWindowID"), vst3::kResultOk);
  XSync(display, False);
  ASSERT_EQ(frame->ResizeRequests().size(), 1u);
  EXPECT_EQ(frame->ResizeRequests()[0].right, 1020);
  EXPECT_EQ(frame->ResizeRequests()[0].bottom, 588);
  view->getSize(&r);
  EXPECT_EQ(r.right, 1020);
  EXPECT_EQ(r.bottom, 588);
  XWindowAttributes wa = OnlyChild(display, parent);
  EXPECT_EQ(wa.width, 1020);
  EXPECT_EQ(wa.height, 588);

  // A new factor while open resizes window and host view again.
  EXPECT_EQ(scaling->setContentScaleFactor(1.f), vst3::kResultOk);
  XSync(display, False);
  ASSERT_EQ(frame->ResizeRequests().size(), 2u);
  EXPECT_EQ(frame->ResizeRequests()[1].right, 680);
  EXPECT_EQ(frame->ResizeRequests()[1].bottom, 392);
  wa = OnlyChild(display, parent);
  EXPECT_EQ(wa.width, 680);
  EXPECT_EQ(wa.height, 392);
  Pump(40);
  view->setFrame(nullptr);
  view->removed();
}

} // namespace
