#include "tests/vst3/plug/TestPlug.h"

#include "vst3/host/HostApplication.h"
#include "vst3/host/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace vst3;
using vst3test::TestPlug;

namespace
{

constexpr ProgramListID kPresetList = 65537;

struct InitialisedPlug
{
  InitialisedPlug()
  {
    host = new vst3host::HostApplication("Test Host");
    EXPECT_EQ(plug->initialize(static_cast<IHostApplication*>(host)), kResultOk);
  }
  ~InitialisedPlug()
  {
    plug->terminate();
    plug->release();
    host->release();
  }

  std::vector<std::uint8_t> State() const
  {
    auto* stream = new vst3host::MemoryStream;
    EXPECT_EQ(static_cast<IComponent*>(plug)->getState(stream), kResultOk);
    std::vector<std::uint8_t> bytes = stream->Bytes();
    stream->release();
    return bytes;
  }

  IProgramListData* ProgramData() const
  {
    void* p = nullptr;
    EXPECT_EQ(static_cast<IComponent*>(plug)->queryInterface(IProgramListData::iid, &p), kResultOk);
    return static_cast<IProgramListData*>(p);
  }

  TestPlug* plug = new TestPlug;
  vst3host::HostApplication* host = nullptr;
};

std::vector<std::uint8_t> ProgramData(IProgramListData& data, int32 index, tresult expected = kResultOk)
{
  auto* stream = new vst3host::MemoryStream;
  EXPECT_EQ(data.getProgramData(kPresetList, index, stream), expected);
  std::vector<std::uint8_t> bytes = stream->Bytes();
  stream->release();
  return bytes;
}

} // namespace

TEST(IPlugVST3ProgramListData, PresetDataIsTheStateAfterRecallingThePreset)
{
  InitialisedPlug f;
  f.plug->GetParam(0)->SetValue(0.25);
  f.plug->SetBypassed(true);
  IProgramListData* data = f.ProgramData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->programDataSupported(kPresetList), kResultTrue);

  const std::vector<std::uint8_t> liveBefore = f.State();
  f.plug->updates.clear();
  const std::vector<std::uint8_t> first = ProgramData(*data, 0);
  const std::vector<std::uint8_t> second = ProgramData(*data, 1);

  // Nothing live moved: parameters, bypass, current preset, signal path.
  EXPECT_EQ(f.State(), liveBefore);
  EXPECT_EQ(f.plug->GetParam(0)->GetValue(), 0.25);
  EXPECT_EQ(f.plug->GetCurrentPresetIdx(), 0);
  EXPECT_EQ(f.plug->updates, "");

  for (int32 i : {0, 1})
  {
    InitialisedPlug g;
    g.plug->SetBypassed(true);
    ASSERT_TRUE(g.plug->LoadPreset(i));
    EXPECT_EQ(i == 0 ? first : second, g.State()) << "preset " << i;
  }
  EXPECT_NE(first, second);
  data->release();
}

TEST(IPlugVST3ProgramListData, RecallThroughSetStateAndRefusals)
{
  InitialisedPlug f;
  IProgramListData* data = f.ProgramData();
  ASSERT_NE(data, nullptr);

  // What a host does with the data: setState restores the preset's values.
  auto* stream = new vst3host::MemoryStream(ProgramData(*data, 1));
  ASSERT_EQ(static_cast<IComponent*>(f.plug)->setState(stream), kResultOk);
  stream->release();
  EXPECT_EQ(f.plug->GetParam(0)->GetValue(), -0.5);
  EXPECT_EQ(f.plug->GetParam(1)->GetValue(), 2.0);
  EXPECT_EQ(f.plug->GetParam(2)->GetValue(), 1.0);

  EXPECT_EQ(data->programDataSupported(0), kResultFalse);
  EXPECT_EQ(data->programDataSupported(65536), kResultFalse);
  EXPECT_TRUE(ProgramData(*data, 2, kInvalidArgument).empty());
  EXPECT_TRUE(ProgramData(*data, -1, kInvalidArgument).empty());
  EXPECT_EQ(data->getProgramData(kPresetList, 0, nullptr), kInvalidArgument);
  auto* other = new vst3host::MemoryStream;
  EXPECT_EQ(data->getProgramData(0, 0, other), kResultFalse);
  EXPECT_EQ(data->setProgramData(kPresetList, 0, other), kNotImplemented);
  EXPECT_TRUE(other->Bytes().empty());
  other->release();
  data->release();
}
