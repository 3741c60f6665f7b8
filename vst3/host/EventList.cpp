#include "vst3/host/EventList.h"

namespace vst3host
{

vst3::tresult VST3_CALL EventList::getEvent(vst3::int32 index, vst3::Event& e)
{
  if (index < 0 || index >= getEventCount())
    return vst3::kInvalidArgument;
  e = mEvents[static_cast<std::size_t>(index)];
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL EventList::addEvent(vst3::Event& e)
{
  if (mEvents.size() >= mEvents.capacity())
    return vst3::kResultFalse;
  mEvents.push_back(e);
  return vst3::kResultOk;
}

} // namespace vst3host
