#pragma once

// Component, audio processor and edit controller in one object: the host sees
// IComponent, IAudioProcessor, IProcessContextRequirements and the controller
// interfaces on one reference count, and never connects it to a separate
// controller.

#include "vst3/abi/AudioProcessor.h"
#include "vst3/base/Bus.h"
#include "vst3/base/EditController.h"
#include "vst3/base/RefCount.h"

namespace vst3
{

// Gives the component's setState/getState slots names of their own (see
// ControllerStateSlots).
class ComponentStateSlots : public IComponent
{
public:
  tresult VST3_CALL setState(IBStream* state) final { return setComponentStreamState(state); }
  tresult VST3_CALL getState(IBStream* state) final { return getComponentStreamState(state); }

protected:
  virtual tresult setComponentStreamState(IBStream* state) = 0;
  virtual tresult getComponentStreamState(IBStream* state) = 0;
  VST3_INTERFACE_DESTRUCTOR(ComponentStateSlots)
};

class SingleComponentEffect : public EditControllerEx1,
                              public ComponentStateSlots,
                              public IAudioProcessor,
                              public IProcessContextRequirements
{
public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // FUnknown
  tresult VST3_CALL queryInterface(const TUID iid, void** obj) override;
  uint32 VST3_CALL addRef() override;
  uint32 VST3_CALL release() override;

  // IPluginBase (shared by the component and controller roles)
  tresult VST3_CALL initialize(FUnknown* context) override;
  tresult VST3_CALL terminate() override;

  // IComponent
  tresult VST3_CALL getControllerClassId(TUID classId) override;
  tresult VST3_CALL setIoMode(IoMode mode) override;
  int32 VST3_CALL getBusCount(MediaType type, BusDirection dir) override;
  tresult VST3_CALL getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) override;
  tresult VST3_CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
  tresult VST3_CALL activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override;
  tresult VST3_CALL setActive(TBool state) override;

  // IAudioProcessor
  tresult VST3_CALL setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                       int32 numOuts) override;
  tresult VST3_CALL getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) override;
  tresult VST3_CALL canProcessSampleSize(int32 symbolicSampleSize) override;
  uint32 VST3_CALL getLatencySamples() override;
  tresult VST3_CALL setupProcessing(ProcessSetup& setup) override;
  tresult VST3_CALL setProcessing(TBool state) override;
  tresult VST3_CALL process(ProcessData& data) override;
  uint32 VST3_CALL getTailSamples() override;

  // IProcessContextRequirements
  uint32 VST3_CALL getProcessContextRequirements() override;

  // Bus helpers.
  AudioBus* addAudioInput(std::u16string name, SpeakerArrangement arr, BusType busType = kMain,
                          uint32 flags = BusInfo::kDefaultActive);
  AudioBus* addAudioOutput(std::u16string name, SpeakerArrangement arr, BusType busType = kMain,
                           uint32 flags = BusInfo::kDefaultActive);
  EventBus* addEventInput(std::u16string name, int32 channels = 16, BusType busType = kMain,
                          uint32 flags = BusInfo::kDefaultActive);
  EventBus* addEventOutput(std::u16string name, int32 channels = 16, BusType busType = kMain,
                           uint32 flags = BusInfo::kDefaultActive);
  void removeAudioBuses();
  void removeAllBuses();
  BusList* getBusList(MediaType type, BusDirection dir);
  AudioBus* getAudioBus(BusDirection dir, int32 index);

  const ProcessSetup& processSetup() const { return mProcessSetup; }

protected:
  tresult setComponentStreamState(IBStream* state) override;
  tresult getComponentStreamState(IBStream* state) override;

  ProcessSetup mProcessSetup{kRealtime, kSample32, 1024, 44100.0};
  uint32 mProcessContextRequirements = 0;

private:
  RefCount mRefCount;
  BusList mAudioInputs{kAudio, kInput};
  BusList mAudioOutputs{kAudio, kOutput};
  BusList mEventInputs{kEvent, kInput};
  BusList mEventOutputs{kEvent, kOutput};
};

} // namespace vst3
