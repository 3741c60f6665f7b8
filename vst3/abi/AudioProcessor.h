#pragma once

// The audio processor: bus arrangements, processing set-up and process().

#include "vst3/abi/Component.h"
#include "vst3/abi/Events.h"
#include "vst3/abi/ParameterChanges.h"
#include "vst3/abi/ProcessContext.h"
#include "vst3/abi/Speakers.h"

#include <cstddef>

namespace vst3
{

using Sample32 = float;
using Sample64 = double;
using SampleRate = double;

enum ProcessModes : int32
{
  kRealtime = 0,
  kPrefetch = 1,
  kOffline = 2
};

enum SymbolicSampleSizes : int32
{
  kSample32 = 0,
  kSample64 = 1
};

constexpr uint32 kNoTail = 0;
constexpr uint32 kInfiniteTail = kMaxInt32u;

struct ProcessSetup
{
  int32 processMode;
  int32 symbolicSampleSize;
  int32 maxSamplesPerBlock;
  SampleRate sampleRate;
};

struct AudioBusBuffers
{
  int32 numChannels;
  uint64 silenceFlags; // bit n set: channel n is all zeros
  union
  {
    Sample32** channelBuffers32;
    Sample64** channelBuffers64;
  };
};

struct ProcessData
{
  int32 processMode;
  int32 symbolicSampleSize;
  int32 numSamples;
  int32 numInputs;  // audio input buses
  int32 numOutputs; // audio output buses
  AudioBusBuffers* inputs;
  AudioBusBuffers* outputs;
  IParameterChanges* inputParameterChanges;
  IParameterChanges* outputParameterChanges;
  IEventList* inputEvents;
  IEventList* outputEvents;
  ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown
{
public:
  virtual tresult VST3_CALL setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                               SpeakerArrangement* outputs, int32 numOuts) = 0; // slot 3
  virtual tresult VST3_CALL getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0; // slot 4
  virtual tresult VST3_CALL canProcessSampleSize(int32 symbolicSampleSize) = 0; // slot 5
  virtual uint32 VST3_CALL getLatencySamples() = 0;                             // slot 6
  virtual tresult VST3_CALL setupProcessing(ProcessSetup& setup) = 0;           // slot 7
  virtual tresult VST3_CALL setProcessing(TBool state) = 0;                     // slot 8
  virtual tresult VST3_CALL process(ProcessData& data) = 0;                     // slot 9
  virtual uint32 VST3_CALL getTailSamples() = 0;                                // slot 10

  VST3_DECLARE_IID(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D)
  VST3_INTERFACE_DESTRUCTOR(IAudioProcessor)
};

class IProcessContextRequirements : public FUnknown
{
public:
  enum Flags : uint32
  {
    kNeedSystemTime = 1 << 0,
    kNeedContinousTimeSamples = 1 << 1,
    kNeedProjectTimeMusic = 1 << 2,
    kNeedBarPositionMusic = 1 << 3,
    kNeedCycleMusic = 1 << 4,
    kNeedSamplesToNextClock = 1 << 5,
    kNeedTempo = 1 << 6,
    kNeedTimeSignature = 1 << 7,
    kNeedChord = 1 << 8,
    kNeedFrameRate = 1 << 9,
    kNeedTransportState = 1 << 10
  };

  virtual uint32 VST3_CALL getProcessContextRequirements() = 0; // slot 3

  VST3_DECLARE_IID(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0)
  VST3_INTERFACE_DESTRUCTOR(IProcessContextRequirements)
};

static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16);
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8);
static_assert(offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, inputs) == 24);
static_assert(offsetof(ProcessData, inputParameterChanges) == 40 && offsetof(ProcessData, processContext) == 72);

} // namespace vst3
