#include "vst3/ViewRunLoop.h"

#include "vst3/abi/LinuxRunLoop.h"
#include "vst3/linux/RunLoopTimerSource.h"
#include "vst3/base/RefCount.h"

namespace iplug
{

namespace
{

// A handler the host may keep referencing after it was unregistered, so it
// holds the editor only until it is cut loose.
template <class Interface>
class LoopHandler : public vst3::SingleInterfaceObject<Interface>
{
public:
  explicit LoopHandler(IEditorContext* context) : mContext(context) {}
  void CutLoose() { mContext = nullptr; }

protected:
  IEditorContext* mContext;
};

class EventHandler final : public LoopHandler<vst3::Linux::IEventHandler>
{
public:
  using LoopHandler::LoopHandler;
  void VST3_CALL onFDIsSet(vst3::Linux::FileDescriptor) override
  {
    if (mContext)
      mContext->OnPlatformEventsReadable();
  }
};

class FrameTimer final : public LoopHandler<vst3::Linux::ITimerHandler>
{
public:
  using LoopHandler::LoopHandler;
  void VST3_CALL onTimer() override
  {
    if (mContext)
      mContext->OnPlatformTimer();
  }
};

class ViewRunLoopLinux final : public ViewRunLoop
{
public:
  explicit ViewRunLoopLinux(vst3::Linux::IRunLoop* loop) : mLoop(loop) {} // adopts the reference
  ~ViewRunLoopLinux() override
  {
    Unregister();
    mLoop->release();
  }
  ViewRunLoopLinux(const ViewRunLoopLinux&) = delete;
  ViewRunLoopLinux& operator=(const ViewRunLoopLinux&) = delete;

  void Register(IEditorContext& context) override
  {
    Unregister();
    const int fd = context.GetPlatformEventFd();
    if (fd >= 0)
    {
      mEvents = new EventHandler(&context);
      if (mLoop->registerEventHandler(mEvents, fd) != vst3::kResultOk)
        Drop(mEvents);
    }
    mTimer = new FrameTimer(&context);
    if (mLoop->registerTimer(mTimer, static_cast<vst3::uint64>(IEditorContext::kPlatformTimerMs)) != vst3::kResultOk)
      Drop(mTimer);
  }

  void Unregister() override
  {
    if (mTimer)
    {
      mLoop->unregisterTimer(mTimer);
      Drop(mTimer);
    }
    if (mEvents)
    {
      mLoop->unregisterEventHandler(mEvents);
      Drop(mEvents);
    }
  }

  bool IsRegistered() const override { return mTimer || mEvents; }
  // The loop object itself, not what it answers to queryInterface: some hosts'
  // loops (Ardour's) answer nothing there.
  std::unique_ptr<TimerSource> MakeTimerSource() const override
  {
    return std::make_unique<RunLoopTimerSource>(mLoop);
  }

private:
  template <class H>
  static void Drop(H*& handler)
  {
    handler->CutLoose();
    handler->release();
    handler = nullptr;
  }

  vst3::Linux::IRunLoop* mLoop;
  EventHandler* mEvents = nullptr;
  FrameTimer* mTimer = nullptr;
};

} // namespace

std::unique_ptr<ViewRunLoop> ViewRunLoop::FromFrame(vst3::IPlugFrame* frame)
{
  if (!frame)
    return nullptr;
  void* p = nullptr;
  if (frame->queryInterface(vst3::Linux::IRunLoop::iid, &p) != vst3::kResultOk || !p)
    return nullptr;
  return std::make_unique<ViewRunLoopLinux>(static_cast<vst3::Linux::IRunLoop*>(p));
}

} // namespace iplug
