#pragma once

// Processor-side half of the VST 3 plug-in: buses from the channel
// configurations, bus arrangements, processing set-up, and the steps of
// process() (transport, parameter queues, audio).

#include "core/IPlugAPIBase.h"
#include "core/IPlugProcessor.h"
#include "vst3/abi/AudioProcessor.h"
#include "vst3/base/SingleComponentEffect.h"

namespace iplug
{

class IPlugVST3ProcessorBase : public IPlugProcessor
{
public:
  IPlugVST3ProcessorBase(const Config& config, IPlugAPIBase& plug);

  // Speaker arrangement for a bus of this many channels (0 for unusual counts).
  static vst3::SpeakerArrangement ArrangementForChannelCount(int nChans);

  // Creates the audio buses of the configurations with the most input and the
  // most output buses (the later one on a tie), then any event buses.
  void MakeBuses(vst3::SingleComponentEffect& component);

  // Accepts only arrangements whose channel counts match a configuration and
  // rebuilds the audio buses from it. Ardour and Mixbus get true and no change.
  vst3::tresult SetBusArrangements(vst3::SingleComponentEffect& component, const vst3::SpeakerArrangement* inputs,
                                   vst3::int32 numIns, const vst3::SpeakerArrangement* outputs, vst3::int32 numOuts);

  // Not while processing. Sizes the scratch buffers for the block size.
  vst3::tresult SetupProcessing(const vst3::ProcessSetup& setup);

  // Audio thread, allocation-free -------------------------------------------

  // Caches the host's context (kept when a block comes without one) and
  // refreshes the frame's transport record from it.
  void PrepareProcessContext(const vst3::ProcessData& data);
  // Sets each parameter to the last point of its queue. A plug-in that takes
  // points gets every point of the block (ProcessBlock follows the curve);
  // otherwise the parameter reaches the signal path through
  // OnParamChangeRealtime. FinishParamPoints follows the audio.
  void ProcessParameterChanges(const vst3::ProcessData& data);
  // Attaches the main buses and runs the block (or the bypass copy) in pieces
  // no longer than the prepared block size.
  void ProcessAudio(const vst3::ProcessData& data, vst3::SingleComponentEffect& component, int symbolicSampleSize);

  bool IsOffline() const { return mOffline; }
  void SetOffline(bool offline) { mOffline = offline; }
  vst3::uint32 GetTailSamples() const { return mTailSamples; }

private:
  void AddAudioBuses(vst3::SingleComponentEffect& component, int configIdx, ERoute direction);
  // The queue's points as the plug-in's, offsets held within the block of
  // nFrames; false when it takes none or they do not fit.
  bool AddQueuePoints(vst3::IParamValueQueue& queue, int paramIdx, int nFrames);
  // The host's bypass switch as points of ParamPoint::kHostBypass.
  void AddHostBypassPoints(vst3::IParamValueQueue& queue, int nFrames);

  IPlugAPIBase& mPlug;
  vst3::ProcessContext mProcessContext{};
  vst3::uint32 mTailSamples = 0;
  bool mOffline = false;
};

} // namespace iplug
