// The real module's editor in a Win32 window: our host code makes a top-level
// window, lends the view its frame, pumps the message loop itself and posts
// mouse input to the editor's window. Runs under wine (with an X display).

#include "ModuleFixture.h"

#include "tests/support/PixelCompare.h"
#include "tests/support/ThresholdGrabs.h"
#include "vst3/host/EditorSnapshot.h"
#include "vst3/host/MemoryStream.h"
#include "vst3/host/ProcessingSession.h"
#include "vst3/host/win/HostWindow.h"

#include <gtest/gtest.h>

#include <cairo.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

using namespace calvorin_test;

namespace
{

double ProcessCpuSeconds()
{
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}

class ModuleWinViewWindow : public ModuleTest
{
protected:
  void SetUp() override
  {
    ModuleTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
      return;
    window = std::make_unique<vst3host::HostWindow>(1100, 800);
    if (!window->Handle())
      GTEST_SKIP() << "no window could be made (no display for wine?)";
    frame = vst3host::MakeCom<vst3host::HostWindowFrame>(*window);
  }

  void TearDown() override
  {
    if (view)
      CloseEditor();
    frame = {};
    ModuleTest::TearDown();
    window.reset();
  }

  void OpenEditor(float contentScale = 0.f)
  {
    view = plugin->Controller()->createView("editor");
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->isPlatformTypeSupported("HWND"), vst3::kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), vst3::kResultFalse);
    if (contentScale > 0.f)
    {
      auto scaling = vst3host::QueryInterface<vst3::IPlugViewContentScaleSupport>(view);
      ASSERT_TRUE(scaling);
      ASSERT_EQ(scaling->setContentScaleFactor(contentScale), vst3::kResultOk);
    }
    ASSERT_EQ(view->setFrame(frame.Get()), vst3::kResultTrue);
    ASSERT_EQ(view->attached(window->Handle(), "HWND"), vst3::kResultOk);
    vst3host::HostWindow::Pump(100);
  }

  void CloseEditor()
  {
    view->setFrame(nullptr);
    view->removed();
    view->release();
    view = nullptr;
  }

  std::unique_ptr<vst3host::HostWindow> window;
  vst3host::ComPtr<vst3host::HostWindowFrame> frame;
  vst3::IPlugView* view = nullptr;
};

// The window shows what the offscreen snapshot draws, at the host's scales.
TEST_F(ModuleWinViewWindow, TheWindowShowsTheSnapshotsPictureAtScalesOneAndOneAndAHalf)
{
  struct Row
  {
    float scale;
    int width, height;
  };
  for (const Row& row : {Row{1.f, 680, 392}, Row{1.5f, 1020, 588}})
  {
    SCOPED_TRACE(row.scale);
    OpenEditor(row.scale);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(window->Children().size(), 1u);
    RECT client{};
    GetClientRect(window->Children()[0], &client);
    EXPECT_EQ(client.right, row.width);
    EXPECT_EQ(client.bottom, row.height);
    ASSERT_FALSE(frame->ResizeRequests().empty());
    EXPECT_EQ(frame->ResizeRequests().back().right, row.width);
    EXPECT_EQ(frame->ResizeRequests().back().bottom, row.height);

    const std::string snapshot = TestOutputPng("integration", "win_snapshot_" + std::to_string(row.width));
    ASSERT_EQ(vst3host::RenderEditorSnapshot(*plugin, snapshot, row.scale), "");
    const PixelComparison c = CompareWithPng(window->CaptureChild(0, 0, row.width, row.height), snapshot, row.width, row.height);
    RecordProperty("max_channel_difference_" + std::to_string(row.width), c.maxChannelDifference);
    RecordProperty("pixels_differing_" + std::to_string(row.width), static_cast<int>(c.differentPixels));
    std::printf("window %dx%d: %zu pixels differ from the snapshot, largest channel difference %d\n", row.width,
                row.height, c.differentPixels, c.maxChannelDifference);
    // Both come from the same drawing code: only a rounding step may differ.
    EXPECT_LE(c.maxChannelDifference, 2) << c.differentPixels << " pixels differ";
    CloseEditor();
    EXPECT_TRUE(window->Children().empty());
  }
}

TEST_F(ModuleWinViewWindow, ADragOnDepthEditsItThroughTheHostAndAWheelNotchMovesAKnobByAHundredth)
{
  OpenEditor();
  ASSERT_FALSE(HasFatalFailure());
  const double before = plugin->Controller()->getParamNormalized(kDepthId);
  handler->Clear();
  window->MoveMouse(538, 132);
  window->PressLeft(538, 132);
  for (int y = 128; y >= 92; y -= 4)
    window->MoveMouse(538, y);
  window->ReleaseLeft(538, 92);
  const auto records = handler->Records();
  ASSERT_GE(records.size(), 3u);
  EXPECT_EQ(records.front().call, vst3host::ComponentHandler::Call::BeginEdit);
  EXPECT_EQ(records.back().call, vst3host::ComponentHandler::Call::EndEdit);
  for (const auto& r : handler->Records(vst3host::ComponentHandler::Call::PerformEdit))
    EXPECT_EQ(r.id, kDepthId);
  const double dragged = plugin->Controller()->getParamNormalized(kDepthId);
  EXPECT_GT(dragged, before + 0.1);

  window->Wheel(538, 132, 120);
  EXPECT_NEAR(plugin->Controller()->getParamNormalized(kDepthId), dragged + 0.01, 1e-9);
  // A fine wheel's smaller steps add up to one notch.
  window->Wheel(538, 132, -60);
  EXPECT_NEAR(plugin->Controller()->getParamNormalized(kDepthId), dragged + 0.01, 1e-9);
  window->Wheel(538, 132, -60);
  EXPECT_NEAR(plugin->Controller()->getParamNormalized(kDepthId), dragged, 1e-9);
}

// Sends X input with Debian's xdotool, a program of the system wine runs on.
// Wine starts such a program without a handle that tells when it ends, so the
// chain ends by making a marker file, awaited here while this thread's
// messages are pumped. False when xdotool cannot be started (on Windows
// itself) or does not get to the end within the time.
bool RunXdotool(const std::string& commands, int timeoutMs = 20000)
{
  static int calls = 0;
  const std::string marker =
    "/tmp/calvorin-xdotool-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++calls);
  std::string commandLine = "/usr/bin/xdotool " + commands + " exec /usr/bin/touch " + marker;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::string markerPath = "Z:" + marker; // wine's drive for the Unix root
  std::replace(markerPath.begin(), markerPath.end(), '/', '\\');
  for (int waited = 0; waited < timeoutMs; waited += 5)
  {
    if (GetFileAttributesA(markerPath.c_str()) != INVALID_FILE_ATTRIBUTES)
    {
      DeleteFileA(markerPath.c_str());
      return true;
    }
    vst3host::HostWindow::Pump(5);
  }
  return false;
}

// Every band's threshold handles, pressed inside their zones and dragged,
// move their thresholds: with real pointer input through the X server that
// wine shows the window on, sent with xdotool as a user's hand would, while
// the desktop's window manager (tools/test-win64.sh runs openbox) grabs each
// press first; and when the window was told the pointer left between the
// hover and the press, as a grab can make it. The xdotool part is skipped
// where xdotool cannot be started (Windows itself).
TEST_F(ModuleWinViewWindow, ThresholdHandlesFollowDragsWhateverCameBeforeThePress)
{
  OpenEditor();
  ASSERT_FALSE(HasFatalFailure());
  POINT origin{0, 0};
  ClientToScreen(window->Children()[0], &origin);
  const auto state = [this] {
    std::vector<std::uint8_t> bytes;
    plugin->GetState(bytes);
    std::vector<double> v(26);
    if (bytes.size() >= v.size() * sizeof(double))
      std::memcpy(v.data(), bytes.data(), v.size() * sizeof(double));
    return v;
  };
  const auto drag = [&](double pressX, double pressY, double dy) {
    std::string cmd;
    auto at = [&](double ex, double ey) {
      cmd += " mousemove " + std::to_string(origin.x + static_cast<long>(ex)) + " " +
             std::to_string(origin.y + static_cast<long>(ey)) + " sleep 0.05";
    };
    at(pressX, pressY);
    cmd += " mousedown 1 sleep 0.2";
    for (int step = 1; step <= 6; ++step)
      at(pressX, pressY + dy * step / 6.0);
    cmd += " mouseup 1 sleep 0.1";
    EXPECT_TRUE(RunXdotool(cmd));
  };
  std::vector<double> before = state();
  const ThresholdGrab push = ThresholdGrabs(before)[0];
  const int x = static_cast<int>(push.x), y = static_cast<int>(push.y), y1 = static_cast<int>(push.y + push.dy);
  window->MoveMouse(x, y);
  window->LeaveMouse();
  window->PressLeft(x, y);
  window->MoveMouse(x, y1);
  window->ReleaseLeft(x, y1);
  EXPECT_TRUE(ThresholdFollowed(push, before, state())) << "a press after the pointer was reported gone";

  if (!RunXdotool("getmouselocation", 5000))
    GTEST_SKIP() << "needs wine with Debian's xdotool";
  // A busy machine can lose a drag between xdotool, the window manager and
  // wine: each may be tried again, but a slider that ignores presses under a
  // window manager fails every try.
  for (const ThresholdGrab& grab : ThresholdGrabs(state()))
  {
    bool followed = false;
    for (int attempt = 1; attempt <= 3 && !followed; ++attempt)
    {
      const std::vector<double> start = state();
      drag(grab.x, grab.y, grab.dy);
      followed = ThresholdFollowed(grab, start, state());
      if (!followed)
        std::printf("%s: drag %d did not move the threshold\n", grab.what.c_str(), attempt);
    }
    EXPECT_TRUE(followed) << grab.what;
  }
}

TEST_F(ModuleWinViewWindow, ThePresetArrowLoadsTorvWhenItsSplashEnds)
{
  auto programData = vst3host::QueryInterface<vst3::IProgramListData>(plugin->Component());
  ASSERT_TRUE(programData);
  auto torv = vst3host::MakeCom<vst3host::MemoryStream>();
  ASSERT_EQ(programData->getProgramData(65537, 1, torv.Get()), vst3::kResultOk);
  const auto values = [](const std::vector<std::uint8_t>& bytes) {
    std::vector<double> v(26);
    if (bytes.size() >= v.size() * sizeof(double))
      std::memcpy(v.data(), bytes.data(), v.size() * sizeof(double));
    return v;
  };
  const auto state = [&] {
    std::vector<std::uint8_t> bytes;
    plugin->GetState(bytes);
    return values(bytes);
  };
  const std::vector<double> torvValues = values(torv->Bytes());
  ASSERT_NE(state(), torvValues);

  OpenEditor();
  ASSERT_FALSE(HasFatalFailure());
  const auto header = window->CaptureChild(0, 0, 680, 42);
  const auto pressed = std::chrono::steady_clock::now();
  window->PressLeft(434, 21);
  window->ReleaseLeft(434, 21);
  auto loaded = std::chrono::steady_clock::now();
  while (state() != torvValues && std::chrono::steady_clock::now() - pressed < std::chrono::seconds(2))
  {
    vst3host::HostWindow::Pump(2);
    loaded = std::chrono::steady_clock::now();
  }
  ASSERT_EQ(state(), torvValues);
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(loaded - pressed).count(), 95)
    << "the preset loads when the button's 100 ms splash has ended";
  vst3host::HostWindow::Pump(60);
  EXPECT_GT(Differences(header, window->CaptureChild(0, 0, 680, 42)), 20u) << "the header shows the new name";
}

TEST_F(ModuleWinViewWindow, MetersMoveWhileAudioRunsOnAnotherThread)
{
  vst3host::ProcessingSession session(plugin->Component(), plugin->Processor());
  vst3host::ProcessConfig config;
  config.symbolicSampleSize = vst3::kSample32;
  config.maxSamplesPerBlock = 256;
  ASSERT_EQ(session.Setup(config), vst3::kResultOk);
  ASSERT_EQ(session.Start(), vst3::kResultOk);
  OpenEditor();
  ASSERT_FALSE(HasFatalFailure());
  const auto meterBefore = window->CaptureChild(10, 42, 40, 340);

  std::atomic<bool> stop{false};
  std::thread audio([&] {
    const auto low = Sine(60.0, 0.5, 48000.0, 256 * 200);
    std::vector<double> l(256);
    for (std::size_t b = 0; !stop; b = (b + 1) % 200)
    {
      std::copy_n(low[0].begin() + static_cast<std::ptrdiff_t>(b * 256), 256, l.begin());
      session.SetInput(0, 0, l.data(), 256);
      session.SetInput(0, 1, l.data(), 256);
      session.Process(256);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  vst3host::HostWindow::Pump(400);
  const auto meterDuring = window->CaptureChild(10, 42, 40, 340);
  stop = true;
  audio.join();
  RecordProperty("low_meter_pixels_changed", static_cast<int>(Differences(meterBefore, meterDuring)));
  EXPECT_GT(Differences(meterBefore, meterDuring), 100u);
  CloseEditor();
  session.Stop();
}

TEST_F(ModuleWinViewWindow, AHundredOpenCloseCyclesLeaveNothingBehindAndAnIdleEditorCostsNearlyNothing)
{
  OpenEditor(); // the first cycle loads what stays for the process (fonts, caches)
  CloseEditor();
  const vst3host::GuiResourceCounts before = vst3host::CountGuiResources();
  for (int i = 0; i < 100; ++i)
  {
    OpenEditor();
    ASSERT_FALSE(HasFatalFailure());
    if (i % 25 == 0)
    {
      EXPECT_EQ(window->Children().size(), 1u);
    }
    CloseEditor();
  }
  vst3host::HostWindow::Pump(50);
  const vst3host::GuiResourceCounts after = vst3host::CountGuiResources();
  EXPECT_TRUE(window->Children().empty());
  EXPECT_EQ(after.gdiObjects, before.gdiObjects);
  EXPECT_EQ(after.userObjects, before.userObjects);
  EXPECT_LE(after.threads, before.threads);
  RecordProperty("gdi_objects", static_cast<int>(after.gdiObjects));
  RecordProperty("threads", after.threads);
  std::printf("after 100 cycles: %d windows, GDI objects %lu -> %lu, USER objects %lu -> %lu, threads %d -> %d\n",
              static_cast<int>(window->Children().size()), before.gdiObjects, after.gdiObjects, before.userObjects,
              after.userObjects, before.threads, after.threads);

  // Open and left alone: the frame timer finds nothing dirty and draws
  // nothing. The host's loop alone (the plug-in's idle tick included) is the baseline.
  const auto cpuShare = [] {
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    vst3host::HostWindow::Pump(2000);
    return (ProcessCpuSeconds() - cpu0) / std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  };
  const double closed = cpuShare();
  OpenEditor();
  vst3host::HostWindow::Pump(300);
  const double open = cpuShare();
  RecordProperty("idle_cpu_percent_editor_closed", std::to_string(100.0 * closed));
  RecordProperty("idle_cpu_percent_editor_open", std::to_string(100.0 * open));
  std::printf("idle: %.2f %% of one core with the editor open, %.2f %% closed\n", 100.0 * open, 100.0 * closed);
  EXPECT_LT(open, 0.05);
}

} // namespace
