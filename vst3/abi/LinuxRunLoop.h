#pragma once

// The host's GUI run loop on Linux: timers and file-descriptor callbacks on
// the host's UI thread.

#include "vst3/abi/FUnknown.h"

namespace vst3
{
namespace Linux
{

using FileDescriptor = int;
using TimerInterval = uint64; // milliseconds

class IEventHandler : public FUnknown
{
public:
  virtual void VST3_CALL onFDIsSet(FileDescriptor fd) = 0; // slot 3

  VST3_DECLARE_IID(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983)
  VST3_INTERFACE_DESTRUCTOR(IEventHandler)
};

class ITimerHandler : public FUnknown
{
public:
  virtual void VST3_CALL onTimer() = 0; // slot 3

  VST3_DECLARE_IID(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9)
  VST3_INTERFACE_DESTRUCTOR(ITimerHandler)
};

class IRunLoop : public FUnknown
{
public:
  virtual tresult VST3_CALL registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0; // slot 3
  virtual tresult VST3_CALL unregisterEventHandler(IEventHandler* handler) = 0;                  // slot 4
  virtual tresult VST3_CALL registerTimer(ITimerHandler* handler, TimerInterval milliseconds) = 0; // slot 5
  virtual tresult VST3_CALL unregisterTimer(ITimerHandler* handler) = 0;                         // slot 6

  VST3_DECLARE_IID(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389)
  VST3_INTERFACE_DESTRUCTOR(IRunLoop)
};

} // namespace Linux
} // namespace vst3
