#include "vst3/base/SingleComponentEffect.h"

#include "vst3/abi/Message.h"

namespace vst3
{

SingleComponentEffect::SingleComponentEffect() = default;
SingleComponentEffect::~SingleComponentEffect() = default;

tresult SingleComponentEffect::queryInterface(const TUID queriedIid, void** obj)
{
  if (!obj)
    return kInvalidArgument;
  *obj = nullptr;
  if (!queriedIid)
    return kNoInterface;
  // Never connected to a separate controller.
  if (IidEqual(queriedIid, IConnectionPoint::iid))
    return kNoInterface;
  if (QueryInterfaceAs<IComponent>(this, queriedIid, obj) || QueryInterfaceAs<IAudioProcessor>(this, queriedIid, obj) ||
      QueryInterfaceAs<IProcessContextRequirements>(this, queriedIid, obj) || queryControllerInterface(queriedIid, obj))
    return kResultOk;
  if (IidEqual(queriedIid, FUnknown::iid))
  {
    auto* unknown = static_cast<FUnknown*>(static_cast<IEditController*>(this));
    unknown->addRef();
    *obj = unknown;
    return kResultOk;
  }
  return kNoInterface;
}

uint32 SingleComponentEffect::addRef() { return mRefCount.Add(); }

uint32 SingleComponentEffect::release()
{
  const uint32 count = mRefCount.Remove();
  if (count == 0)
    delete this;
  return count;
}

tresult SingleComponentEffect::initialize(FUnknown* context) { return EditControllerEx1::initialize(context); }

tresult SingleComponentEffect::terminate()
{
  removeAllBuses();
  return EditControllerEx1::terminate();
}

tresult SingleComponentEffect::getControllerClassId(TUID) { return kNotImplemented; }
tresult SingleComponentEffect::setIoMode(IoMode) { return kNotImplemented; }

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir)
{
  if (type == kAudio)
    return dir == kInput ? &mAudioInputs : &mAudioOutputs;
  if (type == kEvent)
    return dir == kInput ? &mEventInputs : &mEventOutputs;
  return nullptr;
}

AudioBus* SingleComponentEffect::getAudioBus(BusDirection dir, int32 index)
{
  return static_cast<AudioBus*>(getBusList(kAudio, dir)->at(index));
}

int32 SingleComponentEffect::getBusCount(MediaType type, BusDirection dir)
{
  const BusList* list = getBusList(type, dir);
  return list ? list->size() : 0;
}

tresult SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus)
{
  const BusList* list = getBusList(type, dir);
  const Bus* b = list ? list->at(index) : nullptr;
  if (!b)
    return kInvalidArgument;
  bus.mediaType = type;
  bus.direction = dir;
  b->getInfo(bus);
  return kResultTrue;
}

tresult SingleComponentEffect::getRoutingInfo(RoutingInfo&, RoutingInfo&) { return kNotImplemented; }

tresult SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state)
{
  BusList* list = getBusList(type, dir);
  Bus* b = list ? list->at(index) : nullptr;
  if (!b)
    return kInvalidArgument;
  b->setActive(state != 0);
  return kResultTrue;
}

tresult SingleComponentEffect::setActive(TBool) { return kResultOk; }

tresult SingleComponentEffect::setComponentStreamState(IBStream*) { return kNotImplemented; }
tresult SingleComponentEffect::getComponentStreamState(IBStream*) { return kNotImplemented; }

tresult SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                  SpeakerArrangement* outputs, int32 numOuts)
{
  if (numIns < 0 || numOuts < 0)
    return kInvalidArgument;
  if (numIns > mAudioInputs.size() || numOuts > mAudioOutputs.size())
    return kResultFalse;
  if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
    return kInvalidArgument;
  for (int32 i = 0; i < numIns; ++i)
    getAudioBus(kInput, i)->setArrangement(inputs[i]);
  for (int32 i = 0; i < numOuts; ++i)
    getAudioBus(kOutput, i)->setArrangement(outputs[i]);
  return kResultTrue;
}

tresult SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr)
{
  const AudioBus* bus = getAudioBus(dir == kInput ? kInput : kOutput, index);
  if (!bus)
    return kInvalidArgument;
  arr = bus->arrangement();
  return kResultTrue;
}

tresult SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize)
{
  return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 SingleComponentEffect::getLatencySamples() { return 0; }

tresult SingleComponentEffect::setupProcessing(ProcessSetup& setup)
{
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue)
    return kResultFalse;
  mProcessSetup = setup;
  return kResultOk;
}

tresult SingleComponentEffect::setProcessing(TBool) { return kNotImplemented; }
tresult SingleComponentEffect::process(ProcessData&) { return kNotImplemented; }
uint32 SingleComponentEffect::getTailSamples() { return kNoTail; }
uint32 SingleComponentEffect::getProcessContextRequirements() { return mProcessContextRequirements; }

AudioBus* SingleComponentEffect::addAudioInput(std::u16string name, SpeakerArrangement arr, BusType busType,
                                               uint32 flags)
{
  return static_cast<AudioBus*>(mAudioInputs.add(std::make_unique<AudioBus>(std::move(name), busType, flags, arr)));
}

AudioBus* SingleComponentEffect::addAudioOutput(std::u16string name, SpeakerArrangement arr, BusType busType,
                                                uint32 flags)
{
  return static_cast<AudioBus*>(mAudioOutputs.add(std::make_unique<AudioBus>(std::move(name), busType, flags, arr)));
}

EventBus* SingleComponentEffect::addEventInput(std::u16string name, int32 channels, BusType busType, uint32 flags)
{
  return static_cast<EventBus*>(
    mEventInputs.add(std::make_unique<EventBus>(std::move(name), busType, flags, channels)));
}

EventBus* SingleComponentEffect::addEventOutput(std::u16string name, int32 channels, BusType busType, uint32 flags)
{
  return static_cast<EventBus*>(
    mEventOutputs.add(std::make_unique<EventBus>(std::move(name), busType, flags, channels)));
}

void SingleComponentEffect::removeAudioBuses()
{
  mAudioInputs.clear();
  mAudioOutputs.clear();
}

void SingleComponentEffect::removeAllBuses()
{
  removeAudioBuses();
  mEventInputs.clear();
  mEventOutputs.clear();
}

} // namespace vst3
