#include "RecordingPlugin.h"

#include <gtest/gtest.h>

using calvorin_test::Call;
using calvorin_test::ContextLog;
using calvorin_test::FakeEditorContext;
using calvorin_test::RecordingPlugin;
using calvorin_test::TestConfig;
using iplug::ParamSource;

namespace
{

class PluginFixture : public ::testing::Test
{
protected:
  PluginFixture()
    : plug(TestConfig(3, 2))
  {
    plug.GetParam(0)->DeclareDouble("A", 0.0, 0.0, 100.0, 1.0);
    plug.GetParam(1)->DeclareDouble("B", -40.0, -80.0, 6.0, 0.5);
    plug.GetParam(2)->DeclareBool("C");
    plug.SetMakeContextFunc([this] { return std::make_unique<FakeEditorContext>(log); });
    plug.SetLayoutFunc([this](iplug::IEditorContext&) { ++log.laidOut; });
  }

  ContextLog log;
  RecordingPlugin plug;
};

} // namespace

TEST_F(PluginFixture, ConfigurationIsCopiedAndSizeLimitsOrdered)
{
  EXPECT_EQ(plug.NParams(), 3);
  EXPECT_EQ(plug.NPresets(), 2);
  EXPECT_STREQ(plug.GetPluginName(), "Test");
  EXPECT_STREQ(plug.GetMfrName(), "Maker");
  EXPECT_EQ(plug.GetPluginVersion(), 0x00010203);
  EXPECT_EQ(plug.GetUniqueID(), 0x54657374);
  EXPECT_TRUE(plug.HasUI());
  EXPECT_EQ(plug.GetEditorWidth(), 300);
  EXPECT_EQ(plug.GetMinWidth(), 150);
  EXPECT_EQ(plug.GetMaxWidth(), 600);
  EXPECT_EQ(plug.GetMinHeight(), 100);
  EXPECT_EQ(plug.GetMaxHeight(), 400);
  EXPECT_EQ(plug.GetParam(3), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
}

TEST_F(PluginFixture, EditorEditReachesHostThenHandlerOnce)
{
  plug.hostOverridesPerformEdit = true; // the host answers with another value
  plug.ParamEditedInEditor(0, 0.25);
  const std::vector<Call> expected = {
    {"perform", 0, ParamSource::Unknown, 0.25},
    {"change", 0, ParamSource::UI, -1.0},
    {"update", 0, ParamSource::UI, 25.0}, // the editor's value wins over the host's answer
  };
  EXPECT_EQ(plug.calls, expected);
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 25.0);

  plug.calls.clear();
  plug.ParamEditedInEditor(7, 0.5); // no such parameter: nothing happens
  EXPECT_TRUE(plug.calls.empty());
}

TEST_F(PluginFixture, GesturesAndResendGoToTheHostHooks)
{
  plug.BeginParamGesture(1);
  plug.EndParamGesture(1);
  plug.BeginParamGesture(9);
  ASSERT_EQ(plug.calls.size(), 2u);
  EXPECT_EQ(plug.calls[0].what, "begin");
  EXPECT_EQ(plug.calls[1].what, "end");

  plug.calls.clear();
  plug.GetParam(1)->SetValue(-37.0);
  plug.ResendAllParamsToHost();
  const std::vector<Call> expected = {
    {"perform", 0, ParamSource::Unknown, 0.0},
    {"perform", 1, ParamSource::Unknown, 0.5},
    {"perform", 2, ParamSource::Unknown, 0.0},
  };
  EXPECT_EQ(plug.calls, expected);
}

TEST_F(PluginFixture, ResizeFromEditorAsksHostOnlyWhenPlatformResizeNeeded)
{
  EXPECT_TRUE(plug.ResizeFromEditor(400, 300, false));
  EXPECT_TRUE(plug.calls.empty());
  plug.resizeAnswer = false;
  EXPECT_FALSE(plug.ResizeFromEditor(400, 300, true));
  ASSERT_EQ(plug.calls.size(), 1u);
  EXPECT_EQ(plug.calls[0].what, "resize");
}

TEST_F(PluginFixture, NotifyAllParamsCallsChangeThenUpdateInIndexOrder)
{
  plug.NotifyAllParams(ParamSource::Reset);
  ASSERT_EQ(plug.calls.size(), 6u);
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(plug.calls[2 * i].what, "change");
    EXPECT_EQ(plug.calls[2 * i].idx, i);
    EXPECT_EQ(plug.calls[2 * i].value, -1.0);
    EXPECT_EQ(plug.calls[2 * i + 1].what, "update");
    EXPECT_EQ(plug.calls[2 * i + 1].idx, i);
    EXPECT_EQ(plug.calls[2 * i + 1].source, ParamSource::Reset);
  }
}

TEST_F(PluginFixture, ShowParamInEditorReachesControlsAndHandler)
{
  // Without an editor only the handler hears of it.
  plug.ShowParamInEditor(1, -37.0, false);
  EXPECT_EQ(plug.Updates(), (std::vector<std::pair<int, ParamSource>>{{1, ParamSource::EditorDelegate}}));
  plug.SendValueToControl(5, 0.3);
  plug.SendMsgToControl(5, 0, 20, nullptr);

  int parent = 0;
  ASSERT_NE(plug.AttachEditor(&parent), nullptr);
  plug.ShowParamInEditor(1, -37.0, false);
  plug.ShowParamInEditor(0, 0.75, true);
  plug.ShowParamInEditor(8, 0.75, true); // no such parameter
  EXPECT_EQ(log.paramValues, (std::vector<std::pair<int, double>>{{1, 0.5}, {0, 0.75}}));

  plug.SendValueToControl(5, 0.3);
  plug.SendMsgToControl(5, 0, 20, nullptr);
  EXPECT_EQ(log.controlValues, (std::vector<std::pair<int, double>>{{5, 0.3}}));
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(log.messages[0], (std::vector<int>{5, 0, 20}));
}

TEST_F(PluginFixture, EditorReopensAtRememberedSizeAndScale)
{
  int parent = 0;
  EXPECT_EQ(plug.AttachEditor(&parent) != nullptr, true);
  EXPECT_EQ(log.created, 1);
  EXPECT_EQ(log.laidOut, 1);
  EXPECT_EQ(log.resizes, 0); // nothing remembered yet
  ASSERT_EQ(log.openedIn.size(), 1u);
  EXPECT_EQ(log.openedIn[0], &parent);

  auto* ctx = static_cast<FakeEditorContext*>(plug.GetEditorContext());
  ctx->Resize(1020, 588, 1.5f);
  plug.DetachEditor();
  EXPECT_FALSE(plug.HasEditorContext());
  EXPECT_EQ(log.closed, 1);
  EXPECT_EQ(log.destroyed, 1);
  EXPECT_EQ(plug.GetRememberedWidth(), 1020);
  EXPECT_EQ(plug.GetRememberedScale(), 1.5f);
  plug.DetachEditor(); // a second detach is harmless
  EXPECT_EQ(log.closed, 1);

  ASSERT_NE(plug.AttachEditor(&parent), nullptr);
  EXPECT_EQ(log.created, 2); // a fresh context, laid out again
  EXPECT_EQ(log.laidOut, 2);
  ctx = static_cast<FakeEditorContext*>(plug.GetEditorContext());
  EXPECT_EQ(ctx->width, 1020);
  EXPECT_EQ(ctx->height, 588);
  EXPECT_EQ(ctx->scale, 1.5f);
}

TEST(IGEditorDelegate, AttachWithoutFactoryOpensNothing)
{
  RecordingPlugin plug(TestConfig(1, 0));
  int parent = 0;
  EXPECT_EQ(plug.AttachEditor(&parent), nullptr);
  plug.SetMakeContextFunc([] { return std::unique_ptr<iplug::IEditorContext>(); });
  EXPECT_EQ(plug.AttachEditor(&parent), nullptr);
  EXPECT_FALSE(plug.HasEditorContext());
}

TEST(ParamSource, NamesMatchCodes)
{
  EXPECT_STREQ(iplug::ParamSourceName(ParamSource::Reset), "Reset");
  EXPECT_STREQ(iplug::ParamSourceName(ParamSource::EditorDelegate), "Editor Delegate");
  EXPECT_STREQ(iplug::ParamSourceName(static_cast<ParamSource>(42)), "Unknown");
  EXPECT_EQ(static_cast<int>(ParamSource::UI), 3);
}
