#include "vst3/host/ProcessingSession.h"

#include "vst3/host/ComObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace vst3host;

namespace
{

// A stand-in processor: stereo in and out, output = input × gain, where the
// gain follows the last point of parameter 7's queue. It records what the
// host passed so the session's side of the contract can be checked.
class GainProcessor final : public ComObject<vst3::IComponent, vst3::IAudioProcessor>
{
public:
  // IComponent
  vst3::tresult VST3_CALL initialize(vst3::FUnknown*) override { return vst3::kResultOk; }
  vst3::tresult VST3_CALL terminate() override { return vst3::kResultOk; }
  vst3::tresult VST3_CALL getControllerClassId(vst3::TUID) override { return vst3::kNotImplemented; }
  vst3::tresult VST3_CALL setIoMode(vst3::IoMode) override { return vst3::kNotImplemented; }
  vst3::int32 VST3_CALL getBusCount(vst3::MediaType type, vst3::BusDirection) override
  {
    return type == vst3::kAudio ? 1 : 0;
  }
  vst3::tresult VST3_CALL getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                     vst3::BusInfo& bus) override
  {
    if (type != vst3::kAudio || index != 0)
      return vst3::kInvalidArgument;
    bus = vst3::BusInfo{};
    bus.mediaType = type;
    bus.direction = dir;
    bus.channelCount = 2;
    bus.flags = vst3::BusInfo::kDefaultActive;
    return vst3::kResultOk;
  }
  vst3::tresult VST3_CALL getRoutingInfo(vst3::RoutingInfo&, vst3::RoutingInfo&) override
  {
    return vst3::kNotImplemented;
  }
  vst3::tresult VST3_CALL activateBus(vst3::MediaType, vst3::BusDirection dir, vst3::int32, vst3::TBool state) override
  {
    (dir == vst3::kInput ? inputActive : outputActive) = state != 0;
    return vst3::kResultOk;
  }
  vst3::tresult VST3_CALL setActive(vst3::TBool state) override
  {
    active = state != 0;
    calls.push_back(state ? "active" : "inactive");
    return vst3::kResultOk;
  }
  vst3::tresult VST3_CALL setState(vst3::IBStream*) override { return vst3::kResultOk; }
  vst3::tresult VST3_CALL getState(vst3::IBStream*) override { return vst3::kResultOk; }

  // IAudioProcessor
  vst3::tresult VST3_CALL setBusArrangements(vst3::SpeakerArrangement*, vst3::int32, vst3::SpeakerArrangement*,
                                             vst3::int32) override
  {
    return vst3::kResultFalse;
  }
  vst3::tresult VST3_CALL getBusArrangement(vst3::BusDirection, vst3::int32, vst3::SpeakerArrangement& arr) override
  {
    arr = vst3::SpeakerArr::kStereo;
    return vst3::kResultOk;
  }
  vst3::tresult VST3_CALL canProcessSampleSize(vst3::int32 size) override
  {
    return size <= vst3::kSample64 ? vst3::kResultTrue : vst3::kResultFalse;
  }
  vst3::uint32 VST3_CALL getLatencySamples() override { return 0; }
  vst3::tresult VST3_CALL setupProcessing(vst3::ProcessSetup& s) override
  {
    if (s.symbolicSampleSize > vst3::kSample64)
      return vst3::kResultFalse;
    setup = s;
    return vst3::kResultOk;
  }
  vst3::tresult VST3_CALL setProcessing(vst3::TBool state) override
  {
    calls.push_back(state ? "processing" : "stopped");
    return vst3::kResultOk;
  }
  vst3::tresult VST3_CALL process(vst3::ProcessData& data) override
  {
    ++blocks;
    lastData = data;
    if (data.processContext)
      lastProjectTime = data.processContext->projectTimeSamples;
    if (data.inputParameterChanges) {
      for (vst3::int32 i = 0; i < data.inputParameterChanges->getParameterCount(); ++i) {
        vst3::IParamValueQueue* q = data.inputParameterChanges->getParameterData(i);
        vst3::int32 offset = 0;
        vst3::ParamValue v = 0;
        if (q->getParameterId() == 7 && q->getPoint(q->getPointCount() - 1, offset, v) == vst3::kResultOk)
          gain = v;
      }
    }
    for (vst3::int32 c = 0; c < 2; ++c) {
      for (vst3::int32 i = 0; i < data.numSamples; ++i) {
        if (data.symbolicSampleSize == vst3::kSample64)
          data.outputs[0].channelBuffers64[c][i] = data.inputs[0].channelBuffers64[c][i] * gain;
        else
          data.outputs[0].channelBuffers32[c][i] = static_cast<float>(data.inputs[0].channelBuffers32[c][i] * gain);
      }
    }
    return vst3::kResultOk;
  }
  vst3::uint32 VST3_CALL getTailSamples() override { return 0; }

  double gain = 1.0;
  bool active = false, inputActive = false, outputActive = false;
  int blocks = 0;
  vst3::ProcessSetup setup{};
  vst3::ProcessData lastData{};
  vst3::int64 lastProjectTime = -1;
  std::vector<std::string> calls;
};

std::vector<std::vector<double>> Ramp(std::size_t n)
{
  std::vector<std::vector<double>> in(2, std::vector<double>(n));
  for (std::size_t i = 0; i < n; ++i) {
    in[0][i] = 0.001 * static_cast<double>(i);
    in[1][i] = -0.5;
  }
  return in;
}

} // namespace

TEST(HostProcessingSession, RunsTheHostCallSequenceAndBothSampleSizes)
{
  for (vst3::int32 size : {vst3::kSample32, vst3::kSample64}) {
    auto fx = MakeCom<GainProcessor>();
    {
      ProcessingSession session(fx.Get(), fx.Get());
      ASSERT_EQ(session.Setup({44100.0, 64, size, vst3::kRealtime}), vst3::kResultOk);
      EXPECT_EQ(fx->setup.maxSamplesPerBlock, 64);
      EXPECT_EQ(fx->setup.sampleRate, 44100.0);
      ASSERT_EQ(session.Start(), vst3::kResultOk);
      EXPECT_TRUE(fx->active && fx->inputActive && fx->outputActive);

      ASSERT_TRUE(session.InputChanges().AddPoint(7, 0, 0.25));
      ASSERT_TRUE(session.InputChanges().AddPoint(7, 10, 0.5));
      std::vector<std::vector<double>> out;
      ASSERT_EQ(session.Run(Ramp(150), out, 64), vst3::kResultOk);
      EXPECT_EQ(fx->blocks, 3) << "150 samples in blocks of at most 64";
      EXPECT_EQ(fx->lastData.numSamples, 22);
      EXPECT_EQ(fx->lastData.symbolicSampleSize, size);
      EXPECT_EQ(fx->lastData.numInputs, 1);
      EXPECT_EQ(fx->lastData.inputs[0].numChannels, 2);
      EXPECT_EQ(fx->lastProjectTime, 128) << "the transport moves on with every block";
      ASSERT_EQ(out.size(), 2u);
      ASSERT_EQ(out[0].size(), 150u);
      // The last point of the queue applied; 32-bit rounding allowed.
      EXPECT_NEAR(out[0][149], 0.149 * 0.5, 1e-7);
      EXPECT_NEAR(out[1][0], -0.25, 1e-7);
      EXPECT_EQ(session.InputChanges().getParameterCount(), 0) << "changes belong to one block";

      EXPECT_EQ(session.Process(65), vst3::kInvalidArgument) << "more than the prepared block size";
      EXPECT_EQ(session.Run(Ramp(10), out, 65), vst3::kInvalidArgument);
    }
    // Leaving the session stops processing before deactivating.
    ASSERT_GE(fx->calls.size(), 4u);
    EXPECT_EQ(fx->calls[fx->calls.size() - 2], "stopped");
    EXPECT_EQ(fx->calls.back(), "inactive");
  }
}

TEST(HostProcessingSession, RefusedSetupKeepsThePreviousConfiguration)
{
  auto fx = MakeCom<GainProcessor>();
  ProcessingSession session(fx.Get(), fx.Get());
  ASSERT_EQ(session.Setup({48000.0, 32, vst3::kSample32, vst3::kRealtime}), vst3::kResultOk);
  EXPECT_EQ(session.Setup({48000.0, 4096, 2, vst3::kRealtime}), vst3::kResultFalse);
  EXPECT_EQ(session.Config().maxSamplesPerBlock, 32);
  EXPECT_EQ(session.Inputs().MaxSamples(), 32);
}

TEST(HostProcessingSession, PreparedDataCanBeAlteredForHostileCalls)
{
  auto fx = MakeCom<GainProcessor>();
  ProcessingSession session(fx.Get(), fx.Get());
  ASSERT_EQ(session.Setup({48000.0, 16, vst3::kSample64, vst3::kRealtime}), vst3::kResultOk);
  session.SetSendContext(false);
  vst3::ProcessData& data = session.PrepareData(0);
  EXPECT_EQ(data.processContext, nullptr);
  EXPECT_EQ(data.outputs[0].numChannels, 2);
  EXPECT_NE(data.outputs[0].channelBuffers64[1], nullptr);
  EXPECT_EQ(data.outputs[0].channelBuffers64[1], session.Outputs().Channel64(0, 1));
  EXPECT_EQ(session.Outputs().Channel64(0, 2), nullptr);
  EXPECT_EQ(session.Outputs().Channel64(1, 0), nullptr);
}
