#pragma once

// IEventList with storage reserved up front: the host's input events for a
// block, or the list the plug-in fills from its audio thread. A full list
// refuses further events (kResultFalse), as hosts' lists do.

#include "vst3/abi/Events.h"
#include "vst3/host/ComObject.h"

#include <vector>

namespace vst3host
{

class EventList final : public ComObject<vst3::IEventList>
{
public:
  explicit EventList(vst3::int32 capacity = 512) { mEvents.reserve(static_cast<std::size_t>(capacity)); }

  vst3::int32 VST3_CALL getEventCount() override { return static_cast<vst3::int32>(mEvents.size()); }
  vst3::tresult VST3_CALL getEvent(vst3::int32 index, vst3::Event& e) override;
  vst3::tresult VST3_CALL addEvent(vst3::Event& e) override;

  void Clear() { mEvents.clear(); }
  const std::vector<vst3::Event>& Events() const { return mEvents; }

private:
  std::vector<vst3::Event> mEvents;
};

} // namespace vst3host
