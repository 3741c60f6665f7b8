// The editor view in-process: attach and remove through the editor delegate,
// sizes, keys, content scale, and the run loop the host frame lends.

#include "vst3/IPlugVST3.h"
#include "vst3/IPlugVST3View.h"
#include "vst3/host/HostApplication.h"
#include "vst3/host/PlugFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <unistd.h>
#include <vector>

using namespace vst3;

namespace
{

// What the view hands the drawing context, recorded.
struct ContextLog
{
  int opened = 0;
  int closed = 0;
  int frames = 0;
  int readable = 0;
  std::vector<float> scales;
  std::vector<iplug::IKeyRecord> keys;
  int made = 0;
  std::vector<std::pair<std::string, float>> snapshots; // path, screen scale
};

class FakeContext final : public iplug::IEditorContext
{
public:
  FakeContext(ContextLog& log, int fd) : mLog(log), mFd(fd) { ++mLog.made; }
  void SetParameterValueFromDelegate(int, double) override {}
  void SetControlValueFromDelegate(int, double) override {}
  void SendControlMsgFromDelegate(int, int, int, const void*) override {}
  void* OpenWindow(void* parent) override
  {
    ++mLog.opened;
    return parent;
  }
  void CloseWindow() override { ++mLog.closed; }
  int Width() const override { return 680; }
  int Height() const override { return 392; }
  float GetDrawScale() const override { return 1.f; }
  void Resize(int, int, float) override {}
  float GetScreenScale() const override { return mScale; }
  void SetScreenScale(float scale) override
  {
    mScale = scale;
    mLog.scales.push_back(scale);
  }
  bool OnKeyDownFromDelegate(const iplug::IKeyRecord& key) override
  {
    mLog.keys.push_back(key);
    return key.vk == 'L';
  }
  int GetPlatformEventFd() const override { return mFd; }
  void OnPlatformEventsReadable() override { ++mLog.readable; }
  void OnPlatformTimer() override { ++mLog.frames; }
  bool SavePNG(const std::string& path) override
  {
    mLog.snapshots.emplace_back(path, mScale);
    return path != "unwritable.png";
  }

private:
  ContextLog& mLog;
  int mFd;
  float mScale = 1.f;
};

class ViewPlug : public iplug::IPlugVST3
{
public:
  static iplug::Config MakeConfig(bool hasUI)
  {
    iplug::Config c;
    c.nParams = 1;
    c.channelIOStr = "2-2";
    c.pluginName = "View";
    c.mfrName = "Maker";
    c.plugHasUI = hasUI;
    c.plugWidth = 680;
    c.plugHeight = 360;
    c.plugMinWidth = 340;
    c.plugMaxWidth = 1360;
    c.plugMinHeight = 180;
    c.plugMaxHeight = 720;
    return c;
  }
  ViewPlug(ContextLog& log, bool hasUI = true, int fd = -1) : iplug::IPlugVST3(MakeConfig(hasUI))
  {
    GetParam(0)->DeclareDouble("Gain", 0.0, -1.0, 1.0, 0.01, "dB");
    SetMakeContextFunc([&log, fd] { return std::make_unique<FakeContext>(log, fd); });
  }
  void ProcessBlock(double**, double**, int) override {}
  void OnIdleTick() override { ++idleTicks; }
  int idleTicks = 0;
};

// A plug-in initialised without a run loop in its host context, and a frame
// whose loop the test drives.
struct ViewFixture
{
  explicit ViewFixture(bool hasUI = true, int fd = -1) : plug(new ViewPlug(log, hasUI, fd))
  {
    EXPECT_EQ(plug->initialize(static_cast<IHostApplication*>(host.Get())), kResultOk);
    view = plug->createView("editor");
  }
  ~ViewFixture()
  {
    if (view)
      view->release();
    plug->terminate();
    plug->release();
  }
  ContextLog log;
  vst3host::ComPtr<vst3host::HostApplication> host = vst3host::MakeCom<vst3host::HostApplication>("Test Host");
  vst3host::ComPtr<vst3host::PlugFrame> frame = vst3host::MakeCom<vst3host::PlugFrame>();
  ViewPlug* plug;
  IPlugView* view = nullptr;
  void* parent = reinterpret_cast<void*>(0x2a);
};

} // namespace

TEST(IPlugVST3View, CreatedOnlyForTheEditorAndRememberedByItsOwner)
{
  ViewFixture f;
  ASSERT_NE(f.view, nullptr);
  EXPECT_EQ(static_cast<void*>(f.plug->GetView()), static_cast<void*>(static_cast<iplug::IPlugVST3View*>(f.view)));
  EXPECT_EQ(f.plug->createView("other"), nullptr);
  EXPECT_EQ(f.plug->createView(nullptr), nullptr);

  void* p = nullptr;
  EXPECT_EQ(f.view->queryInterface(IPlugViewContentScaleSupport::iid, &p), kResultOk);
  ASSERT_NE(p, nullptr);
  static_cast<FUnknown*>(p)->release();
  EXPECT_EQ(f.view->queryInterface(IEditController::iid, &p), kNoInterface);
  EXPECT_EQ(p, nullptr);

  f.view->release();
  f.view = nullptr;
  EXPECT_EQ(f.plug->GetView(), nullptr) << "the owner forgets a destroyed view";
}

TEST(IPlugVST3View, PlatformTypeSizesAndConstraints)
{
  ViewFixture f;
  EXPECT_EQ(f.view->isPlatformTypeSupported("X11EmbedWindowID"), kResultTrue);
  EXPECT_EQ(f.view->isPlatformTypeSupported("HWND"), kResultFalse);
  EXPECT_EQ(f.view->isPlatformTypeSupported("NSView"), kResultFalse);
  EXPECT_EQ(f.view->isPlatformTypeSupported(nullptr), kResultFalse);
  EXPECT_EQ(f.view->canResize(), kResultFalse);

  ViewRect r{};
  ASSERT_EQ(f.view->getSize(&r), kResultOk);
  EXPECT_EQ(r.right, 680);
  EXPECT_EQ(r.bottom, 360);
  EXPECT_EQ(f.view->getSize(nullptr), kInvalidArgument);

  ViewRect big{10, 20, 2010, 120};
  EXPECT_EQ(f.view->checkSizeConstraint(&big), kResultOk);
  EXPECT_EQ(big.left, 10);
  EXPECT_EQ(big.top, 20);
  EXPECT_EQ(big.getWidth(), 1360);
  EXPECT_EQ(big.getHeight(), 180);
  ViewRect fits{0, 0, 700, 400};
  f.view->checkSizeConstraint(&fits);
  EXPECT_EQ(fits.right, 700);
  EXPECT_EQ(fits.bottom, 400);
  EXPECT_EQ(f.view->checkSizeConstraint(nullptr), kInvalidArgument);
}

TEST(IPlugVST3View, AttachResizesTheHostOnceAndRemoveClosesTheWindow)
{
  ViewFixture f;
  ASSERT_EQ(f.view->setFrame(f.frame.Get()), kResultTrue);
  ASSERT_EQ(f.view->attached(f.parent, "X11EmbedWindowID"), kResultOk);
  EXPECT_EQ(f.log.opened, 1);
  ASSERT_EQ(f.frame->ResizeRequests().size(), 1u);
  EXPECT_EQ(f.frame->ResizeRequests()[0].right, 680);
  EXPECT_EQ(f.frame->ResizeRequests()[0].bottom, 392);
  ViewRect r{};
  f.view->getSize(&r);
  EXPECT_EQ(r.bottom, 392);
  EXPECT_EQ(static_cast<iplug::IPlugVST3View*>(f.view)->GetRect().bottom, 392) << "the frame answered with onSize";

  // The same size again asks nothing of the host.
  EXPECT_TRUE(f.plug->ResizeHostView(680, 392));
  EXPECT_EQ(f.frame->ResizeRequests().size(), 1u);

  EXPECT_EQ(f.view->attached(f.parent, "X11EmbedWindowID"), kResultFalse) << "already open";

  // Hosts drop the frame before they remove the view.
  f.view->setFrame(nullptr);
  EXPECT_EQ(f.view->removed(), kResultOk);
  EXPECT_EQ(f.log.closed, 1);
  EXPECT_FALSE(f.plug->HasEditorContext());
}

TEST(IPlugVST3View, ASecondViewNeitherOpensTheEditorAgainNorCutsTheOpenOneOff)
{
  ViewFixture f;
  f.view->setFrame(f.frame.Get());
  ASSERT_EQ(f.view->attached(f.parent, "X11EmbedWindowID"), kResultOk);
  IPlugView* second = f.plug->createView("editor");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(f.plug->GetView(), static_cast<iplug::IPlugVST3View*>(f.view)) << "the open view stays the one shown";
  EXPECT_EQ(second->attached(f.parent, "X11EmbedWindowID"), kResultFalse);
  EXPECT_EQ(f.log.opened, 1);
  second->release();

  EXPECT_EQ(f.plug->GetView(), static_cast<iplug::IPlugVST3View*>(f.view));
  EXPECT_TRUE(f.plug->ResizeHostView(700, 400));
  ASSERT_EQ(f.frame->ResizeRequests().size(), 2u);
  EXPECT_EQ(f.frame->ResizeRequests()[1].right, 700);
  EXPECT_EQ(f.frame->ResizeRequests()[1].bottom, 400);
  f.view->setFrame(nullptr);
  f.view->removed();
}

TEST(IPlugVST3View, OtherWindowTypesAndMissingParentsOpenNothing)
{
  ViewFixture f;
  EXPECT_EQ(f.view->attached(f.parent, "HWND"), kResultOk);
  EXPECT_EQ(f.log.opened, 0);
  EXPECT_EQ(f.view->removed(), kResultOk);
  EXPECT_EQ(f.view->attached(nullptr, "X11EmbedWindowID"), kInvalidArgument);
  EXPECT_EQ(f.log.opened, 0);
}

TEST(IPlugVST3View, WithoutAnEditorEverythingAnswersFalse)
{
  ViewFixture f(false);
  ASSERT_NE(f.view, nullptr);
  ViewRect r{};
  EXPECT_EQ(f.view->isPlatformTypeSupported("X11EmbedWindowID"), kResultFalse);
  EXPECT_EQ(f.view->attached(f.parent, "X11EmbedWindowID"), kResultFalse);
  EXPECT_EQ(f.view->getSize(&r), kResultFalse);
  EXPECT_EQ(f.view->canResize(), kResultFalse);
  EXPECT_EQ(f.view->removed(), kResultOk);
  EXPECT_EQ(f.log.opened, 0);
  EXPECT_TRUE(f.plug->ResizeHostView(100, 100));
  EXPECT_EQ(f.plug->GetEditorWidth(), 680) << "no editor: the size stays";
}

TEST(IPlugVST3View, EditorLeavesTheRunLoopBeforeItsWindowGoes)
{
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  {
    ViewFixture f(true, pipeFds[0]);
    f.view->setFrame(f.frame.Get());
    f.view->attached(f.parent, "X11EmbedWindowID");
    ASSERT_EQ(f.frame->EventHandlers().size(), 1u);
    EXPECT_EQ(f.frame->EventHandlers()[0].fd, pipeFds[0]);
    // The 16 ms frame timer and the 20 ms idle timer.
    ASSERT_EQ(f.frame->Timers().size(), 2u);
    std::vector<vst3::uint64> intervals{f.frame->Timers()[0].intervalMs, f.frame->Timers()[1].intervalMs};
    std::sort(intervals.begin(), intervals.end());
    EXPECT_EQ(intervals, (std::vector<vst3::uint64>{16, 20}));

    ASSERT_EQ(::write(pipeFds[1], "x", 1), 1);
    f.frame->RunOnce(0);
    EXPECT_EQ(f.log.readable, 1);
    f.frame->FireAllTimers();
    EXPECT_GE(f.log.frames, 1);
    EXPECT_GE(f.plug->idleTicks, 1);

    f.view->setFrame(nullptr);
    f.view->removed();
    EXPECT_TRUE(f.frame->EventHandlers().empty());
    EXPECT_TRUE(f.frame->Timers().empty());
    const int frames = f.log.frames;
    f.frame->FireAllTimers();
    EXPECT_EQ(f.log.frames, frames);
  }
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
}

TEST(IPlugVST3View, AFrameGivenAfterAttachStillDrivesTheEditor)
{
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  {
    ViewFixture f(true, pipeFds[0]);
    f.view->attached(f.parent, "X11EmbedWindowID");
    f.view->setFrame(f.frame.Get());
    EXPECT_EQ(f.frame->EventHandlers().size(), 1u);
    EXPECT_EQ(f.frame->Timers().size(), 2u);
    f.frame->FireAllTimers();
    EXPECT_GE(f.log.frames, 1);
    f.view->setFrame(f.frame.Get()); // again: nothing registered twice
    EXPECT_EQ(f.frame->Timers().size(), 2u);
    f.view->removed();
    EXPECT_TRUE(f.frame->Timers().empty());
    EXPECT_TRUE(f.frame->EventHandlers().empty());
  }
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
}

TEST(IPlugVST3View, ReleasedWithoutRemoveStillClosesAndUnregisters)
{
  ViewFixture f;
  f.view->setFrame(f.frame.Get());
  f.view->attached(f.parent, "X11EmbedWindowID");
  f.view->release();
  f.view = nullptr;
  EXPECT_EQ(f.log.closed, 1);
  EXPECT_TRUE(f.frame->Timers().empty());
}

TEST(IPlugVST3View, ContentScaleSetBeforeAttachIsHonouredThere)
{
  ViewFixture f;
  auto* scaling = static_cast<iplug::IPlugVST3View*>(f.view);
  EXPECT_EQ(scaling->setContentScaleFactor(2.f), kResultOk);
  EXPECT_TRUE(f.log.scales.empty()) << "nothing is open yet";
  ViewRect r{};
  f.view->getSize(&r);
  EXPECT_EQ(r.bottom, 360);

  f.view->setFrame(f.frame.Get());
  f.view->attached(f.parent, "X11EmbedWindowID");
  EXPECT_EQ(f.log.scales, std::vector<float>{2.f});
  ASSERT_EQ(f.frame->ResizeRequests().size(), 1u);
  EXPECT_EQ(f.frame->ResizeRequests()[0].right, 1360);
  EXPECT_EQ(f.frame->ResizeRequests()[0].bottom, 784);

  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultOk);
  EXPECT_EQ(f.log.scales.back(), 1.5f);
  EXPECT_EQ(f.frame->ResizeRequests().back().right, 1020);
  EXPECT_EQ(f.frame->ResizeRequests().back().bottom, 588);
  EXPECT_EQ(scaling->setContentScaleFactor(0.f), kResultOk);
  EXPECT_EQ(f.log.scales.back(), 1.5f) << "a zero factor is ignored";
  f.view->removed();
}

TEST(IPlugVST3View, KeysReachTheOpenEditorOnly)
{
  ViewFixture f;
  EXPECT_EQ(f.view->onKeyDown(0, 156, 0), kResultFalse) << "no editor open";
  f.view->attached(f.parent, "X11EmbedWindowID");
  EXPECT_EQ(f.view->onKeyDown(0, 156, kShiftKey), kResultTrue);
  EXPECT_EQ(f.view->onKeyDown(0, 4, 0), kResultFalse) << "the editor did not use return";
  ASSERT_EQ(f.log.keys.size(), 2u);
  EXPECT_STREQ(f.log.keys[0].utf8, "L");
  EXPECT_TRUE(f.log.keys[0].S);
  EXPECT_EQ(f.view->onKeyUp(0, 156, 0), kResultFalse) << "key-up is not used by this editor";
  f.view->removed();
}

TEST(IPlugVST3View, SnapshotsWithoutAWindowAndOfTheOpenEditor)
{
  ViewFixture f;
  auto snapshot = vst3host::QueryInterface<iplug::IEditorSnapshot>(f.view);
  ASSERT_TRUE(snapshot);
  static_cast<iplug::IPlugVST3View*>(f.view)->setContentScaleFactor(2.f);

  // No editor open: a context made for the picture alone, never shown.
  EXPECT_EQ(snapshot->renderPng("closed.png"), kResultOk);
  EXPECT_EQ(f.log.made, 1);
  EXPECT_EQ(f.log.opened, 0);
  EXPECT_EQ(f.log.closed, 1);
  EXPECT_FALSE(f.plug->HasEditorContext());
  EXPECT_EQ(snapshot->renderPng("unwritable.png"), kResultFalse);
  EXPECT_FALSE(f.plug->HasEditorContext());

  // The open editor is pictured as it is.
  f.view->attached(f.parent, "X11EmbedWindowID");
  EXPECT_EQ(snapshot->renderPng("open.png"), kResultOk);
  EXPECT_EQ(f.log.made, 3);
  EXPECT_EQ(f.log.snapshots,
            (std::vector<std::pair<std::string, float>>{{"closed.png", 2.f}, {"unwritable.png", 2.f}, {"open.png", 2.f}}));
  EXPECT_EQ(snapshot->renderPng(nullptr), kInvalidArgument);
  f.view->removed();
}

TEST(IPlugVST3View, NoSnapshotWithoutAnEditor)
{
  ViewFixture f(false);
  auto snapshot = vst3host::QueryInterface<iplug::IEditorSnapshot>(f.view);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->renderPng("none.png"), kResultFalse);
  EXPECT_EQ(f.log.made, 0);
}
