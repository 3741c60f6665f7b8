#include "EditorFixture.h"

#include "editor/Button.h"
#include "editor/ISVGControl.h"
#include "editor/ITextControl.h"
#include "editor/Knob.h"
#include "editor/Meter.h"
#include "editor/Panel.h"
#include "editor/PeakDisplay.h"
#include "editor/RangeSlider.h"
#include "editor/Separator.h"
#include "editor/Spin.h"
#include "editor/Toggle.h"
#include "editor/ValueReadout.h"
#include "graphics/ICornerResizerControl.h"
#include "graphics/IPanelControl.h"

#include <cmath>
#include <typeinfo>

namespace editortest
{
namespace
{

struct Expected
{
  const std::type_info& type;
  IBounds rect;
  std::vector<int> params;
  int tag = kNoTag;
};

constexpr float kThird = 122.f / 3.f;

void ExpectRect(const IBounds& actual, const IBounds& expected, int idx)
{
  EXPECT_FLOAT_EQ(actual.L, expected.L) << "control " << idx;
  EXPECT_FLOAT_EQ(actual.T, expected.T) << "control " << idx;
  EXPECT_FLOAT_EQ(actual.R, expected.R) << "control " << idx;
  EXPECT_FLOAT_EQ(actual.B, expected.B) << "control " << idx;
}

TEST_F(EditorTest, LayoutAttachesEveryControlWithItsRectangleBindingAndTagInDrawingOrder)
{
  ASSERT_EQ(g->Width(), 680);
  ASSERT_EQ(g->Height(), 392);

  std::vector<Expected> expected = {
    {typeid(IPanelControl), {0, 0, 680, 392}, {}},
    {typeid(ISVGControl), {10, 10, 42, 32}, {}},
    {typeid(ITextControl), {42, 10, 170, 32}, {}},
    {typeid(Toggle), {606, 10, 670, 32}, {25}},
    {typeid(PresetControl), {230, 10, 450, 32}, {}},
    {typeid(Button), {230, 10, 262, 32}, {}},
    {typeid(Button), {418, 10, 450, 32}, {}},
    {typeid(Button), {262, 10, 418, 32}, {}},
    {typeid(Panel), {10, 42, 132, 382}, {}},
    {typeid(Panel), {142, 42, 264, 382}, {}},
    {typeid(Panel), {274, 42, 396, 382}, {}},
    {typeid(Panel), {406, 42, 670, 382}, {}},
    {typeid(RangeSlider), {10, 42, 10 + kThird, 382}, {6, 9}},
    {typeid(RangeSlider), {142, 42, 142 + kThird, 382}, {7, 10}},
    {typeid(RangeSlider), {274, 42, 274 + kThird, 382}, {8, 11}},
    {typeid(Meter), {10, 42, 10 + kThird, 382}, {}, 0},
    {typeid(Meter), {142, 42, 142 + kThird, 382}, {}, 1},
    {typeid(Meter), {274, 42, 274 + kThird, 382}, {}, 2},
  };
  for (int band = 0; band < 3; ++band)
  {
    const float left = 10.f + 132.f * static_cast<float>(band) + kThird;
    const float right = 10.f + 132.f * static_cast<float>(band) + 122.f;
    expected.push_back({typeid(Knob), {left, 57, right, 121}, {band}});
    expected.push_back({typeid(Knob), {left, 121, right, 185}, {3 + band}});
    expected.push_back({typeid(Knob), {left, 185, right, 249}, {12 + band}});
    expected.push_back({typeid(Knob), {left, 249, right, 313}, {15 + band}});
    expected.push_back({typeid(Spin), {left, 318, right, 382}, {18 + band}});
  }
  expected.push_back({typeid(Separator), {406, 42, 670, 212}, {}});
  expected.push_back({typeid(Knob), {406, 62, 670, 202}, {22}});
  expected.push_back({typeid(Knob), {406, 233, 494, 297}, {21}});
  expected.push_back({typeid(Knob), {494, 233, 582, 297}, {24}});
  expected.push_back({typeid(Knob), {582, 233, 670, 297}, {23}});
  expected.push_back({typeid(PeakDisplay), {406, 307, 670, 382}, {}, 3});
  expected.push_back({typeid(ValueReadout), {0, 0, 0, 0}, {}}); // hidden until a value is edited

  ASSERT_EQ(g->NControls(), static_cast<int>(expected.size()));
  for (int i = 0; i < g->NControls(); ++i)
  {
    const IControl* c = g->GetControl(i);
    const Expected& e = expected[static_cast<size_t>(i)];
    EXPECT_EQ(typeid(*c), e.type) << "control " << i;
    ExpectRect(c->GetRECT(), e.rect, i);
    const std::vector<int> unbound(static_cast<size_t>(c->NVals()), kNoParameter);
    std::vector<int> bound;
    for (int v = 0; v < c->NVals(); ++v)
      bound.push_back(c->GetParamIdx(v));
    EXPECT_EQ(bound, e.params.empty() ? unbound : e.params) << "control " << i;
    EXPECT_EQ(c->GetTag(), e.tag) << "control " << i;
  }

  const ICornerResizerControl* resizer = g->GetCornerResizer();
  ASSERT_NE(resizer, nullptr);
  ExpectRect(resizer->GetRECT(), {661, 373, 679, 391}, -1);
}

TEST_F(EditorTest, LayoutGivesLabelsBandColoursAndMouseRules)
{
  const char* rowLabels[] = {"IN", "OUT", "WIDTH", "EXCITE"};
  const IColor bandColors[] = {{255, 160, 126, 181}, {255, 185, 112, 150}, {255, 186, 104, 110}};
  for (int band = 0; band < 3; ++band)
  {
    for (int row = 0; row < 4; ++row)
    {
      auto* knob = dynamic_cast<Knob*>(Control(18 + 5 * band + row));
      ASSERT_NE(knob, nullptr);
      EXPECT_EQ(knob->GetLabelStr(), rowLabels[row]);
      EXPECT_EQ(knob->GetColor(kX1), bandColors[band]);
      EXPECT_EQ(knob->GetColor(kBG), IColor(255, 42, 43, 43));
    }
    auto* spin = dynamic_cast<Spin*>(Control(22 + 5 * band));
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->GetColor(kX1), bandColors[band]);
    auto* slider = dynamic_cast<RangeSlider*>(Control(12 + band));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetColor(kX1), bandColors[band]);
    EXPECT_EQ(slider->GetColor(kBG), IColor(255, 16, 17, 18));
    EXPECT_TRUE(Control(15 + band)->GetIgnoreMouse()) << "meters let presses through to the slider";
  }
  EXPECT_EQ(dynamic_cast<Knob*>(Control(34))->GetLabelStr(), "DEPTH");
  EXPECT_EQ(dynamic_cast<Knob*>(Control(35))->GetLabelStr(), "TIME");
  EXPECT_EQ(dynamic_cast<Knob*>(Control(36))->GetLabelStr(), "OUT");
  EXPECT_EQ(dynamic_cast<Knob*>(Control(37))->GetLabelStr(), "MIX");
  EXPECT_EQ(dynamic_cast<ITextControl*>(Control(2))->GetStr(), "CALVORIN");
  EXPECT_TRUE(Control(0)->GetIgnoreMouse());
  EXPECT_TRUE(Control(2)->GetIgnoreMouse());
  EXPECT_TRUE(Control(4)->GetIgnoreMouse());
  EXPECT_TRUE(g->MouseOverEnabled());
}

TEST_F(EditorTest, AnOpeningEditorShowsTheCurrentParameterValues)
{
  plug.DetachEditor();
  plug.GetParam(0)->SetFromNormalized(0.8);
  plug.GetParam(18)->SetFromNormalized(1.0);
  plug.AttachEditor(nullptr);
  g = static_cast<IGraphics*>(plug.GetEditorContext());
  EXPECT_NEAR(Control(18)->GetValue(), 0.8, 1e-12);
  EXPECT_EQ(dynamic_cast<Spin*>(Control(22))->GetValueStr(), "SIDE");
}

TEST_F(EditorTest, PresetLinkFollowsTheEditorLifetime)
{
  EXPECT_EQ(plug.GetPresetControl(), Control(4));
  plug.DetachEditor();
  EXPECT_EQ(plug.GetPresetControl(), nullptr);
  // Edits while closed must not touch the deleted selector.
  plug.ParamEditedInEditor(0, 0.75);
  plug.AttachEditor(nullptr);
  g = static_cast<IGraphics*>(plug.GetEditorContext());
  EXPECT_EQ(plug.GetPresetControl(), Control(4));
}

TEST_F(EditorTest, LevelRecordsReachTheTaggedControlsOnlyWhileTheEditorIsOpen)
{
  auto* lowMeter = dynamic_cast<Meter*>(Control(15));
  ASSERT_NE(lowMeter, nullptr);
  FeedLevels(0, 1.f, 0.1f);
  EXPECT_NEAR(lowMeter->GetValue(0), 80.0 / 86.0, 1e-6);
  EXPECT_NEAR(lowMeter->GetValue(1), 60.0 / 86.0, 1e-6);
  EXPECT_EQ(dynamic_cast<Meter*>(Control(16))->GetValue(0), 0.0);

  plug.DetachEditor();
  FeedLevels(0, 1.f, 1.f); // dropped, no crash
  plug.AttachEditor(nullptr);
  g = static_cast<IGraphics*>(plug.GetEditorContext());
  EXPECT_EQ(dynamic_cast<Meter*>(Control(15))->GetValue(0), 0.0) << "a reopened editor starts empty";
}

TEST_F(EditorTest, IdleTicksHandProcessedLevelsToTheMetersByTag)
{
  constexpr int kFrames = 4800; // five 20 ms meter windows at 48 kHz
  std::vector<double> left(kFrames), right(kFrames), outL(kFrames), outR(kFrames);
  for (int i = 0; i < kFrames; ++i)
    left[static_cast<size_t>(i)] = right[static_cast<size_t>(i)] = 0.5 * std::sin(i * 2.0 * 3.141592653589793 * 1000.0 / 48000.0);
  double* inputs[2] = {left.data(), right.data()};
  double* outputs[2] = {outL.data(), outR.data()};
  plug.ProcessBlock(inputs, outputs, kFrames);
  plug.OnIdleTick();

  auto* mid = dynamic_cast<Meter*>(Control(16));
  auto* peaks = dynamic_cast<PeakDisplay*>(Control(38));
  ASSERT_NE(mid, nullptr);
  ASSERT_NE(peaks, nullptr);
  EXPECT_GT(mid->GetValue(1), 0.5) << "a 1 kHz tone at -6 dB shows on the Mid meter's input marker";
  EXPECT_GT(peaks->InputHistory(99), 0.5);
  EXPECT_GT(peaks->OutputHistory(99), 0.0);
}

} // namespace
} // namespace editortest
