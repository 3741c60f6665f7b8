#include "EditorFixture.h"

#include "editor/EditorLooks.h"
#include "editor/IVSwitchControl.h"
#include "editor/Knob.h"
#include "editor/Meter.h"
#include "editor/MeterLevel.h"
#include "editor/PeakDisplay.h"

#include <limits>

namespace editortest
{
namespace
{

// A bare drawing context over the plug-in, for controls outside the layout.
class ControlFrameworkTest : public ::testing::Test
{
protected:
  RecordingPlug plug;
  IGraphics g{plug, 200, 200};
  EditorLooks looks = MakeEditorLooks();
};

TEST(MeterLevelTest, PositionsFollowTheThresholdScale)
{
  EXPECT_EQ(LevelToPosition(0.0, -80.0, 6.0), 0.0);
  EXPECT_EQ(LevelToPosition(1e-5, -80.0, 6.0), 0.0) << "-100 dB";
  EXPECT_EQ(LevelToPosition(1e-4, -80.0, 6.0), 0.0) << "-80 dB";
  EXPECT_NEAR(LevelToPosition(1.0, -80.0, 6.0), 80.0 / 86.0, 1e-12);
  EXPECT_NEAR(LevelToPosition(-0.1, -80.0, 6.0), 60.0 / 86.0, 1e-12) << "magnitudes";
  EXPECT_EQ(LevelToPosition(4.0, -80.0, 6.0), 1.0) << "above +6 dB";
  EXPECT_EQ(LevelToPosition(std::numeric_limits<double>::quiet_NaN(), -80.0, 6.0), 0.0);
  EXPECT_EQ(LevelToPosition(std::numeric_limits<double>::infinity(), -80.0, 6.0), 1.0);
}

TEST(MeterLevelTest, ShortRecordsReadAsSilenceWithNoTag)
{
  const unsigned char bytes[19] = {1, 0, 0, 0, 2, 0, 0, 0};
  const iplug::MeterRecord r = ReadMeterRecord(sizeof(bytes), bytes);
  EXPECT_EQ(r.controlTag, -1);
  EXPECT_EQ(r.nValues, 2);
  EXPECT_EQ(r.firstChannel, 0);
  EXPECT_EQ(r.values[0], 0.f);
  EXPECT_EQ(r.values[1], 0.f);
  EXPECT_EQ(ReadMeterRecord(20, nullptr).controlTag, -1);
}

TEST_F(ControlFrameworkTest, MetersIgnoreOtherMessagesAndWildChannelRanges)
{
  auto* meter = static_cast<Meter*>(g.AttachControl(new Meter(IBounds(0, 0, 20, 100), -80.f, 6.f, looks.meter), 0));
  auto record = LevelRecord(0, 1.f, 1.f);
  meter->OnMsgFromDelegate(1, static_cast<int>(record.size()), record.data());
  EXPECT_EQ(meter->GetValue(0), 0.0) << "message tag 1 is not a level";

  std::int32_t wild[3] = {0, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max()};
  std::memcpy(record.data(), wild, sizeof(wild));
  meter->OnMsgFromDelegate(0, static_cast<int>(record.size()), record.data());
  EXPECT_EQ(meter->GetValue(0), 0.0);
  EXPECT_EQ(meter->GetValue(1), 0.0);

  meter->SetDisabled(true);
  record = LevelRecord(0, 1.f, 1.f);
  meter->OnMsgFromDelegate(0, static_cast<int>(record.size()), record.data());
  EXPECT_EQ(meter->GetValue(0), 0.0) << "a disabled meter ignores records";
  meter->SetDisabled(false);
  meter->OnMsgFromDelegate(0, static_cast<int>(record.size()), record.data());
  EXPECT_NEAR(meter->GetValue(0), 80.0 / 86.0, 1e-6);

  auto* peaks = static_cast<PeakDisplay*>(
    g.AttachControl(new PeakDisplay(IBounds(0, 100, 200, 150), -80.f, 6.f, looks.meter), 3));
  peaks->OnMsgFromDelegate(0, 3, record.data());
  EXPECT_EQ(peaks->OutputHistory(99), 0.f) << "a short record counts as silence";
}

TEST_F(ControlFrameworkTest, TwoStateSwitchFlipsAndThreeStateSwitchWraps)
{
  auto* toggle = static_cast<IVSwitchControl*>(
    g.AttachControl(new IVSwitchControl(IBounds(0, 0, 50, 20), kBypass, "", looks.base)));
  toggle->SetValue(0.5);
  toggle->OnMouseDown(10, 10, {});
  EXPECT_EQ(toggle->GetValue(), 0.0) << "anything but exactly 0 turns off";
  toggle->OnMouseDown(10, 10, {});
  EXPECT_EQ(toggle->GetValue(), 1.0);

  auto* mode = static_cast<IVSwitchControl*>(
    g.AttachControl(new IVSwitchControl(IBounds(0, 30, 50, 50), kModeMid, "", looks.base)));
  ASSERT_EQ(mode->GetNumStates(), 3);
  const double expected[] = {0.5, 1.0, 0.0};
  for (double v : expected)
  {
    mode->OnMouseDown(10, 40, {});
    EXPECT_EQ(mode->GetValue(), v);
  }
}

TEST_F(ControlFrameworkTest, SnapToMouseQuantisesAndClips)
{
  auto* knob = static_cast<Knob*>(g.AttachControl(new Knob(IBounds(0, 0, 80, 64), kDepth, looks.knob, "D", false)));
  const IBounds track(0, 0, 10, 100);
  knob->SnapToMouse(5, -30, EDirection::Vertical, track, 0, 0.1, 0.9);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.9) << "above the track: the upper clip";
  knob->SnapToMouse(5, 33.3333f, EDirection::Vertical, track, 0);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.667);
  knob->SnapToMouse(2.5f, 0, EDirection::Horizontal, track, 0);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
  EXPECT_NEAR(plug.GetParam(kDepth)->GetValueNormalized(), 0.25, 1e-12) << "reported to the plug-in";
}

TEST_F(ControlFrameworkTest, DisabledControlsDrawAtQuarterWeight)
{
  auto* knob = static_cast<Knob*>(g.AttachControl(new Knob(IBounds(0, 0, 80, 64), kDepth, looks.knob, "D", false)));
  knob->SetDisabled(true);
  EXPECT_FLOAT_EQ(knob->GetBlend().weight, 0.25f);
  knob->SetDisabled(false);
  EXPECT_FLOAT_EQ(knob->GetBlend().weight, 1.f);
}

TEST_F(ControlFrameworkTest, KnobDragSpanAndAnchorFollowTheGeometry)
{
  auto* band = static_cast<Knob*>(g.AttachControl(new Knob(IBounds(0, 0, 81.333f, 64), kPreGainLow, looks.knob, "IN", true)));
  const IBounds span = band->GetKnobDragBounds();
  EXPECT_FLOAT_EQ(span.H(), 48.f);
  EXPECT_FLOAT_EQ(span.W(), 24.f);
  EXPECT_FLOAT_EQ(band->GetAnchorAngle(), 0.f);
  EXPECT_FLOAT_EQ(band->TrackSize(), 3.2f);

  auto* narrow = static_cast<Knob*>(g.AttachControl(new Knob(IBounds(0, 100, 30, 164), kDepth, looks.knob, "D", false)));
  EXPECT_FLOAT_EQ(narrow->GetKnobDragBounds().H(), 15.f) << "taller than wide: half the width";
  EXPECT_FLOAT_EQ(narrow->GetAnchorAngle(), -135.f);
}

} // namespace
} // namespace editortest
