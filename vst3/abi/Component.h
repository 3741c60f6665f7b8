#pragma once

// The component: buses, activation and persistent state.

#include "vst3/abi/PluginBase.h"
#include "vst3/abi/Stream.h"

#include <cstddef>

namespace vst3
{

using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;

enum MediaTypes : int32
{
  kAudio = 0,
  kEvent = 1,
  kNumMediaTypes = 2
};

enum BusDirections : int32
{
  kInput = 0,
  kOutput = 1
};

enum BusTypes : int32
{
  kMain = 0,
  kAux = 1
};

enum IoModes : int32
{
  kSimple = 0,
  kAdvanced = 1,
  kOfflineProcessing = 2
};

struct BusInfo
{
  enum BusFlags : uint32
  {
    kDefaultActive = 1 << 0,
    kIsControlVoltage = 1 << 1
  };

  MediaType mediaType;
  BusDirection direction;
  int32 channelCount; // speakers for audio buses, MIDI channels for event buses
  String128 name;
  BusType busType;
  uint32 flags;
};

struct RoutingInfo
{
  MediaType mediaType;
  int32 busIndex;
  int32 channel; // -1: all channels
};

class IComponent : public IPluginBase
{
public:
  virtual tresult VST3_CALL getControllerClassId(TUID classId) = 0;                                  // slot 5
  virtual tresult VST3_CALL setIoMode(IoMode mode) = 0;                                              // slot 6
  virtual int32 VST3_CALL getBusCount(MediaType type, BusDirection dir) = 0;                         // slot 7
  virtual tresult VST3_CALL getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0; // slot 8
  virtual tresult VST3_CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;           // slot 9
  virtual tresult VST3_CALL activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0; // slot 10
  virtual tresult VST3_CALL setActive(TBool state) = 0;                                              // slot 11
  virtual tresult VST3_CALL setState(IBStream* state) = 0;                                           // slot 12
  virtual tresult VST3_CALL getState(IBStream* state) = 0;                                           // slot 13

  VST3_DECLARE_IID(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802)
  VST3_INTERFACE_DESTRUCTOR(IComponent)
};

static_assert(sizeof(BusInfo) == 276 && alignof(BusInfo) == 4);
static_assert(offsetof(BusInfo, name) == 12 && offsetof(BusInfo, busType) == 268 && offsetof(BusInfo, flags) == 272);
static_assert(sizeof(RoutingInfo) == 12);

} // namespace vst3
