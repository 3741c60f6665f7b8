#include "vst3/host/PlugFrame.h"

#include <algorithm>
#include <poll.h>

namespace vst3host
{

PlugFrame::~PlugFrame()
{
  // A plug-in that forgot to unregister leaves its references with us.
  for (auto& t : mTimers)
    t.handler->release();
  for (auto& e : mEventHandlers)
    e.handler->release();
}

vst3::tresult PlugFrame::queryInterface(const vst3::TUID requested, void** obj)
{
  if (obj && requested && vst3::IidEqual(requested, vst3::Linux::IRunLoop::iid))
  {
    addRef();
    *obj = static_cast<vst3::Linux::IRunLoop*>(&mLoop);
    return vst3::kResultOk;
  }
  return ComObject::queryInterface(requested, obj);
}

vst3::tresult PlugFrame::RunLoop::queryInterface(const vst3::TUID, void** obj)
{
  if (obj)
    *obj = nullptr;
  return vst3::kNoInterface;
}

vst3::tresult PlugFrame::resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize)
{
  if (!view || !newSize)
    return vst3::kInvalidArgument;
  mResizeRequests.push_back(*newSize);
  // The host resizes its window, then tells the view within the same call.
  view->onSize(newSize);
  return vst3::kResultTrue;
}

vst3::tresult PlugFrame::RegisterEventHandler(vst3::Linux::IEventHandler* handler, vst3::Linux::FileDescriptor fd)
{
  if (!handler || fd < 0)
    return vst3::kInvalidArgument;
  for (const auto& e : mEventHandlers)
    if (e.fd == fd || e.handler == handler)
      return vst3::kInvalidArgument;
  handler->addRef();
  mEventHandlers.push_back({handler, fd});
  return vst3::kResultTrue;
}

vst3::tresult PlugFrame::UnregisterEventHandler(vst3::Linux::IEventHandler* handler)
{
  const auto it = std::find_if(mEventHandlers.begin(), mEventHandlers.end(),
                               [handler](const EventHandler& e) { return e.handler == handler; });
  if (it == mEventHandlers.end())
    return vst3::kResultFalse;
  vst3::Linux::IEventHandler* h = it->handler;
  mEventHandlers.erase(it);
  h->release();
  return vst3::kResultTrue;
}

vst3::tresult PlugFrame::RegisterTimer(vst3::Linux::ITimerHandler* handler, vst3::Linux::TimerInterval milliseconds)
{
  if (!handler || milliseconds == 0)
    return vst3::kInvalidArgument;
  handler->addRef();
  mTimers.push_back({handler, milliseconds, std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds)});
  return vst3::kResultTrue;
}

vst3::tresult PlugFrame::UnregisterTimer(vst3::Linux::ITimerHandler* handler)
{
  const auto it =
    std::find_if(mTimers.begin(), mTimers.end(), [handler](const Timer& t) { return t.handler == handler; });
  if (it == mTimers.end())
    return vst3::kResultFalse;
  vst3::Linux::ITimerHandler* h = it->handler;
  mTimers.erase(it);
  h->release();
  return vst3::kResultTrue;
}

int PlugFrame::RunOnce(int timeoutMs)
{
  using Clock = std::chrono::steady_clock;
  const auto now = Clock::now();
  auto wait = std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (const auto& t : mTimers)
    wait = std::min(wait, std::chrono::duration_cast<std::chrono::milliseconds>(std::max(t.due - now, Clock::duration(0))));

  std::vector<pollfd> fds;
  for (const auto& e : mEventHandlers)
    fds.push_back({e.fd, POLLIN, 0});
  ::poll(fds.data(), fds.size(), static_cast<int>(wait.count()));

  int calls = 0;
  // Handlers may unregister themselves or others while they run: call by copy,
  // holding a reference, and only if still registered.
  for (const auto& p : fds)
  {
    if (!(p.revents & (POLLIN | POLLHUP | POLLERR)))
      continue;
    const auto it = std::find_if(mEventHandlers.begin(), mEventHandlers.end(),
                                 [&p](const EventHandler& e) { return e.fd == p.fd; });
    if (it == mEventHandlers.end())
      continue;
    vst3::Linux::IEventHandler* h = it->handler;
    h->addRef();
    h->onFDIsSet(p.fd);
    h->release();
    ++calls;
  }
  const auto after = Clock::now();
  std::vector<vst3::Linux::ITimerHandler*> due;
  for (auto& t : mTimers)
    if (t.due <= after)
    {
      due.push_back(t.handler);
      t.due = after + std::chrono::milliseconds(t.intervalMs);
    }
  return calls + FireStillRegistered(due);
}

void PlugFrame::FireAllTimers()
{
  std::vector<vst3::Linux::ITimerHandler*> all;
  for (const auto& t : mTimers)
    all.push_back(t.handler);
  FireStillRegistered(all);
}

int PlugFrame::FireStillRegistered(const std::vector<vst3::Linux::ITimerHandler*>& handlers)
{
  int calls = 0;
  for (auto* h : handlers)
  {
    if (std::none_of(mTimers.begin(), mTimers.end(), [h](const Timer& t) { return t.handler == h; }))
      continue;
    h->addRef();
    h->onTimer();
    h->release();
    ++calls;
  }
  return calls;
}

} // namespace vst3host
