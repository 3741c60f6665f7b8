// Mouse and key dispatch: which control gets which call, in what order, and
// what reaches the delegate.

#include "TestControls.h"

#include "graphics/CursorLock.h"
#include "graphics/ICornerResizerControl.h"

#include <gtest/gtest.h>

namespace igraphics::test
{
namespace
{

struct Surface : ::testing::Test
{
  Log log;
  RecordingDelegate dlg{log};
  IGraphics g{dlg, 200, 120};

  RecordingControl* Add(const IBounds& b, const std::string& name, int paramIdx = kNoParameter, int tag = kNoTag)
  {
    return static_cast<RecordingControl*>(g.AttachControl(new RecordingControl(b, name, log, paramIdx), tag));
  }
  Log Take()
  {
    Log out;
    out.swap(log);
    return out;
  }
};

IMouseKeys Left()
{
  IMouseKeys m;
  m.L = true;
  return m;
}

IMouseKeys Right()
{
  IMouseKeys m;
  m.R = true;
  return m;
}

TEST_F(Surface, TopmostVisibleMouseControlWins)
{
  auto* a = Add({0, 0, 100, 100}, "A");
  auto* b = Add({50, 0, 150, 100}, "B");
  auto* c = Add({60, 0, 160, 100}, "C");
  c->Hide(true);

  g.OnMouseDown(70, 50, Left());
  g.OnMouseUp(70, 50, Left());
  EXPECT_EQ(Take(), (Log{"down B", "up B"}));

  b->SetIgnoreMouse(true);
  g.OnMouseDown(70, 50, Left());
  g.OnMouseUp(70, 50, Left());
  EXPECT_EQ(Take(), (Log{"down A", "up A"}));

  a->SetDisabled(true);
  g.OnMouseDown(70, 50, Left());
  g.OnMouseUp(70, 50, Left());
  EXPECT_TRUE(Take().empty());
  EXPECT_FLOAT_EQ(a->GetBlend().weight, 0.25f);

  a->SetMouseEventsWhenDisabled(true);
  g.OnMouseDown(70, 50, Left());
  EXPECT_EQ(Take(), (Log{"down A"}));
  g.OnMouseUp(70, 50, Left());

  g.OnMouseDown(190, 50, Left()); // nothing there
  EXPECT_EQ(Take(), (Log{"up A"}));
  float x, y;
  g.GetMouseDownPoint(x, y);
  EXPECT_FLOAT_EQ(x, 190.f);
  EXPECT_FLOAT_EQ(y, 50.f);
}

TEST_F(Surface, DragStaysWithTheCapturedControlAndGesturesBracketThePress)
{
  auto* a = Add({0, 0, 50, 50}, "A", 3);
  Add({100, 0, 200, 100}, "B");
  a->SetNVals(2);
  a->SetParamIdx(7, 1);

  g.OnMouseDown(10, 10, Left());
  EXPECT_TRUE(g.IsControlCaptured(a));
  g.OnMouseDrag(150, 50, 140, 40, Left()); // over B, still A's
  g.OnMouseDrag(150, 50, 0, 0, Left());    // no movement, no call
  g.OnMouseUp(150, 50, Left());
  EXPECT_FALSE(g.IsControlCaptured(a));
  EXPECT_EQ(Take(), (Log{"begin 3", "begin 7", "down A", "drag 140 40 A", "up A", "end 3", "end 7"}));
}

TEST_F(Surface, RightClickOnABoundValueAsksTheHost)
{
  Add({0, 0, 50, 50}, "A", 5);
  Add({50, 0, 100, 50}, "B");
  int hostParam = -1;
  g.SetHostContextMenuFunc([&](int paramIdx, float, float) {
    hostParam = paramIdx;
    return true;
  });
  g.HideMouseCursor(true, true);
  g.OnMouseDown(10, 10, Right());
  g.OnMouseUp(10, 10, Right());
  EXPECT_EQ(hostParam, 5);
  EXPECT_FALSE(g.IsCursorHidden());
  EXPECT_TRUE(Take().empty()); // neither the control nor a gesture

  g.OnMouseDown(60, 10, Right()); // unbound: a normal press
  g.OnMouseUp(60, 10, Right());
  EXPECT_EQ(Take(), (Log{"down B", "up B"}));
}

TEST_F(Surface, DoubleClickWheelAndKeysReachTheControlUnderTheMouse)
{
  Add({0, 0, 100, 100}, "A");
  Add({100, 0, 200, 100}, "B");
  // The base double-click puts a bound value back to its parameter's default.
  auto* plain = static_cast<ColorControl*>(g.AttachControl(new ColorControl({0, 100, 10, 110}, COLOR_RED)));
  plain->SetParamIdx(4);
  plain->SetValue(0.9);
  g.OnMouseDblClick(5, 105, Left());
  EXPECT_DOUBLE_EQ(plain->GetValue(), 0.25);
  EXPECT_EQ(Take(), (Log{"edit 4 0.25"}));

  g.OnMouseDblClick(150, 50, Left());
  g.OnMouseWheel(20, 50, {}, static_cast<float>(IGraphics::WheelNotches(-250)));
  IKeyPress k;
  k.utf8[0] = 'q';
  EXPECT_TRUE(g.OnKeyDown(150, 50, k));
  EXPECT_FALSE(g.OnKeyDown(500, 50, k));
  EXPECT_EQ(Take(), (Log{"dbl B", "wheel -2 A", "key q B"}));
}

TEST_F(Surface, HoverInAndOutOnlyWithTracking)
{
  Add({0, 0, 100, 100}, "A");
  Add({100, 0, 200, 100}, "B");
  EXPECT_FALSE(g.OnMouseOver(50, 50, {}));
  EXPECT_TRUE(Take().empty());

  g.EnableMouseOver(true);
  EXPECT_TRUE(g.OnMouseOver(50, 50, {}));
  g.OnMouseOver(60, 50, {});
  g.OnMouseOver(150, 50, {});
  EXPECT_EQ(g.GetMouseOverControl(), g.GetControl(1));
  g.OnMouseOut();
  EXPECT_EQ(g.GetMouseOverControl(), nullptr);
  EXPECT_EQ(Take(), (Log{"over A", "out A", "over B", "out B"}));

  // A release updates the hover state.
  g.OnMouseDown(50, 50, Left());
  g.OnMouseUp(150, 50, Left());
  EXPECT_EQ(Take(), (Log{"down A", "up A", "over B"}));
}

TEST_F(Surface, ValuesTravelBetweenControlsDelegateAndPlugin)
{
  auto* a = Add({0, 0, 50, 50}, "A", 2, 10);
  auto* b = Add({50, 0, 100, 50}, "B", 2, 11);
  auto* c = Add({100, 0, 150, 50}, "C", kNoParameter, 12);
  c->SetNVals(2);
  c->SetParamIdx(2, 1);

  // A user edit goes to the delegate and to every other control on the parameter.
  a->SetValue(1.7);
  a->SetDirty(true);
  EXPECT_DOUBLE_EQ(a->GetValue(), 1.0); // clamped
  EXPECT_DOUBLE_EQ(b->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(c->GetValue(1), 1.0);
  EXPECT_DOUBLE_EQ(c->GetValue(0), 0.0);
  EXPECT_EQ(Take(), (Log{"edit 2 1.00"}));

  // From the plug-in: every slot on the parameter, except while the user holds it.
  g.OnMouseDown(10, 10, Left());
  g.SetParameterValueFromDelegate(2, 0.25);
  EXPECT_DOUBLE_EQ(a->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(c->GetValue(1), 0.25);
  g.OnMouseUp(10, 10, Left());
  g.SetParameterValueFromDelegate(2, 0.5);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.5);

  g.SetControlValueFromDelegate(12, 0.75);
  EXPECT_DOUBLE_EQ(c->GetValue(0), 0.75);
  Take();
  g.SendControlMsgFromDelegate(11, 4, 20, nullptr);
  g.SendControlMsgFromDelegate(99, 4, 20, nullptr); // nobody: ignored
  EXPECT_EQ(Take(), (Log{"msg 4 20 B"}));

  EXPECT_THROW(a->SetValue(0.5, 3), std::out_of_range);
}

TEST_F(Surface, AttachKeepsTagsUniqueAndTheSpecialControlsApart)
{
  auto* a = Add({0, 0, 10, 10}, "A", kNoParameter, 1);
  EXPECT_EQ(Add({0, 0, 10, 10}, "dup", kNoParameter, 1), nullptr);
  EXPECT_EQ(g.NControls(), 1);
  EXPECT_EQ(g.GetControlWithTag(1), a);
  EXPECT_EQ(a->GetUI(), &g);
  EXPECT_EQ(a->GetDelegate(), &dlg);

  IControl* bg = g.AttachPanelBackground(IFill(COLOR_GRAY));
  EXPECT_EQ(g.GetControl(0), bg);
  EXPECT_TRUE(bg->GetIgnoreMouse());

  auto* r1 = g.AttachCornerResizer(new ICornerResizerControl(IBounds(0, 0, 200, 100), 20.f));
  ASSERT_NE(r1, nullptr);
  EXPECT_EQ(r1->GetRECT(), IBounds(181, 81, 199, 99));
  EXPECT_EQ(g.AttachCornerResizer(new ICornerResizerControl(IBounds(0, 0, 200, 100), 30.f)), nullptr);
  EXPECT_EQ(g.GetCornerResizer(), r1);
  EXPECT_EQ(g.NControls(), 2);

  g.CloseWindow();
  EXPECT_EQ(g.NControls(), 0);
  EXPECT_EQ(g.GetControlWithTag(1), nullptr);
  EXPECT_EQ(g.GetCornerResizer(), nullptr);
}

TEST_F(Surface, CornerHandleScalesAndDoubleClickRestores)
{
  IGraphics big(dlg, 680, 392);
  std::vector<float> hostScales;
  big.SetHostResizeFunc([&](int w, int h, float s) {
    EXPECT_EQ(w, 680);
    EXPECT_EQ(h, 392);
    hostScales.push_back(s);
  });
  big.EnableMouseOver(true);
  auto* handle = big.AttachCornerResizer(new ICornerResizerControl(IBounds(0, 0, 680, 392), 20.f));
  ASSERT_NE(handle, nullptr);

  big.OnMouseOver(670, 382, {});
  EXPECT_EQ(big.GetMouseCursor(), ECursor::SIZENWSE);
  big.OnMouseDown(670, 382, Left());
  EXPECT_TRUE(big.IsResizing());
  big.OnMouseDrag(1340, 764, 670, 382, Left());
  EXPECT_FLOAT_EQ(big.GetDrawScale(), 2.f);
  EXPECT_EQ(big.PixelWidth(), 1360);
  // The handle keeps its pixel size: 20 pixels are 10 units at scale 2.
  EXPECT_EQ(handle->GetRECT(), IBounds(670, 382, 680, 392));
  big.OnMouseUp(670, 382, Left());
  EXPECT_FALSE(big.IsResizing());

  // Dragging towards the origin cannot reach a zero scale.
  big.OnMouseDown(675, 387, Left());
  big.OnMouseDrag(0, 0, -675, -387, Left());
  EXPECT_GT(big.GetDrawScale(), 0.f);
  big.OnMouseDrag(1, 1, 1, 1, Left());
  EXPECT_FLOAT_EQ(big.GetDrawScale(), 0.25f);
  big.OnMouseUp(1, 1, Left());

  big.OnMouseDblClick(679, 391, Left());
  EXPECT_FLOAT_EQ(big.GetDrawScale(), 1.f);
  ASSERT_FALSE(hostScales.empty());
  EXPECT_FLOAT_EQ(hostScales.back(), 1.f);

  big.OnMouseOver(10, 10, {});
  EXPECT_EQ(big.GetMouseCursor(), ECursor::ARROW);
}

TEST_F(Surface, PopupMenuDeliversTheChosenEntry)
{
  auto* a = Add({10, 10, 60, 30}, "A");
  Add({0, 40, 200, 100}, "Under");
  IPopupMenu menu({"one", "two", "three"});
  menu.GetItem(2)->enabled = false;

  g.CreatePopupMenu(*a, menu, a->GetRECT(), 0);
  EXPECT_TRUE(g.IsPopupMenuOpen());
  g.OnFrame();
  // Rows of 20 below the anchor: "two" spans 50..70, over the other control.
  g.OnMouseDown(20, 55, Left());
  g.OnMouseUp(20, 55, Left());
  EXPECT_FALSE(g.IsPopupMenuOpen());
  EXPECT_EQ(menu.GetChosenItemIdx(), 1);
  EXPECT_EQ(Take(), (Log{"menu 1 0 A"}));
  g.OnFrame();

  g.CreatePopupMenu(*a, menu, a->GetRECT(), 0);
  g.OnMouseDown(20, 75, Left()); // the disabled entry dismisses
  g.OnMouseUp(20, 75, Left());
  g.CreatePopupMenu(*a, menu, a->GetRECT(), 0);
  g.OnMouseDown(190, 5, Left()); // outside dismisses
  g.OnMouseUp(190, 5, Left());
  EXPECT_EQ(Take(), (Log{"menu -1 0 A", "menu -1 0 A"}));
  g.OnFrame();
  g.OnMouseDown(20, 55, Left()); // closed: the control underneath again
  EXPECT_EQ(Take(), (Log{"down Under"}));
}

TEST_F(Surface, AnimationKeepsAControlDirtyUntilItEnds)
{
  auto* a = Add({0, 0, 10, 10}, "A");
  int steps = 0, ended = 0;
  a->SetAnimationEndActionFunction([&](IControl*) { ++ended; });
  a->SetAnimation([&](IControl* c) {
    if (++steps == 3)
      c->OnEndAnimation();
  }, 100);
  g.OnFrame();
  g.OnFrame();
  g.OnFrame(); // third step ends it
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(g.OnFrame()); // the end's repaint happened in that same frame
  EXPECT_EQ(steps, 3);
}

} // namespace
} // namespace igraphics::test

// The locked cursor of a fine drag: the platform's warp back is no move, real
// moves add up in editor units, and presses land on the virtual position only
// while locked.
TEST(CursorLock, MovesAddUpAndTheWarpBackIsNoMove)
{
  igraphics::CursorLock lock;
  EXPECT_EQ(lock.X(7.f), 7.f);
  lock.Engage(100, 50, 50.f, 25.f);
  EXPECT_FALSE(lock.Move(100, 50, 2.f)); // the echo of the warp back
  struct Row
  {
    int x, y;
    float expectX, expectY, expectDx, expectDy;
  };
  for (const Row& r : {Row{104, 49, 52.f, 24.5f, 2.f, -0.5f}, Row{90, 50, 47.f, 24.5f, -5.f, 0.f}})
  {
    const auto step = lock.Move(r.x, r.y, 2.f);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->x, r.expectX);
    EXPECT_EQ(step->y, r.expectY);
    EXPECT_EQ(step->dx, r.expectDx);
    EXPECT_EQ(step->dy, r.expectDy);
  }
  EXPECT_EQ(lock.PointX(), 100);
  EXPECT_EQ(lock.X(7.f), 47.f);
  lock.Release();
  EXPECT_EQ(lock.Y(7.f), 7.f);
}
