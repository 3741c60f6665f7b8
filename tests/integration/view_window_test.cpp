// The real module's editor in a real window: our host code makes a parent
// window on a private Xvfb server, lends the view its frame and run loop and
// drives that loop itself. Skipped when Xvfb cannot be started.

#include "ModuleFixture.h"

#include "vst3/host/EditorSnapshot.h"
#include "vst3/host/MemoryStream.h"
#include "vst3/host/PlugFrame.h"
#include "vst3/host/ProcessingSession.h"

#include <gtest/gtest.h>

// After gtest: Xlib's macros would break its headers.
#include "tests/support/PixelCompare.h"
#include "tests/support/ThresholdGrabs.h"
#include "tests/support/WindowManager.h"
#include "tests/support/XvfbServer.h"

#include <X11/extensions/XTest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

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
    parent = OpenParentWindow(display, 1100, 800);
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
  // Sets the session up for blocks of at most maxBlock frames of the given sample size.
  static void SetUpSession(vst3host::ProcessingSession& session, vst3::int32 sampleSize, vst3::int32 maxBlock)
  {
    vst3host::ProcessConfig config;
    config.symbolicSampleSize = sampleSize;
    config.maxSamplesPerBlock = maxBlock;
    ASSERT_EQ(session.Setup(config), vst3::kResultOk);
  }

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

  // Creates the view and opens the editor as hosts do, then lets it draw.
  void OpenEditor()
  {
    ASSERT_NE(CreateView(), nullptr);
    ASSERT_EQ(view->setFrame(frame.Get()), vst3::kResultTrue);
    ASSERT_EQ(view->attached(ParentHandle(), "X11EmbedWindowID"), vst3::kResultOk);
    Pump(100);
  }

  void CloseEditor()
  {
    view->setFrame(nullptr);
    view->removed();
    view->release();
    view = nullptr;
  }

  // Synthetic pointer input through the server, in parent-window pixels (the
  // parent sits at the root's origin and no window manager moves it).
  void MoveTo(int x, int y)
  {
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XFlush(display);
    Pump(20);
  }
  void Button(bool down)
  {
    XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
    XFlush(display);
    Pump(20);
  }

  std::vector<double> StateValues() const
  {
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(plugin->GetState(bytes), vst3::kResultOk);
    return ChunkValues(bytes);
  }

  // The 26 parameter values at the start of a state or preset chunk.
  static std::vector<double> ChunkValues(const std::vector<std::uint8_t>& bytes)
  {
    std::vector<double> values(26);
    if (bytes.size() >= values.size() * sizeof(double))
      std::memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
    return values;
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

TEST_F(ModuleViewWindow, AttachOpensTheEditorAtTheSizeGetSizeReportedBefore)
{
  ASSERT_NE(CreateView(), nullptr);
  ASSERT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), vst3::kResultTrue);
  vst3::ViewRect r{};
  ASSERT_EQ(view->getSize(&r), vst3::kResultOk);
  EXPECT_EQ(r.right - r.left, 680);
  EXPECT_EQ(r.bottom - r.top, 392);

  ASSERT_EQ(view->setFrame(frame.Get()), vst3::kResultTrue);
  ASSERT_EQ(view->attached(ParentHandle(), "X11EmbedWindowID"), vst3::kResultOk);
  XSync(display, False);
  EXPECT_TRUE(frame->ResizeRequests().empty()) << "the host already made the window that size";
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
  EXPECT_TRUE(frame->ResizeRequests().empty());
}

TEST_F(ModuleViewWindow, ContentScaleSetBeforeAttachSizesTheWindowAtAttach)
{
  ASSERT_NE(CreateView(), nullptr);
  auto scaling = vst3host::QueryInterface<vst3::IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), vst3::kResultOk);
  view->setFrame(frame.Get());
  ASSERT_EQ(view->attached(ParentHandle(), "X11EmbedWindowID"), vst3::kResultOk);
  XSync(display, False);
  ASSERT_EQ(frame->ResizeRequests().size(), 1u) << "a host that never asked getSize is asked to resize";
  EXPECT_EQ(frame->ResizeRequests()[0].right, 1020);
  EXPECT_EQ(frame->ResizeRequests()[0].bottom, 588);
  vst3::ViewRect r{};
  view->getSize(&r);
  EXPECT_EQ(r.right, 1020);
  EXPECT_EQ(r.bottom, 588);
  XWindowAttributes wa = OnlyChild(display, parent);
  EXPECT_EQ(wa.width, 1020);
  EXPECT_EQ(wa.height, 588);

  // A snapshot while the editor is open pictures it at the host's scale; the
  // view made for it comes and goes without cutting the open one off.
  const std::string live = TestOutputPng("integration", "snapshot_of_open_editor");
  EXPECT_EQ(vst3host::RenderEditorSnapshot(*plugin, live, 1.f), "");
  cairo_surface_t* png = cairo_image_surface_create_from_png(live.c_str());
  EXPECT_EQ(cairo_image_surface_get_width(png), 1020);
  EXPECT_EQ(cairo_image_surface_get_height(png), 588);
  cairo_surface_destroy(png);
  EXPECT_EQ(ChildWindowCount(display, parent), 1u);

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

// Output level in dB of a quiet 1 kHz tone through the processor after a
// fresh start, over the last half of one second.
double QuietToneLevelDb(vst3host::ProcessingSession& session)
{
  session.Stop();
  EXPECT_EQ(session.Start(), vst3::kResultOk);
  const auto in = Sine(1000.0, 0.01, 48000.0, 48000);
  std::vector<std::vector<double>> out;
  EXPECT_EQ(session.Run(in, out, 512), vst3::kResultOk);
  return 20.0 * std::log10(Rms(out[0], 24000) + 1e-300);
}

TEST_F(ModuleViewWindow, DraggingTheDepthKnobEditsDepthThroughTheHostAndChangesTheSound)
{
  vst3host::ProcessingSession session(plugin->Component(), plugin->Processor());
  SetUpSession(session, vst3::kSample64, 512);
  ASSERT_FALSE(HasFatalFailure());
  const double levelBefore = QuietToneLevelDb(session);

  OpenEditor();
  const double depthBefore = plugin->Controller()->getParamNormalized(kDepthId);
  handler->Clear();
  // The DEPTH knob is the large one in the upper half of the global column.
  MoveTo(538, 132);
  Button(true);
  for (int y = 128; y >= 92; y -= 4)
    MoveTo(538, y);
  Button(false);

  const auto records = handler->Records();
  ASSERT_GE(records.size(), 3u);
  EXPECT_EQ(records.front().call, vst3host::ComponentHandler::Call::BeginEdit);
  EXPECT_EQ(records.front().id, kDepthId);
  EXPECT_EQ(records.back().call, vst3host::ComponentHandler::Call::EndEdit);
  EXPECT_EQ(records.back().id, kDepthId);
  const auto performs = handler->Records(vst3host::ComponentHandler::Call::PerformEdit);
  ASSERT_FALSE(performs.empty());
  for (const auto& r : performs)
    EXPECT_EQ(r.id, kDepthId);
  for (std::size_t i = 1; i < performs.size(); ++i)
    EXPECT_GE(performs[i].value, performs[i - 1].value) << "an upward drag only raises the value";
  const double depthAfter = plugin->Controller()->getParamNormalized(kDepthId);
  EXPECT_GT(depthAfter, depthBefore + 0.1);
  EXPECT_DOUBLE_EQ(depthAfter, performs.back().value);

  // The host passes the edit on to the processor, as it would in its next block.
  vst3::int32 q = 0, point = 0;
  session.InputChanges().addParameterData(kDepthId, q)->addPoint(0, depthAfter, point);
  const double levelAfter = QuietToneLevelDb(session);
  RecordProperty("depth_before", std::to_string(depthBefore));
  RecordProperty("depth_after", std::to_string(depthAfter));
  RecordProperty("level_before_db", std::to_string(levelBefore));
  RecordProperty("level_after_db", std::to_string(levelAfter));
  EXPECT_GT(levelAfter, levelBefore + 0.5) // more depth lifts a quiet signal further
    << "depth " << depthBefore << " -> " << depthAfter << ": " << levelBefore << " dB -> " << levelAfter << " dB";
  CloseEditor();
}

TEST_F(ModuleViewWindow, ThePresetArrowLoadsTheNextPresetWhenItsSplashEnds)
{
  auto programData = vst3host::QueryInterface<vst3::IProgramListData>(plugin->Component());
  ASSERT_TRUE(programData);
  auto torv = vst3host::MakeCom<vst3host::MemoryStream>();
  constexpr vst3::ProgramListID kFactoryPresets = 65537;
  ASSERT_EQ(programData->getProgramData(kFactoryPresets, 1, torv.Get()), vst3::kResultOk);
  const std::vector<double> torvValues = ChunkValues(torv->Bytes());
  ASSERT_NE(StateValues(), torvValues);

  OpenEditor();
  // The right arrow at the end of the preset selector in the header.
  MoveTo(434, 21);
  const auto pressed = std::chrono::steady_clock::now();
  Button(true);
  Button(false);
  // When the pumps inside Button already took past the splash, the preset may
  // be in before the loop looks: then it loaded no later than now.
  auto loaded = std::chrono::steady_clock::now();
  while (StateValues() != torvValues && std::chrono::steady_clock::now() - pressed < std::chrono::seconds(2))
  {
    frame->RunOnce(2);
    loaded = std::chrono::steady_clock::now();
  }
  ASSERT_EQ(StateValues(), torvValues);
  RecordProperty("preset_loaded_after_ms",
                 static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(loaded - pressed).count()));
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(loaded - pressed).count(), 95)
    << "the preset loads when the button's 100 ms splash has ended";
  Pump(50);
  EXPECT_TRUE(SaveWindowPng(display, parent, 680, 392, TestOutputPng("integration", "editor_after_preset")));
  CloseEditor();
}

// Pixels of a region of the parent window, 0xRRGGBB.
std::vector<std::uint32_t> Region(Display* d, Window w, int x, int y, int width, int height)
{
  std::vector<std::uint32_t> out;
  XImage* img = XGetImage(d, w, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!img)
    return out;
  for (int j = 0; j < height; ++j)
    for (int i = 0; i < width; ++i)
      out.push_back(static_cast<std::uint32_t>(XGetPixel(img, i, j) & 0xffffff));
  XDestroyImage(img);
  return out;
}

TEST_F(ModuleViewWindow, MetersMoveWhileAudioRunsOnAnotherThread)
{
  vst3host::ProcessingSession session(plugin->Component(), plugin->Processor());
  SetUpSession(session, vst3::kSample32, 256);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(session.Start(), vst3::kResultOk);

  OpenEditor();
  // The low band's meter column and the output peak display.
  const auto lowMeterBefore = Region(display, parent, 10, 42, 40, 340);
  const auto peakBefore = Region(display, parent, 406, 305, 264, 77);

  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    // A loud tone with bass and treble, at about real-time pace.
    const auto low = Sine(60.0, 0.5, 48000.0, 256 * 200);
    const auto high = Sine(5000.0, 0.3, 48000.0, 256 * 200);
    std::vector<double> l(256), r(256);
    for (std::size_t b = 0; !stop; b = (b + 1) % 200)
    {
      for (std::size_t i = 0; i < 256; ++i)
        l[i] = r[i] = low[0][b * 256 + i] + high[0][b * 256 + i];
      session.SetInput(0, 0, l.data(), 256);
      session.SetInput(0, 1, r.data(), 256);
      session.Process(256);
      ++blocks;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  Pump(400);
  const auto lowMeterDuring = Region(display, parent, 10, 42, 40, 340);
  const auto peakDuring = Region(display, parent, 406, 305, 264, 77);
  EXPECT_TRUE(SaveWindowPng(display, parent, 680, 392, TestOutputPng("integration", "editor_window_live")));
  Pump(100);
  const auto lowMeterLater = Region(display, parent, 10, 42, 40, 340);
  stop = true;
  audio.join();

  RecordProperty("audio_blocks", blocks.load());
  RecordProperty("low_meter_pixels_changed", static_cast<int>(Differences(lowMeterBefore, lowMeterDuring)));
  RecordProperty("peak_display_pixels_changed", static_cast<int>(Differences(peakBefore, peakDuring)));
  EXPECT_GT(blocks.load(), 20);
  EXPECT_GT(Differences(lowMeterBefore, lowMeterDuring), 100u) << "the low band's meter shows the level";
  EXPECT_GT(Differences(peakBefore, peakDuring), 20u) << "the output peak display shows the level";
  EXPECT_FALSE(lowMeterLater.empty());
  CloseEditor();
  session.Stop();
}

TEST_F(ModuleViewWindow, OpeningAndClosingAHundredTimesLeavesNoWindowDescriptorOrTimer)
{
  // A first cycle loads what stays for the process (fonts, Xlib's tables).
  OpenEditor();
  CloseEditor();
  const int fds = OpenFdCount();
  XSync(display, False);
  ASSERT_EQ(ChildWindowCount(display, parent), 0u);

  for (int i = 0; i < 100; ++i)
  {
    ASSERT_NE(CreateView(), nullptr);
    view->setFrame(frame.Get());
    ASSERT_EQ(view->attached(ParentHandle(), "X11EmbedWindowID"), vst3::kResultOk);
    frame->RunOnce(0);
    frame->FireAllTimers(); // a frame and an idle tick
    if (i % 25 == 0)
    {
      XSync(display, False);
      EXPECT_EQ(ChildWindowCount(display, parent), 1u);
    }
    CloseEditor();
  }
  XSync(display, False);
  EXPECT_EQ(ChildWindowCount(display, parent), 0u);
  EXPECT_EQ(OpenFdCount(), fds) << "every X connection of the editor was closed";
  EXPECT_TRUE(frame->EventHandlers().empty());
  EXPECT_TRUE(frame->Timers().empty());
  // The editor keeps its size, so only the very first attach had to ask.
  EXPECT_EQ(frame->ResizeRequests().size(), 1u);
}

// A desktop host, with and without a window manager running: its top-level
// window is made at the size getSize reports before the editor opens (as
// Steinberg's editor host does) and then never resized. The whole editor
// shows; every band's threshold handles, pressed inside their zones and
// dragged, move their thresholds; two quick clicks on a mode button step it
// twice. openbox grabs each press first, so the editor sees the pointer leave
// and come back around every press.
class ModuleViewDesktop : public ModuleViewWindow, public ::testing::WithParamInterface<bool>
{
protected:
  void SetUp() override
  {
    ModuleViewWindow::SetUp();
    if (IsSkipped() || HasFatalFailure())
      return;
    if (GetParam())
    {
      manager = std::make_unique<WindowManager>(XvfbServer::Get().Name());
      if (!manager->Running())
        GTEST_SKIP() << "openbox is not installed (tools/setup.sh installs it)";
    }
  }

  void TearDown() override
  {
    ModuleViewWindow::TearDown();
    manager.reset();
  }

  // Opens the editor in a new top-level window of the size getSize reports,
  // and finds where the window manager put it.
  void OpenSizedFromGetSize(float contentScale)
  {
    ASSERT_NE(CreateView(), nullptr);
    if (contentScale != 1.f)
      vst3host::QueryInterface<vst3::IPlugViewContentScaleSupport>(view)->setContentScaleFactor(contentScale);
    vst3::ViewRect size{};
    ASSERT_EQ(view->getSize(&size), vst3::kResultOk);
    width = size.right - size.left;
    height = size.bottom - size.top;
    XDestroyWindow(display, parent);
    parent = OpenParentWindow(display, static_cast<unsigned>(width), static_cast<unsigned>(height));
    for (int i = 0; i < 100; ++i) // a manager maps it only once it has framed it
    {
      XWindowAttributes wa{};
      XGetWindowAttributes(display, parent, &wa);
      if (wa.map_state == IsViewable)
        break;
      Pump(20);
    }
    view->setFrame(frame.Get());
    ASSERT_EQ(view->attached(ParentHandle(), "X11EmbedWindowID"), vst3::kResultOk);
    Pump(300);
    Window child = 0;
    XTranslateCoordinates(display, parent, DefaultRootWindow(display), 0, 0, &originX, &originY, &child);
  }

  // Pointer input at editor units inside the window.
  void At(float x, float y) { MoveTo(originX + static_cast<int>(std::lround(x * scale)), originY + static_cast<int>(std::lround(y * scale))); }

  void Drag(float x, float y, float dy)
  {
    At(x, y);
    Button(true);
    for (int step = 1; step <= 6; ++step)
      At(x, y + dy * static_cast<float>(step) / 6.f);
    Button(false);
  }

  std::unique_ptr<WindowManager> manager;
  int width = 0, height = 0, originX = 0, originY = 0;
  float scale = 1.f;
};

TEST_P(ModuleViewDesktop, TheWholeEditorShowsAndItsThresholdsAndModesRespondToThePointer)
{
  for (const float contentScale : {1.5f, 1.f})
  {
    scale = contentScale;
    OpenSizedFromGetSize(contentScale);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(width, static_cast<int>(std::ceil(680 * contentScale)));
    EXPECT_EQ(height, static_cast<int>(std::ceil(392 * contentScale)));
    const XWindowAttributes editor = OnlyChild(display, parent);
    EXPECT_EQ(editor.width, width) << "at content scale " << contentScale;
    EXPECT_EQ(editor.height, height) << "at content scale " << contentScale;
    const std::string name = "desktop_snapshot_" + std::to_string(static_cast<int>(contentScale * 100));
    const std::string snapshot = TestOutputPng("integration", name);
    ASSERT_EQ(vst3host::RenderEditorSnapshot(*plugin, snapshot, contentScale), "");
    const PixelComparison c = CompareWithPng(Region(display, parent, 0, 0, width, height), snapshot, width, height);
    EXPECT_LE(c.maxChannelDifference, 2) << c.differentPixels << " pixels differ at content scale " << contentScale;
    if (contentScale != 1.f)
      CloseEditor();
  }

  const std::vector<double> before = StateValues();
  const std::vector<ThresholdGrab> grabs = ThresholdGrabs(before);
  for (const ThresholdGrab& grab : grabs)
    Drag(grab.x, grab.y, grab.dy);
  const std::vector<double> after = StateValues();
  for (const ThresholdGrab& grab : grabs)
    EXPECT_TRUE(ThresholdFollowed(grab, before, after)) << grab.what;

  At(91.f, 350.f); // the Low band's mode button: LR
  Button(true);
  Button(false);
  Button(true);
  Button(false);
  EXPECT_EQ(StateValues()[18], 2.0) << "two quick clicks: LR -> MID -> SIDE";
  CloseEditor();
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, ModuleViewDesktop, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "openbox" : "none"; });

// A host that embeds by XEmbed, as Steinberg's editor host does: it learns of
// the editor's window from CreateNotify and refuses it when _XEMBED_INFO is
// missing or already says "mapped"; then it tells the window it is embedded,
// maps and sizes it itself and gives it activation and focus.
TEST_F(ModuleViewWindow, AnXEmbedHostShowsTheSnapshotsPictureAndItsClicksReachAControl)
{
  constexpr long kEmbeddedNotify = 0, kWindowActivate = 1, kFocusIn = 4, kFocusCurrent = 0;
  MoveTo(1000, 700); // outside the editor: no control shows the pointer over it
  XSelectInput(display, parent, SubstructureNotifyMask);
  XSync(display, False);
  ASSERT_NE(CreateView(), nullptr);
  view->setFrame(frame.Get());
  ASSERT_EQ(view->attached(ParentHandle(), "X11EmbedWindowID"), vst3::kResultOk);

  XEvent created{};
  for (int i = 0; i < 100 && !XCheckTypedWindowEvent(display, parent, CreateNotify, &created); ++i)
    frame->RunOnce(10);
  ASSERT_EQ(created.type, CreateNotify) << "no child window appeared";
  const Window child = created.xcreatewindow.window;
  // Only looked up, as such hosts do: the plug-in must have created the atom.
  const Atom infoAtom = XInternAtom(display, "_XEMBED_INFO", True);
  ASSERT_NE(infoAtom, None) << "XGetWindowProperty for _XEMBED_INFO failed";
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(display, child, infoAtom, 0, 2, False, infoAtom, &type, &format, &count, &remaining, &data),
            Success);
  ASSERT_EQ(type, infoAtom) << "XGetWindowProperty for _XEMBED_INFO failed";
  ASSERT_EQ(format, 32);
  ASSERT_EQ(count, 2u);
  const long version = reinterpret_cast<long*>(data)[0], flags = reinterpret_cast<long*>(data)[1];
  XFree(data);
  EXPECT_EQ(version, 0);
  ASSERT_EQ(flags & 1, 0) << "Window already mapped";

  SendXEmbed(display, child, kEmbeddedNotify, 0, static_cast<long>(parent), version);
  XMapWindow(display, child);
  vst3::ViewRect size{};
  ASSERT_EQ(view->getSize(&size), vst3::kResultOk);
  const int w = size.right - size.left, h = size.bottom - size.top;
  XResizeWindow(display, child, static_cast<unsigned>(w), static_cast<unsigned>(h));
  SendXEmbed(display, child, kWindowActivate, 0, 0, 0);
  SendXEmbed(display, child, kFocusIn, kFocusCurrent, 0, 0);
  XSync(display, False);
  Pump(150);
  ASSERT_EQ(OnlyChild(display, parent).map_state, IsViewable);

  // The window shows what the offscreen snapshot draws. Both come from the
  // same drawing code, so only a stray pixel or rounding step may differ.
  const std::string snapshot = TestOutputPng("integration", "xembed_snapshot");
  ASSERT_EQ(vst3host::RenderEditorSnapshot(*plugin, snapshot, 1.f), "");
  const auto shown = Region(display, parent, 0, 0, w, h);
  EXPECT_TRUE(SaveWindowPng(display, parent, w, h, TestOutputPng("integration", "xembed_window")));
  const PixelComparison c = CompareWithPng(shown, snapshot, w, h);
  RecordProperty("xembed_max_channel_difference", c.maxChannelDifference);
  RecordProperty("xembed_pixels_differing", static_cast<int>(c.differentPixels));
  EXPECT_LE(c.maxChannelDifference, 2) << c.differentPixels << " pixels differ";

  // A click on BYPASS in the header reaches the toggle and, through it, the host.
  handler->Clear();
  MoveTo(638, 21);
  Button(true);
  Button(false);
  const auto performs = handler->Records(vst3host::ComponentHandler::Call::PerformEdit);
  ASSERT_EQ(performs.size(), 1u);
  EXPECT_EQ(performs[0].id, kPluginBypassId);
  EXPECT_EQ(performs[0].value, 1.0);
  EXPECT_EQ(plugin->Controller()->getParamNormalized(kPluginBypassId), 1.0);
  CloseEditor();
}

} // namespace
