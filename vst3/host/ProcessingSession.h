#pragma once

// Drives an audio processor the way a host's engine does: setupProcessing,
// bus activation, setActive and setProcessing, then process() block by block
// with the host's buffers (32- or 64-bit), parameter changes, events and
// transport; and the reverse on Stop. The session borrows the component and
// processor: the instance that owns them must outlive it.

#include "vst3/abi/Vst3.h"
#include "vst3/host/AudioBuffers.h"
#include "vst3/host/ComPtr.h"
#include "vst3/host/EventList.h"
#include "vst3/host/ParameterChanges.h"

#include <vector>

namespace vst3host
{

struct ProcessConfig
{
  double sampleRate = 48000.0;
  vst3::int32 maxSamplesPerBlock = 1024;
  vst3::int32 symbolicSampleSize = vst3::kSample32;
  vst3::int32 processMode = vst3::kRealtime;
};

class ProcessingSession
{
public:
  ProcessingSession(vst3::IComponent* component, vst3::IAudioProcessor* processor);
  ~ProcessingSession();

  ProcessingSession(const ProcessingSession&) = delete;
  ProcessingSession& operator=(const ProcessingSession&) = delete;

  // setupProcessing; on success the buffers follow the component's current
  // audio buses. Call it again after changing bus arrangements.
  vst3::tresult Setup(const ProcessConfig& config);
  // Activates bus 0 of each direction and every default-active audio bus,
  // then setActive(true) and setProcessing(true). Stops first when started.
  vst3::tresult Start();
  // setProcessing(false) and setActive(false); nothing when not started.
  vst3::tresult Stop();
  bool Started() const { return mStarted; }

  // One block of numSamples (at most the configured maximum) with this
  // session's buffers, input changes and events. Afterwards the input
  // changes and events are cleared and the transport moves on.
  vst3::tresult Process(vst3::int32 numSamples);
  // The ProcessData Process() would pass, for callers that alter it and call
  // process() themselves. Valid until the next Setup.
  vst3::ProcessData& PrepareData(vst3::int32 numSamples);

  // Input and output samples of a bus channel, converted to and from the
  // configured sample size.
  void SetInput(vst3::int32 bus, vst3::int32 channel, const double* samples, vst3::int32 n);
  void GetOutput(vst3::int32 bus, vst3::int32 channel, double* samples, vst3::int32 n);

  // A whole signal through the main buses in blocks of blockSize (at most
  // the configured maximum): in and out are [channel][sample]; out gets one
  // vector per main output channel. Input channels beyond `in` are silent.
  vst3::tresult Run(const std::vector<std::vector<double>>& in, std::vector<std::vector<double>>& out,
                    vst3::int32 blockSize);

  AudioBuffers& Inputs() { return mInputs; }
  AudioBuffers& Outputs() { return mOutputs; }
  ParameterChanges& InputChanges() { return *mInputChanges; }
  ParameterChanges& OutputChanges() { return *mOutputChanges; }
  EventList& InputEvents() { return *mInputEvents; }
  EventList& OutputEvents() { return *mOutputEvents; }
  // The transport sent with each block (playing, 120 BPM, 4/4 by default).
  vst3::ProcessContext& Context() { return mContext; }
  void SetSendContext(bool send) { mSendContext = send; }
  const ProcessConfig& Config() const { return mConfig; }

private:
  void AdvanceTransport(vst3::int32 numSamples);

  vst3::IComponent* mComponent;
  vst3::IAudioProcessor* mProcessor;
  ProcessConfig mConfig;
  AudioBuffers mInputs;
  AudioBuffers mOutputs;
  ComPtr<ParameterChanges> mInputChanges;
  ComPtr<ParameterChanges> mOutputChanges;
  ComPtr<EventList> mInputEvents;
  ComPtr<EventList> mOutputEvents;
  vst3::ProcessContext mContext{};
  vst3::ProcessData mData{};
  bool mSendContext = true;
  bool mStarted = false;
};

} // namespace vst3host
