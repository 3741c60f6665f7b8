#pragma once

// Buses of a component: audio buses with a speaker arrangement, event buses
// with a channel count, and the per-direction lists that hold them.

#include "vst3/abi/Component.h"
#include "vst3/abi/Speakers.h"

#include <memory>
#include <string>
#include <vector>

namespace vst3
{

class Bus
{
public:
  Bus(std::u16string name, BusType busType, uint32 flags) : mName(std::move(name)), mBusType(busType), mFlags(flags) {}
  virtual ~Bus() = default;

  // Fills name, bus type, flags and channel count; the caller sets the media
  // type and direction.
  virtual void getInfo(BusInfo& info) const;
  virtual int32 channelCount() const = 0;

  bool isActive() const { return mActive; }
  void setActive(bool active) { mActive = active; }
  const std::u16string& name() const { return mName; }
  BusType busType() const { return mBusType; }
  uint32 flags() const { return mFlags; }

private:
  std::u16string mName;
  BusType mBusType;
  uint32 mFlags;
  bool mActive = false; // hosts activate the buses they use
};

class AudioBus : public Bus
{
public:
  AudioBus(std::u16string name, BusType busType, uint32 flags, SpeakerArrangement arrangement)
    : Bus(std::move(name), busType, flags), mArrangement(arrangement)
  {
  }

  int32 channelCount() const override { return SpeakerArr::getChannelCount(mArrangement); }
  SpeakerArrangement arrangement() const { return mArrangement; }
  void setArrangement(SpeakerArrangement arrangement) { mArrangement = arrangement; }

private:
  SpeakerArrangement mArrangement;
};

class EventBus : public Bus
{
public:
  EventBus(std::u16string name, BusType busType, uint32 flags, int32 channels)
    : Bus(std::move(name), busType, flags), mChannels(channels)
  {
  }

  int32 channelCount() const override { return mChannels; }

private:
  int32 mChannels;
};

class BusList
{
public:
  BusList(MediaType type, BusDirection direction) : mType(type), mDirection(direction) {}

  Bus* add(std::unique_ptr<Bus> bus);
  int32 size() const { return static_cast<int32>(mBuses.size()); }
  Bus* at(int32 index) const;
  void clear() { mBuses.clear(); }

  MediaType mediaType() const { return mType; }
  BusDirection direction() const { return mDirection; }

private:
  MediaType mType;
  BusDirection mDirection;
  std::vector<std::unique_ptr<Bus>> mBuses;
};

} // namespace vst3
