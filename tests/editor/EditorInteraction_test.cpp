#include "EditorFixture.h"

#include "editor/Button.h"
#include "editor/Knob.h"
#include "editor/RangeSlider.h"
#include "editor/Spin.h"
#include "editor/ValueReadout.h"
#include "graphics/IPopupMenu.h"

#include <algorithm>

namespace editortest
{
namespace
{

// Centre of the Low band's IN knob (pre-gain, bipolar) and of its range slider.
constexpr float kLowInX = 91.f;
constexpr float kLowInY = 81.f;
constexpr float kSliderX = 30.f; // inside the meter drawn over the slider too
constexpr float kSliderT = 42.f;
constexpr float kSliderH = 340.f;

float LineY(double v)
{
  return kSliderT + kSliderH - kSliderH * static_cast<float>(v);
}

std::vector<HostCall> CallsFor(const std::vector<HostCall>& calls, char kind)
{
  std::vector<HostCall> out;
  std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [kind](const HostCall& c) { return c.kind == kind; });
  return out;
}

class EditorInteractionTest : public EditorTest
{
protected:
  void SetFromHost(int paramIdx, double norm)
  {
    plug.GetParam(paramIdx)->SetFromNormalized(norm);
    plug.ShowParamInEditor(paramIdx, norm, true);
    plug.calls.clear();
  }
};

TEST_F(EditorInteractionTest, KnobDragSpansOneFullRangeIn192UnitsAndTenTimesFinerWithShift)
{
  SetFromHost(0, 0.0);
  Drag(kLowInX, kLowInY, 0.f, -192.f);
  EXPECT_NEAR(Norm(0), 1.0, 1e-9);

  ASSERT_FALSE(plug.calls.empty());
  EXPECT_EQ(plug.calls.front(), (HostCall{'b', 0, 0.0}));
  EXPECT_EQ(plug.calls.back(), (HostCall{'e', 0, 0.0}));
  const auto performs = CallsFor(plug.calls, 'p');
  ASSERT_GE(performs.size(), 4u);
  for (const HostCall& c : performs)
    EXPECT_EQ(c.paramIdx, 0);
  EXPECT_NEAR(performs.back().value, 1.0, 1e-9);
  EXPECT_FALSE(g->IsCursorHidden()) << "the cursor comes back on release";

  SetFromHost(0, 0.0);
  IMouseKeys shift;
  shift.S = true;
  Drag(kLowInX, kLowInY, 0.f, -192.f, shift);
  EXPECT_NEAR(Norm(0), 0.1, 1e-9);

  // Dragging down past the bottom clamps at 0.
  Drag(kLowInX, kLowInY, 0.f, 400.f);
  EXPECT_EQ(Norm(0), 0.0);
}

TEST_F(EditorInteractionTest, DoubleClickReturnsKnobsAndSliderToTheirDefaults)
{
  SetFromHost(0, 0.9);
  SetFromHost(6, 0.2);
  SetFromHost(9, 0.8);
  g->OnMouseDblClick(kLowInX, kLowInY, {});
  EXPECT_NEAR(Norm(0), 0.5, 1e-12);
  g->OnMouseDblClick(kSliderX, 200.f, {});
  EXPECT_NEAR(plug.GetParam(6)->GetValue(), -40.0, 1e-9);
  EXPECT_NEAR(plug.GetParam(9)->GetValue(), -30.0, 1e-9);
  const auto performs = CallsFor(plug.calls, 'p');
  ASSERT_EQ(performs.size(), 3u);
  EXPECT_EQ(performs[0].paramIdx, 0);
  EXPECT_EQ(performs[1].paramIdx, 6);
  EXPECT_EQ(performs[2].paramIdx, 9);
}

TEST_F(EditorInteractionTest, ModeSelectorCyclesThroughItsThreeModesBackToLR)
{
  auto* spin = dynamic_cast<Spin*>(Control(22));
  ASSERT_NE(spin, nullptr);
  const IBounds pill = spin->GetWidgetBounds();
  EXPECT_EQ(spin->GetValueStr(), "LR");
  const char* expected[] = {"MID", "SIDE", "LR"};
  for (const char* text : expected)
  {
    Click(pill.MW(), pill.MH());
    EXPECT_EQ(spin->GetValueStr(), text);
  }
  EXPECT_EQ(plug.GetParam(18)->GetValue(), 0.0);
  // Outside the pill but inside the control rectangle: not a hit.
  Click(spin->GetRECT().L + 2.f, pill.MH());
  EXPECT_EQ(plug.GetParam(18)->GetValue(), 0.0);

  // Two quick clicks are a click and a double-click: two steps, not a reset.
  Click(pill.MW(), pill.MH());
  g->OnMouseDblClick(pill.MW(), pill.MH(), {});
  g->OnMouseUp(pill.MW(), pill.MH(), {});
  EXPECT_EQ(spin->GetValueStr(), "SIDE");
}

TEST_F(EditorInteractionTest, RangeSliderHandlesKeepTheirSpacingAndLimits)
{
  const double pull0 = Norm(6);
  const double push0 = Norm(9);

  // Pull handle: its grab zone lies just below its line. Dragging it far up
  // stops 0.1 below the push threshold.
  Drag(kSliderX, LineY(pull0) + 6.f, 0.f, -250.f);
  EXPECT_NEAR(Norm(6), push0 - 0.1, 1e-3);
  EXPECT_EQ(Norm(9), push0);

  // Push handle: zone just above its line; to the top it stops at 0.9.
  Drag(kSliderX, LineY(push0) - 6.f, 0.f, -400.f);
  EXPECT_NEAR(Norm(9), 0.9, 1e-3);

  // Pull handle to the bottom stops at 0.1.
  Drag(kSliderX, LineY(Norm(6)) + 6.f, 0.f, 400.f);
  EXPECT_NEAR(Norm(6), 0.1, 1e-3);

  // Every edit reached the host bracketed by gestures on both thresholds.
  const auto begins = CallsFor(plug.calls, 'b');
  const auto ends = CallsFor(plug.calls, 'e');
  ASSERT_EQ(begins.size(), 6u);
  ASSERT_EQ(ends.size(), 6u);
  EXPECT_EQ(begins[0].paramIdx, 6);
  EXPECT_EQ(begins[1].paramIdx, 9);
  for (const HostCall& c : CallsFor(plug.calls, 'p'))
    EXPECT_TRUE(c.paramIdx == 6 || c.paramIdx == 9);
  EXPECT_NEAR(CallsFor(plug.calls, 'p').back().value, Norm(6), 1e-12);
}

// A host may put one line where the other has no room for the spacing within
// 0.1 … 0.9; a grabbed line then keeps as much spacing as 0 … 1 allows and
// never passes the other.
TEST_F(EditorInteractionTest, RangeSliderHandleWithoutRoomStaysBetweenTheOtherLineAndTheRangeEnd)
{
  struct Case
  {
    double pull, push;
    int grabbed; // 0: pull, 1: push
    float dY;
    double expected;
  };
  const Case cases[] = {{0.85, 0.95, 1, 400.f, 0.95}, {0.85, 0.92, 1, -400.f, 1.0}, {0.97, 0.99, 1, 400.f, 1.0},
                        {0.05, 0.15, 0, -400.f, 0.05}, {0.08, 0.15, 0, 400.f, 0.0}, {0.01, 0.03, 0, -400.f, 0.0}};
  for (const Case& c : cases)
  {
    SetFromHost(6, c.pull);
    SetFromHost(9, c.push);
    const double line = c.grabbed == 0 ? c.pull : c.push;
    Drag(kSliderX, LineY(line) + (c.grabbed == 0 ? 2.f : -2.f), 0.f, c.dY);
    EXPECT_NEAR(Norm(c.grabbed == 0 ? 6 : 9), c.expected, 1e-9) << c.pull << " " << c.push << " " << c.dY;
    EXPECT_NEAR(Norm(c.grabbed == 0 ? 9 : 6), c.grabbed == 0 ? c.push : c.pull, 1e-12);
  }
}

TEST_F(EditorInteractionTest, RangeSliderPressOutsideBothZonesChangesNothing)
{
  const double pull0 = Norm(6);
  const double push0 = Norm(9);
  const float between = 0.5f * (LineY(pull0) + LineY(push0));
  Drag(kSliderX, between, 0.f, -60.f);
  Drag(kSliderX, 60.f, 0.f, 30.f);
  EXPECT_EQ(Norm(6), pull0);
  EXPECT_EQ(Norm(9), push0);
  EXPECT_TRUE(CallsFor(plug.calls, 'p').empty());
}

// A press may come with no hover at its point before it (a window manager's
// grab reports the pointer leaving, a tablet jumps): the press picks the line.
// The value of the line in use shows beside the slider until the pointer leaves.
TEST_F(EditorInteractionTest, RangeSliderPressPicksItsHandleAndItsValueShowsWhileInUse)
{
  auto* readout = dynamic_cast<ValueReadout*>(Control(g->NControls() - 1));
  ASSERT_NE(readout, nullptr);
  const double push0 = Norm(9);
  g->OnMouseOver(kSliderX, LineY(Norm(6)) + 6.f, {});
  EXPECT_TRUE(readout->IsShowing());
  EXPECT_EQ(readout->GetText(), "-40.0 dB");
  g->OnMouseOut();
  EXPECT_FALSE(readout->IsShowing());

  IMouseKeys left;
  left.L = true;
  const float y = LineY(push0) - 6.f;
  g->OnMouseDown(kSliderX, y, left);
  g->OnMouseDrag(kSliderX, y - 40.f, 0.f, -40.f, left);
  EXPECT_GT(Norm(9), push0 + 0.1);
  EXPECT_TRUE(readout->IsShowing());
  EXPECT_GT(readout->GetRECT().L, kSliderX) << "beside the slider";
  std::string shown;
  plug.GetParam(9)->FormatValueWithLabel(shown);
  EXPECT_EQ(readout->GetText(), shown);
  g->OnMouseUp(kSliderX, y - 40.f, left);
  g->OnMouseOut();
  EXPECT_FALSE(readout->IsShowing());
}

TEST_F(EditorInteractionTest, AKnobShowsItsValueInPlaceOfItsLabelWhileInUse)
{
  auto* knob = dynamic_cast<Knob*>(Control(18));
  ASSERT_NE(knob, nullptr);
  EXPECT_EQ(knob->LabelText(), "IN");
  g->OnMouseOver(kLowInX, kLowInY, {});
  EXPECT_EQ(knob->LabelText(), "0.00 dB");
  g->OnMouseOut();
  EXPECT_EQ(knob->LabelText(), "IN");
}

TEST_F(EditorInteractionTest, RangeSliderPullHandleWinsWhenZonesOverlap)
{
  // A host may put the push threshold below the pull threshold.
  SetFromHost(6, 0.6);
  SetFromHost(9, 0.55);
  const float y = 0.5f * (LineY(0.6) + LineY(0.55));
  g->OnMouseOver(kSliderX, y, {});
  auto* slider = dynamic_cast<RangeSlider*>(Control(12));
  ASSERT_NE(slider, nullptr);
  EXPECT_EQ(slider->GetSelectedHandle(), 0);
}

TEST_F(EditorInteractionTest, HostChangesShowUnlessTheUserHoldsTheControl)
{
  auto* knob = dynamic_cast<Knob*>(Control(18));
  plug.ShowParamInEditor(0, 0.25, true);
  EXPECT_EQ(knob->GetValue(), 0.25);

  IMouseKeys left;
  left.L = true;
  g->OnMouseOver(kLowInX, kLowInY, {});
  g->OnMouseDown(kLowInX, kLowInY, left);
  plug.ShowParamInEditor(0, 0.8, true);
  EXPECT_EQ(knob->GetValue(), 0.25);
  g->OnMouseUp(kLowInX, kLowInY, left);
  plug.ShowParamInEditor(0, 0.8, true);
  EXPECT_EQ(knob->GetValue(), 0.8);
}

TEST_F(EditorInteractionTest, WheelMovesAKnobByOneHundredthPerNotch)
{
  SetFromHost(12, 0.5);
  g->OnMouseWheel(91.f, 209.f, {}, 2.f);
  EXPECT_NEAR(Norm(12), 0.52, 1e-9);
  IMouseKeys ctrl;
  ctrl.C = true;
  g->OnMouseWheel(91.f, 209.f, ctrl, -1.f);
  EXPECT_NEAR(Norm(12), 0.519, 1e-9);
}

TEST_F(EditorInteractionTest, BypassToggleFlipsOnEachClick)
{
  Click(620.f, 21.f);
  EXPECT_EQ(plug.GetParam(25)->GetValue(), 1.0);
  EXPECT_EQ(plug.calls, (std::vector<HostCall>{{'b', 25, 0.0}, {'p', 25, 1.0}, {'e', 25, 0.0}}));
  Click(620.f, 21.f);
  EXPECT_EQ(plug.GetParam(25)->GetValue(), 0.0);
}

class PresetSelectorTest : public EditorInteractionTest
{
protected:
  void ClickLeft() { Click(240.f, 21.f); }
  void ClickRight() { Click(440.f, 21.f); }
  void ClickName() { Click(340.f, 21.f); }
};

TEST_F(PresetSelectorTest, PreviousAndNextWrapAndActWhenTheClickSplashEnds)
{
  ASSERT_NE(Selector(), nullptr);
  EXPECT_STREQ(Selector()->GetDisplayedName(), "CUSTOM");
  ASSERT_EQ(plug.GetCurrentPresetIdx(), 0);

  ClickLeft();
  g->OnFrame();
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0) << "nothing happens before the 100 ms splash ends";
  RunFramesFor(150);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_STREQ(Selector()->GetDisplayedName(), "UP A LOT");

  ClickRight();
  RunFramesFor(150);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_STREQ(Selector()->GetDisplayedName(), "DEFAULT");

  plug.calls.clear();
  ClickRight();
  RunFramesFor(150);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_STREQ(Selector()->GetDisplayedName(), "TORV");
  EXPECT_NEAR(plug.GetParam(10)->GetValue(), -24.0, 1e-9);
  // The host hears every value the preset changed, as one edit of each.
  const auto performs = CallsFor(plug.calls, 'p');
  EXPECT_EQ(CallsFor(plug.calls, 'b').size(), performs.size());
  EXPECT_EQ(CallsFor(plug.calls, 'e').size(), performs.size());
  EXPECT_TRUE(std::any_of(performs.begin(), performs.end(), [this](const HostCall& c) {
    return c.paramIdx == 10 && c.value == Norm(10);
  }));
  EXPECT_FALSE(std::any_of(performs.begin(), performs.end(), [](const HostCall& c) { return c.paramIdx == 9; }))
    << "Push Threshold Low is -30 dB in both presets";
  EXPECT_NEAR(dynamic_cast<RangeSlider*>(Control(13))->GetValue(1), plug.GetParam(10)->GetValueNormalized(), 1e-12)
    << "the recalled values show in the controls";
}

TEST_F(PresetSelectorTest, MenuTicksTheCurrentPresetAndLoadsTheChosenOne)
{
  ClickRight();
  RunFramesFor(150);
  ASSERT_EQ(plug.GetCurrentPresetIdx(), 1);

  ClickName();
  EXPECT_FALSE(g->IsPopupMenuOpen());
  RunFramesFor(150);
  ASSERT_TRUE(g->IsPopupMenuOpen());
  const IPopupMenu& menu = Selector()->GetMenu();
  ASSERT_EQ(menu.NItems(), 3);
  EXPECT_EQ(menu.GetItem(0)->text, "DEFAULT");
  EXPECT_EQ(menu.GetItem(1)->text, "TORV");
  EXPECT_EQ(menu.GetItem(2)->text, "UP A LOT");
  EXPECT_FALSE(menu.GetItem(0)->checked);
  EXPECT_TRUE(menu.GetItem(1)->checked);
  EXPECT_FALSE(menu.GetItem(2)->checked);

  // Rows of 20 units open below the name button.
  const IBounds name = Selector()->NameZone();
  Click(name.L + 30.f, name.B + 2.f * 20.f + 10.f);
  EXPECT_FALSE(g->IsPopupMenuOpen());
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_STREQ(Selector()->GetDisplayedName(), "UP A LOT");
}

TEST_F(PresetSelectorTest, AnEditOfAnyParameterButBypassShowsCustom)
{
  ClickRight();
  RunFramesFor(150);
  ASSERT_STREQ(Selector()->GetDisplayedName(), "TORV");

  Click(620.f, 21.f); // bypass
  EXPECT_STREQ(Selector()->GetDisplayedName(), "TORV");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);

  // A host that keeps values as 32-bit floats sends the preset's back rounded.
  SetFromHost(0, static_cast<float>(Norm(0)));
  EXPECT_STREQ(Selector()->GetDisplayedName(), "TORV");

  Drag(kLowInX, kLowInY, 0.f, -10.f);
  EXPECT_STREQ(Selector()->GetDisplayedName(), "CUSTOM");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);

  // A host change after another recall does the same.
  ClickRight();
  RunFramesFor(150);
  ASSERT_STREQ(Selector()->GetDisplayedName(), "TORV");
  SetFromHost(3, 0.3);
  EXPECT_STREQ(Selector()->GetDisplayedName(), "CUSTOM");
}

} // namespace
} // namespace editortest
