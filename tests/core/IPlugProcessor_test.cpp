#include "core/IPlugProcessor.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <vector>

using namespace iplug;

namespace
{

Config MakeConfig(const char* channels, int latency = 0)
{
  Config config;
  config.channelIOStr = channels;
  config.latency = latency;
  return config;
}

// Doubles every input into its output so that processing and bypass differ,
// and remembers what it was handed.
class DoublingProcessor : public IPlugProcessor
{
public:
  explicit DoublingProcessor(const char* channels = "1-1 2-2", int latency = 0)
    : IPlugProcessor(MakeConfig(channels, latency))
  {
  }

  void ProcessBlock(double** inputs, double** outputs, int nFrames) override
  {
    ++mCalls;
    mLargestBlock = std::max(mLargestBlock, nFrames);
    mChannel1MatchesChannel0 = true;
    for (int i = 0; i < nFrames; ++i)
    {
      mChannel1MatchesChannel0 &= inputs[1][i] == inputs[0][i];
      const double l = inputs[0][i], r = inputs[1][i];
      outputs[0][i] = 2.0 * l;
      outputs[1][i] = 2.0 * r;
    }
  }

  int mCalls = 0;
  int mLargestBlock = 0;
  bool mChannel1MatchesChannel0 = false;
};

class MidiRecorder : public IPlugProcessor
{
public:
  MidiRecorder() : IPlugProcessor(MakeConfig("1-1 2-2")) {}
  bool SendMidiMsg(const IMidiMsg& msg) override
  {
    mSent.push_back(msg.mStatus);
    return msg.mStatus != 0xF8;
  }
  std::vector<int> mSent;
};

std::vector<double> Ramp(int n, double start)
{
  std::vector<double> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    v[static_cast<size_t>(i)] = start + 0.001 * i;
  return v;
}

} // namespace

TEST(ChannelConfigParsing, StereoAndMonoLayouts)
{
  std::vector<ChannelConfig> configs;
  int maxIn = -1, maxOut = -1, maxInBuses = -1, maxOutBuses = -1;
  EXPECT_EQ(IPlugProcessor::ParseChannelConfig("1-1 2-2", configs, maxIn, maxOut, maxInBuses, maxOutBuses), 2);
  ASSERT_EQ(configs.size(), 2u);
  EXPECT_EQ(configs[0].NBuses(kInput), 1);
  EXPECT_EQ(configs[0].NChansOnBus(kInput, 0), 1);
  EXPECT_EQ(configs[0].NChansOnBus(kOutput, 0), 1);
  EXPECT_EQ(configs[1].NChansOnBus(kInput, 0), 2);
  EXPECT_EQ(configs[1].mOutputBuses[0].mDirection, kOutput);
  EXPECT_EQ(configs[1].NChansOnBus(kOutput, 0), 2);
  EXPECT_EQ(maxIn, 2);
  EXPECT_EQ(maxOut, 2);
  EXPECT_EQ(maxInBuses, 1);
  EXPECT_EQ(maxOutBuses, 1);
}

TEST(ChannelConfigParsing, MultipleBusesWildcardsAndMalformedItems)
{
  std::vector<ChannelConfig> configs;
  int maxIn, maxOut, maxInBuses, maxOutBuses;
  EXPECT_EQ(IPlugProcessor::ParseChannelConfig("2.2-2  *-2 x.3-0 4..1--1", configs, maxIn, maxOut, maxInBuses,
                                               maxOutBuses),
            4);
  ASSERT_EQ(configs.size(), 4u);
  // 2.2-2: two stereo inputs, total 4.
  EXPECT_EQ(configs[0].NBuses(kInput), 2);
  EXPECT_EQ(configs[0].TotalNChannels(kInput), 4);
  EXPECT_EQ(configs[0].NBuses(kOutput), 1);
  // "*" is a bus of -64 channels and lowers the total.
  EXPECT_EQ(configs[1].NChansOnBus(kInput, 0), kWildcardChannelCount);
  EXPECT_EQ(configs[1].TotalNChannels(kInput), -64);
  EXPECT_TRUE(configs[1].ContainsWildcard(kInput));
  // A malformed count reads as 0 and adds no bus, nor does a 0.
  EXPECT_EQ(configs[2].NBuses(kInput), 1);
  EXPECT_EQ(configs[2].NChansOnBus(kInput, 0), 3);
  EXPECT_EQ(configs[2].NBuses(kOutput), 0);
  // Runs of separators count as one.
  EXPECT_EQ(configs[3].NBuses(kInput), 2);
  EXPECT_EQ(configs[3].NChansOnBus(kOutput, 0), 1);
  EXPECT_EQ(maxIn, 5);
  EXPECT_EQ(maxOut, 2);
  EXPECT_EQ(maxInBuses, 2);
  EXPECT_EQ(maxOutBuses, 1);

  configs.clear();
  EXPECT_EQ(IPlugProcessor::ParseChannelConfig("", configs, maxIn, maxOut, maxInBuses, maxOutBuses), 0);
  EXPECT_EQ(IPlugProcessor::ParseChannelConfig(nullptr, configs, maxIn, maxOut, maxInBuses, maxOutBuses), 0);
  EXPECT_EQ(maxIn + maxOut + maxInBuses + maxOutBuses, 0);
}

TEST(ChannelConfigParsing, HugeCountsSaturateInsteadOfOverflowing)
{
  std::vector<ChannelConfig> configs;
  int maxIn, maxOut, maxInBuses, maxOutBuses;
  EXPECT_EQ(IPlugProcessor::ParseChannelConfig("1.99999999999-2147483647.2147483647 *.*-1", configs, maxIn, maxOut,
                                               maxInBuses, maxOutBuses),
            2);
  EXPECT_EQ(maxIn, INT_MAX);
  EXPECT_EQ(maxOut, INT_MAX);
  EXPECT_EQ(configs[0].TotalNChannels(kInput), INT_MAX);
  EXPECT_EQ(configs[0].TotalNChannels(kOutput), INT_MAX);
  EXPECT_EQ(configs[1].TotalNChannels(kInput), -128);
}

TEST(IPlugProcessorConstruction, RecordsAndDefaultsFollowTheConfiguration)
{
  Config config = MakeConfig("1-1 2-2", 0);
  config.plugDoesMidiIn = true;
  IPlugProcessor processor(config);
  EXPECT_EQ(processor.NChannelConfigs(), 2);
  EXPECT_EQ(processor.MaxNChannels(kInput), 2);
  EXPECT_EQ(processor.MaxNChannels(kOutput), 2);
  EXPECT_EQ(processor.GetSampleRate(), 48000.0);
  EXPECT_EQ(processor.GetBlockSize(), 0);
  EXPECT_FALSE(processor.GetBypassed());
  EXPECT_TRUE(processor.DoesMIDIIn());
  EXPECT_FALSE(processor.DoesMIDIOut());
  EXPECT_EQ(processor.GetLatency(), 0);
  EXPECT_EQ(processor.NChannelsConnected(kInput), 0);
  EXPECT_STREQ(processor.GetChannelLabel(kOutput, 1), "");
  EXPECT_EQ(processor.ChannelPointer(kInput, 2), nullptr);

  const ITimeInfo& t = processor.GetTimeInfo();
  EXPECT_EQ(t.mTempo, 120.0);
  EXPECT_EQ(t.mSamplePos, -1.0);
  EXPECT_EQ(t.mPPQPos, -1.0);
  EXPECT_EQ(t.mCycleEnd, -1.0);
  EXPECT_EQ(t.mNumerator, 4);
  EXPECT_EQ(t.mDenominator, 4);
  EXPECT_FALSE(t.mTransportIsRunning);

  IPlugProcessor empty(MakeConfig(""));
  EXPECT_EQ(empty.NChannelConfigs(), 0);
  EXPECT_EQ(empty.MaxNChannels(kInput), 0);
  EXPECT_FALSE(empty.HasLatencyDelayLine());
  empty.ResizeScratchBuffers(64);
  double* none[1] = {nullptr};
  empty.ProcessHostChannels(none, 0, none, 0, 64);
}

TEST(IPlugProcessorConfigQueries, BusCountsLookupAndFirstInputBus)
{
  IPlugProcessor processor(MakeConfig("1-1 2.1-2 2-2 1.1-1"));
  int idx = -2;
  EXPECT_EQ(processor.MaxBusCount(kInput, idx), 2);
  EXPECT_EQ(idx, 3); // the last configuration reaching the maximum
  EXPECT_EQ(processor.MaxBusCount(kOutput, idx), 1);
  EXPECT_EQ(idx, 3);

  const std::array<int, 2> sideChained{2, 1};
  const std::array<int, 1> stereo{2}, mono{1}, six{6};
  EXPECT_EQ(processor.FindConfigByChannelCounts(mono, mono), 0);
  EXPECT_EQ(processor.FindConfigByChannelCounts(sideChained, stereo), 1);
  EXPECT_EQ(processor.FindConfigByChannelCounts(stereo, stereo), 2);
  EXPECT_EQ(processor.FindConfigByChannelCounts(stereo, mono), -1);
  EXPECT_EQ(processor.FindConfigByChannelCounts(six, six), -1);
  EXPECT_EQ(processor.FindConfigByChannelCounts({}, {}), -1);
  EXPECT_EQ(processor.MaxChannelsOnFirstInputBus(), 2);

  EXPECT_EQ(IPlugProcessor(MakeConfig("*-2 2-2")).MaxChannelsOnFirstInputBus(), -1);
  EXPECT_EQ(IPlugProcessor(MakeConfig("0-2 4-4")).MaxChannelsOnFirstInputBus(), 4);
  EXPECT_EQ(IPlugProcessor(MakeConfig("")).MaxBusCount(kInput, idx), 0);
  EXPECT_EQ(idx, -1);
}

TEST(IPlugProcessorBusNames, FollowDirectionAndBusCount)
{
  IPlugProcessor processor(MakeConfig("1-1 2-2"));
  std::string name;
  processor.MakeBusName(kInput, 0, 1, name);
  EXPECT_EQ(name, "Input");
  processor.MakeBusName(kInput, 0, 2, name);
  EXPECT_EQ(name, "Main");
  processor.MakeBusName(kInput, 1, 2, name);
  EXPECT_EQ(name, "Aux");
  for (int i = 0; i < 3; ++i)
  {
    processor.MakeBusName(kInput, i, 3, name);
    EXPECT_EQ(name, "Input " + std::to_string(i));
  }
  processor.MakeBusName(kOutput, 0, 1, name);
  EXPECT_EQ(name, "Output");
  processor.MakeBusName(kOutput, 1, 2, name);
  EXPECT_EQ(name, "Output 1");
}

TEST(IPlugProcessorScratch, ResizeZeroesOnlyOnSizeChange)
{
  DoublingProcessor processor;
  processor.ResizeScratchBuffers(8);
  ASSERT_EQ(processor.GetBlockSize(), 8);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(processor.ScratchBuffer(kOutput, 1)[i], 0.0);

  // A 32-bit host fills the input scratch with its converted samples.
  std::vector<float> left(8, 0.25f), right(8, -0.5f);
  float* inputs[2] = {left.data(), right.data()};
  processor.ResetChannelBuffers();
  processor.AttachInputChannels(0, 2, inputs, 0, 8);
  EXPECT_EQ(processor.ChannelPointer(kInput, 1), processor.ScratchBuffer(kInput, 1));

  processor.ResizeScratchBuffers(8);
  EXPECT_EQ(processor.ScratchBuffer(kInput, 1)[7], -0.5);
  processor.ResizeScratchBuffers(16);
  EXPECT_EQ(processor.ScratchBuffer(kInput, 1)[7], 0.0);
  EXPECT_EQ(processor.ChannelPointer(kInput, 1), processor.ScratchBuffer(kInput, 1));
}

TEST(IPlugProcessorProcessBlock, DefaultCopiesPartnersAndSilencesTheRest)
{
  IPlugProcessor processor(MakeConfig("1-3"));
  std::vector<double> in = Ramp(4, 0.1);
  std::vector<double> out0(4, 9.0), out1(4, 9.0), out2(4, 9.0);
  double* inputs[1] = {in.data()};
  double* outputs[3] = {out0.data(), out1.data(), out2.data()};
  processor.ProcessBlock(inputs, outputs, 4);
  EXPECT_EQ(out0, in);
  EXPECT_EQ(out1, std::vector<double>(4, 0.0));
  EXPECT_EQ(out2, std::vector<double>(4, 0.0));
}

TEST(IPlugProcessorAttachment, MonoHostWithoutMirrorLeavesChannelOneOnScratch)
{
  DoublingProcessor processor;
  processor.ResizeScratchBuffers(4);
  std::vector<double> in = Ramp(4, 0.5), out(4, 0.0);
  double* inputs[1] = {in.data()};
  double* outputs[1] = {out.data()};
  processor.ResetChannelBuffers();
  processor.AttachInputChannels(0, 1, inputs);
  processor.AttachOutputChannels(0, 1, outputs);
  processor.CompleteInputs(4, false);
  EXPECT_TRUE(processor.IsChannelConnected(kInput, 0));
  EXPECT_FALSE(processor.IsChannelConnected(kInput, 1));
  EXPECT_EQ(processor.ChannelPointer(kInput, 0), in.data());
  EXPECT_EQ(processor.ChannelPointer(kInput, 1), processor.ScratchBuffer(kInput, 1));
  EXPECT_EQ(processor.ChannelPointer(kOutput, 1), processor.ScratchBuffer(kOutput, 1));
  processor.RunAttachedBlock(4);
  EXPECT_EQ(out[3], 2.0 * in[3]);
  EXPECT_EQ(processor.ScratchBuffer(kOutput, 1)[3], 0.0); // twice the silent scratch input
}

TEST(IPlugProcessorAttachment, MonoHostChannelOneReadsChannelZero)
{
  for (bool bypassed : {false, true})
  {
    DoublingProcessor processor;
    processor.ResizeScratchBuffers(64);
    processor.SetBypassed(bypassed);
    std::vector<double> buffer = Ramp(64, -0.3);
    const std::vector<double> original = buffer;
    double* io[1] = {buffer.data()}; // processed in place, as hosts often do
    processor.ProcessHostChannels(io, 1, io, 1, 64);
    if (bypassed)
      EXPECT_EQ(buffer, original);
    else
    {
      EXPECT_TRUE(processor.mChannel1MatchesChannel0);
      for (size_t i = 0; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 2.0 * original[i]);
      EXPECT_EQ(processor.ScratchBuffer(kOutput, 1)[10], 2.0 * original[10]);
    }
  }
}

TEST(IPlugProcessorAttachment, UnsuppliedInputsReadSilenceNotStaleSamples)
{
  DoublingProcessor processor;
  processor.ResizeScratchBuffers(4);
  std::vector<float> left(4, 0.5f), right(4, 0.75f), outL(4), outR(4);
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outL.data(), outR.data()};
  processor.ProcessHostChannels(inputs, 2, outputs, 2, 4);
  EXPECT_EQ(outR[0], 1.5f);

  // The host drops the right channel: its scratch still held 0.75.
  float* leftOnly[2] = {left.data(), nullptr};
  processor.ResetChannelBuffers();
  processor.AttachInputChannels(0, 2, leftOnly, 0, 4);
  processor.AttachOutputChannels(0, 2, outputs);
  processor.CompleteInputs(4, false);
  processor.RunAttachedBlock(4);
  EXPECT_EQ(outL[0], 1.0f);
  EXPECT_EQ(outR[0], 0.0f);
}

TEST(IPlugProcessorAttachment, SinglePrecisionConvertsInAndOut)
{
  DoublingProcessor processor;
  processor.ResizeScratchBuffers(3);
  std::vector<float> left{0.1f, -1.0f, 3.0e-39f}, right{0.2f, 0.5f, 1.0f}, outL(3, 7.0f), outR(3, 7.0f);
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outL.data(), outR.data()};
  processor.ProcessHostChannels(inputs, 2, outputs, 2, 3);
  for (int i = 0; i < 2; ++i)
  {
    EXPECT_EQ(outL[static_cast<size_t>(i)], static_cast<float>(2.0 * double(left[static_cast<size_t>(i)])));
    EXPECT_EQ(outR[static_cast<size_t>(i)], static_cast<float>(2.0 * double(right[static_cast<size_t>(i)])));
  }
  // A processed result too small for a normal float reaches the host as zero.
  EXPECT_EQ(outL[2], 0.0f);
  EXPECT_EQ(outR[2], 2.0f);

  // Bypass hands the input back exactly, subnormal or not.
  processor.SetBypassed(true);
  processor.ProcessHostChannels(inputs, 2, outputs, 2, 3);
  EXPECT_EQ(outL, left);
  EXPECT_EQ(outR, right);

  const double src[4] = {1.0 / 3.0, 1e300, -0.0, 1e-39};
  float dst[4];
  IPlugProcessor::CopyToSinglePrecision(dst, src, 4);
  EXPECT_EQ(dst[0], 1.0f / 3.0f);
  EXPECT_TRUE(std::isinf(dst[1]));
  EXPECT_TRUE(std::signbit(dst[2]));
  EXPECT_EQ(dst[3], 1e-39f);
  IPlugProcessor::CopyToSinglePrecision(dst, src, 4, true);
  EXPECT_EQ(dst[0], 1.0f / 3.0f);
  EXPECT_TRUE(std::isinf(dst[1]));
  EXPECT_EQ(dst[3], 0.0f);
}

TEST(IPlugProcessorAttachment, LongHostBlocksRunInPiecesAndUnpreparedOutputIsSilent)
{
  DoublingProcessor processor;
  std::vector<double> left = Ramp(100, 0.0), right = Ramp(100, 1.0), outL(100, 5.0), outR(100, 5.0), extra(100, 5.0);
  double* inputs[2] = {left.data(), right.data()};
  double* outputs[3] = {outL.data(), outR.data(), extra.data()};

  // Before the host has set a block size nothing can be processed safely.
  processor.ProcessHostChannels(inputs, 2, outputs, 3, 100);
  EXPECT_EQ(processor.mCalls, 0);
  EXPECT_EQ(outL, std::vector<double>(100, 0.0));

  processor.ResizeScratchBuffers(32);
  std::fill(extra.begin(), extra.end(), 5.0);
  processor.ProcessHostChannels(inputs, 2, outputs, 3, 100);
  EXPECT_EQ(processor.mCalls, 4);
  EXPECT_EQ(processor.mLargestBlock, 32);
  for (size_t i = 0; i < 100; ++i)
  {
    ASSERT_EQ(outL[i], 2.0 * left[i]);
    ASSERT_EQ(outR[i], 2.0 * right[i]);
  }
  EXPECT_EQ(extra, std::vector<double>(100, 0.0)); // a host channel we have no record for

  // Parameter flushes and hostile arrays change nothing.
  processor.ProcessHostChannels(static_cast<double* const*>(nullptr), 0, nullptr, 0, 64);
  processor.ProcessHostChannels(inputs, 2, outputs, 2, 0);
  EXPECT_EQ(processor.mCalls, 4);
}

TEST(IPlugProcessorBypass, CopiesInputsAndSilencesOutputsWithoutPartner)
{
  IPlugProcessor processor(MakeConfig("1-1 1-2"));
  processor.ResizeScratchBuffers(8);
  processor.SetBypassed(true);
  std::vector<double> in = Ramp(8, 0.2), out0(8, 3.0), out1(8, 3.0);
  double* inputs[1] = {in.data()};
  double* outputs[2] = {out0.data(), out1.data()};
  processor.ProcessHostChannels(inputs, 1, outputs, 2, 8);
  EXPECT_EQ(out0, in);
  EXPECT_EQ(out1, std::vector<double>(8, 0.0));
}

TEST(IPlugProcessorBypass, LatencyDelaysTheBypassedSignalSeamlessly)
{
  DoublingProcessor processor("2-2", 3);
  ASSERT_TRUE(processor.HasLatencyDelayLine());
  EXPECT_EQ(processor.GetLatency(), 3);
  processor.ResizeScratchBuffers(4);

  std::vector<double> left = Ramp(12, 1.0), right = Ramp(12, -1.0), outL(12), outR(12);
  double* inputs[2] = {left.data(), right.data()};
  double* outputs[2] = {outL.data(), outR.data()};
  // First block processed, the rest bypassed: the bypassed output must be the
  // input from three samples earlier, including samples of the processed block.
  double* in0[2] = {left.data(), right.data()};
  double* out0[2] = {outL.data(), outR.data()};
  processor.ProcessHostChannels(in0, 2, out0, 2, 4);
  processor.SetBypassed(true);
  double* in1[2] = {left.data() + 4, right.data() + 4};
  double* out1[2] = {outL.data() + 4, outR.data() + 4};
  processor.ProcessHostChannels(in1, 2, out1, 2, 8);
  for (size_t i = 4; i < 12; ++i)
  {
    ASSERT_EQ(outL[i], left[i - 3]) << i;
    ASSERT_EQ(outR[i], right[i - 3]) << i;
  }

  processor.SetLatencySamples(0);
  EXPECT_EQ(processor.GetLatency(), 0);
  processor.ProcessHostChannels(inputs, 2, outputs, 2, 12);
  EXPECT_EQ(outL, left);
}

TEST(MultichannelDelayLine, DelaysInPlaceAcrossBlocks)
{
  MultichannelDelayLine delay(2);
  delay.Resize(5);
  std::vector<double> a = Ramp(7, 1.0), b = Ramp(7, 2.0);
  const std::vector<double> a0 = a, b0 = b;
  double* io[2] = {a.data(), b.data()};
  delay.Process(io, io, 2, 3);
  double* rest[2] = {a.data() + 3, b.data() + 3};
  delay.Process(rest, rest, 2, 4);
  for (size_t i = 0; i < 7; ++i)
  {
    EXPECT_EQ(a[i], i < 5 ? 0.0 : a0[i - 5]);
    EXPECT_EQ(b[i], i < 5 ? 0.0 : b0[i - 5]);
  }
  delay.Clear();
  delay.Process(io, io, 2, 1);
  EXPECT_EQ(a[0], 0.0);
}

TEST(IPlugProcessorMidi, ProcessForwardsAndListSendReportsAnyFailure)
{
  MidiRecorder processor;
  IMidiMsg note;
  note.mStatus = 0x90;
  processor.ProcessMidiMsg(note);
  ASSERT_EQ(processor.mSent, std::vector<int>{0x90});

  IMidiMsg msgs[3];
  msgs[0].mStatus = 0x80;
  msgs[1].mStatus = 0xF8; // refused by the recorder
  msgs[2].mStatus = 0xB0;
  EXPECT_FALSE(processor.SendMidiMsgs(msgs, 3));
  EXPECT_EQ(processor.mSent, (std::vector<int>{0x90, 0x80, 0xF8, 0xB0}));
  EXPECT_TRUE(processor.SendMidiMsgs(msgs, 1));
  EXPECT_FALSE(processor.SendSysEx(ISysEx{}));
  EXPECT_FALSE(IPlugProcessor(MakeConfig("")).SendMidiMsg(note));
}

TEST(IPlugProcessorRealtime, AudioPathNeverAllocates)
{
  DoublingProcessor processor("1-1 2-2", 16);
  processor.ResizeScratchBuffers(64);
  std::vector<double> left = Ramp(200, 0.0), right = Ramp(200, 0.5), outL(200), outR(200);
  std::vector<float> leftF(200, 0.25f), rightF(200, 0.5f), outLF(200), outRF(200);
  double* in64[2] = {left.data(), right.data()};
  double* out64[2] = {outL.data(), outR.data()};
  float* in32[2] = {leftF.data(), rightF.data()};
  float* out32[2] = {outLF.data(), outRF.data()};

  const std::size_t before = testsupport::CountedAllocations();
  testsupport::AllocationScope scope;
  for (bool bypassed : {false, true})
  {
    processor.SetBypassed(bypassed);
    processor.ProcessHostChannels(in64, 2, out64, 2, 200);
    processor.ProcessHostChannels(in64, 1, out64, 1, 200);
    processor.ProcessHostChannels(in32, 2, out32, 2, 200);
    processor.ProcessHostChannels(in32, 1, out32, 1, 200);
    processor.CopyThroughOnBypass(64);
  }
  processor.OnParamChangeRealtime(3);
  EXPECT_EQ(testsupport::CountedAllocations(), before);
}
