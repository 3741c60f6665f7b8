#include "RecordingPlugin.h"

#include "core/StateBlob.h"

#include <gtest/gtest.h>

#include <cstring>

using calvorin_test::RecordingPlugin;
using calvorin_test::TestConfig;
using iplug::ParamSource;
using iplug::StateBlob;

TEST(StateBlob, AppendAndReadAtRespectBounds)
{
  StateBlob blob;
  EXPECT_EQ(blob.Append(1.5), 8);
  EXPECT_EQ(blob.Append(std::int32_t{7}), 12);
  double d = 0.0;
  EXPECT_EQ(blob.ReadAt(d, 0), 8);
  EXPECT_EQ(d, 1.5);
  std::int32_t i = 0;
  EXPECT_EQ(blob.ReadAt(i, 8), 12);
  EXPECT_EQ(i, 7);

  double untouched = 3.0;
  EXPECT_EQ(blob.ReadAt(untouched, 8), -1); // only 4 bytes left
  EXPECT_EQ(blob.ReadAt(untouched, -1), -1);
  EXPECT_EQ(blob.ReadAt(untouched, 2147483640), -1); // no overflow in the bound check
  EXPECT_EQ(untouched, 3.0);

  // Little-endian bytes as they lie in memory.
  EXPECT_EQ(blob.GetData()[8], 7);
  EXPECT_EQ(blob.GetData()[11], 0);
}

namespace
{

class StatePlugin : public ::testing::Test
{
protected:
  StatePlugin()
    : plug(TestConfig(3, 3))
  {
    plug.GetParam(0)->DeclareDouble("A", 10.0, 0.0, 100.0, 1.0);
    plug.GetParam(1)->DeclareEnum("Mode", {"LR", "MID", "SIDE"});
    plug.GetParam(2)->DeclareDouble("C", -40.0, -80.0, 6.0, 0.5);
  }

  RecordingPlugin plug;
};

} // namespace

TEST_F(StatePlugin, SerializeWritesEachValueInIndexOrder)
{
  StateBlob blob;
  ASSERT_TRUE(plug.SerializeParams(blob));
  ASSERT_EQ(blob.Size(), 24);
  double v[3];
  std::memcpy(v, blob.GetData(), sizeof(v));
  EXPECT_EQ(v[0], 10.0);
  EXPECT_EQ(v[1], 0.0);
  EXPECT_EQ(v[2], -40.0);

  RecordingPlugin empty(TestConfig(0, 0));
  StateBlob none;
  EXPECT_TRUE(empty.SerializeParams(none));
  EXPECT_EQ(none.Size(), 0);
}

TEST_F(StatePlugin, UnserializeConstrainsValuesAndAnnouncesAsPreset)
{
  StateBlob blob;
  blob.Append(500.0);
  blob.Append(1.6);
  blob.Append(-37.26);
  blob.Append(std::int32_t{1}); // trailing bytes belong to the caller
  EXPECT_EQ(plug.UnserializeParams(blob, 0), 24);
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 100.0);
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 2.0);
  EXPECT_EQ(plug.GetParam(2)->GetValue(), -37.26);
  EXPECT_EQ(plug.Updates(), (std::vector<std::pair<int, ParamSource>>{
                              {0, ParamSource::Preset}, {1, ParamSource::Preset}, {2, ParamSource::Preset}}));
}

TEST_F(StatePlugin, ShortChunkZeroesTheParameterWhereItRanOut)
{
  plug.GetParam(2)->SetValue(-10.0);
  StateBlob blob;
  blob.Append(50.0);
  blob.Append(std::int32_t{0}); // half a value
  EXPECT_EQ(plug.UnserializeParams(blob, 0), -1);
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 50.0);
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 0.0);
  EXPECT_EQ(plug.GetParam(2)->GetValue(), -10.0); // untouched
  EXPECT_EQ(plug.Updates().size(), 3u);            // announced regardless
}

TEST_F(StatePlugin, FactoryPresetsFillSlotsInOrderAndLoad)
{
  EXPECT_STREQ(plug.GetPresetName(0), "empty");
  EXPECT_TRUE(plug.AddFactoryPreset("First", 20.0, 1, -20.0));
  EXPECT_TRUE(plug.AddFactoryPreset("Second", 250.0, 2, 0.0)); // stored unconstrained
  EXPECT_FALSE(plug.AddFactoryPreset("Wrong count", 1.0, 2));
  EXPECT_STREQ(plug.GetPresetName(0), "First");
  EXPECT_STREQ(plug.GetPresetName(1), "Second");
  EXPECT_STREQ(plug.GetPresetName(2), "empty");
  EXPECT_STREQ(plug.GetPresetName(3), "");
  EXPECT_EQ(plug.GetPreset(1)->chunk.Size(), 24);
  double stored = 0.0;
  plug.GetPreset(1)->chunk.ReadAt(stored, 0);
  EXPECT_EQ(stored, 250.0);

  plug.calls.clear();
  EXPECT_TRUE(plug.LoadPreset(1));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 100.0);
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 2.0);
  // Every parameter twice: first from the recall, then from the editor sync.
  const auto updates = plug.Updates();
  ASSERT_EQ(updates.size(), 6u);
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(updates[static_cast<std::size_t>(i)], std::make_pair(i, ParamSource::Preset));
    EXPECT_EQ(updates[static_cast<std::size_t>(3 + i)], std::make_pair(i, ParamSource::EditorDelegate));
  }

  EXPECT_FALSE(plug.LoadPreset(3));
  EXPECT_FALSE(plug.LoadPreset(-1));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
}

TEST_F(StatePlugin, EmptySlotCapturesCurrentValuesAsUserPreset)
{
  plug.AddFactoryPreset("First", 20.0, 1, -20.0);
  plug.GetParam(0)->SetValue(33.0);
  EXPECT_TRUE(plug.LoadPreset(2));
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 1");
  EXPECT_TRUE(plug.GetPreset(2)->initialised);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_TRUE(plug.LoadPreset(1));
  EXPECT_STREQ(plug.GetPresetName(1), "user preset 2");

  plug.GetParam(0)->SetValue(90.0);
  EXPECT_TRUE(plug.LoadPreset(2)); // now a recall of the captured values
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 33.0);
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 1");
}

TEST_F(StatePlugin, FailedRecallKeepsCurrentPresetIndex)
{
  RecordingPlugin none(TestConfig(0, 1));
  none.SetCurrentPresetIdx(5);
  EXPECT_TRUE(none.AddFactoryPreset("Nothing"));
  EXPECT_FALSE(none.LoadPreset(0)); // an empty chunk loads nothing: position 0 is not positive
  EXPECT_EQ(none.GetCurrentPresetIdx(), 5);
}
