// The editor view of the real module, as a host sees it before it opens a
// window: platform type, sizes, constraints and content scale.

#include "ModuleFixture.h"

#include "vst3/host/PlugFrame.h"

using namespace calvorin_test;

using ModuleView = ModuleTest;

TEST_F(ModuleView, EditorViewAnswersLikeAnX11Embed)
{
  vst3::IPlugView* view = plugin->Controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(plugin->Controller()->createView("other"), nullptr);

  EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), vst3::kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), vst3::kResultFalse);
  EXPECT_EQ(view->canResize(), vst3::kResultFalse);

  vst3::ViewRect r{};
  ASSERT_EQ(view->getSize(&r), vst3::kResultOk);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 680);
  EXPECT_EQ(r.bottom, 392) << "the size the editor draws, not the configured 360, so no host cuts it off";

  vst3::ViewRect request{0, 0, 2000, 100};
  EXPECT_EQ(view->checkSizeConstraint(&request), vst3::kResultOk);
  EXPECT_EQ(request.right, 1360);
  EXPECT_EQ(request.bottom, 180);

  void* p = nullptr;
  ASSERT_EQ(view->queryInterface(vst3::IPlugViewContentScaleSupport::iid, &p), vst3::kResultOk);
  auto* scaling = static_cast<vst3::IPlugViewContentScaleSupport*>(p);
  EXPECT_EQ(scaling->setContentScaleFactor(2.f), vst3::kResultOk);
  scaling->release();
  ASSERT_EQ(view->getSize(&r), vst3::kResultOk);
  EXPECT_EQ(r.right, 1360);
  EXPECT_EQ(r.bottom, 784) << "a scale before attach sizes the window the editor will open in";
  vst3::ViewRect current = r;
  EXPECT_EQ(view->checkSizeConstraint(&current), vst3::kResultOk);
  EXPECT_EQ(current.bottom, 784) << "the limits hold the size the editor draws";

  // Keys without an open editor are not used, so host shortcuts keep working.
  EXPECT_EQ(view->onKeyDown(0, 156, 0), vst3::kResultFalse);

  auto frame = vst3host::MakeCom<vst3host::PlugFrame>();
  EXPECT_EQ(view->setFrame(frame.Get()), vst3::kResultTrue);
  EXPECT_EQ(view->setFrame(nullptr), vst3::kResultTrue);
  EXPECT_TRUE(frame->ResizeRequests().empty());
  view->release();
}
