#include "vst3/base/Bus.h"

#include "vst3/base/StringConvert.h"

namespace vst3
{

void Bus::getInfo(BusInfo& info) const
{
  CopyToString128(mName, info.name);
  info.busType = mBusType;
  info.flags = mFlags;
  info.channelCount = channelCount();
}

Bus* BusList::add(std::unique_ptr<Bus> bus)
{
  mBuses.push_back(std::move(bus));
  return mBuses.back().get();
}

Bus* BusList::at(int32 index) const
{
  if (index < 0 || index >= size())
    return nullptr;
  return mBuses[static_cast<size_t>(index)].get();
}

} // namespace vst3
