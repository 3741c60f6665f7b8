#pragma once

// The edit controller (parameters exported to the host) and the host's
// component handler through which edits travel back.

#include "vst3/abi/ParameterChanges.h"
#include "vst3/abi/PluginBase.h"
#include "vst3/abi/Stream.h"

#include <cstddef>

namespace vst3
{

class IPlugView;

using UnitID = int32;
using KnobMode = int32;

constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;

struct ParameterInfo
{
  enum ParameterFlags : int32
  {
    kNoFlags = 0,
    kCanAutomate = 1 << 0,
    kIsReadOnly = 1 << 1,
    kIsWrapAround = 1 << 2,
    kIsList = 1 << 3,
    kIsHidden = 1 << 4,
    kIsProgramChange = 1 << 15,
    kIsBypass = 1 << 16
  };

  ParamID id;
  String128 title;
  String128 shortTitle;
  String128 units;
  int32 stepCount; // 0 continuous, n > 0: n + 1 discrete values
  ParamValue defaultNormalizedValue;
  UnitID unitId;
  int32 flags;
};

enum KnobModes : int32
{
  kCircularMode = 0,
  kRelativCircularMode = 1,
  kLinearMode = 2
};

enum RestartFlags : int32
{
  kReloadComponent = 1 << 0,
  kIoChanged = 1 << 1,
  kParamValuesChanged = 1 << 2,
  kLatencyChanged = 1 << 3,
  kParamTitlesChanged = 1 << 4,
  kMidiCCAssignmentChanged = 1 << 5,
  kNoteExpressionChanged = 1 << 6,
  kIoTitlesChanged = 1 << 7,
  kPrefetchableSupportChanged = 1 << 8,
  kRoutingInfoChanged = 1 << 9,
  kKeyswitchChanged = 1 << 10,
  kParamIDMappingChanged = 1 << 11
};

namespace ViewType
{
constexpr const char* kEditor = "editor";
}

class IComponentHandler : public FUnknown
{
public:
  virtual tresult VST3_CALL beginEdit(ParamID id) = 0;                               // slot 3
  virtual tresult VST3_CALL performEdit(ParamID id, ParamValue valueNormalized) = 0; // slot 4
  virtual tresult VST3_CALL endEdit(ParamID id) = 0;                                 // slot 5
  virtual tresult VST3_CALL restartComponent(int32 flags) = 0;                       // slot 6

  VST3_DECLARE_IID(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6)
  VST3_INTERFACE_DESTRUCTOR(IComponentHandler)
};

class IComponentHandler2 : public FUnknown
{
public:
  virtual tresult VST3_CALL setDirty(TBool state) = 0;            // slot 3
  virtual tresult VST3_CALL requestOpenEditor(FIDString name) = 0; // slot 4
  virtual tresult VST3_CALL startGroupEdit() = 0;                 // slot 5
  virtual tresult VST3_CALL finishGroupEdit() = 0;                // slot 6

  VST3_DECLARE_IID(0xF040B4B3, 0xA36045EC, 0xABCDC045, 0xB4D5A2CC)
  VST3_INTERFACE_DESTRUCTOR(IComponentHandler2)
};

class IEditController : public IPluginBase
{
public:
  virtual tresult VST3_CALL setComponentState(IBStream* state) = 0;                                  // slot 5
  virtual tresult VST3_CALL setState(IBStream* state) = 0;                                           // slot 6
  virtual tresult VST3_CALL getState(IBStream* state) = 0;                                           // slot 7
  virtual int32 VST3_CALL getParameterCount() = 0;                                                   // slot 8
  virtual tresult VST3_CALL getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;             // slot 9
  virtual tresult VST3_CALL getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0; // slot 10
  virtual tresult VST3_CALL getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;   // slot 11
  virtual ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;   // slot 12
  virtual ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;        // slot 13
  virtual ParamValue VST3_CALL getParamNormalized(ParamID id) = 0;                                   // slot 14
  virtual tresult VST3_CALL setParamNormalized(ParamID id, ParamValue value) = 0;                    // slot 15
  virtual tresult VST3_CALL setComponentHandler(IComponentHandler* handler) = 0;                     // slot 16
  virtual IPlugView* VST3_CALL createView(FIDString name) = 0;                                       // slot 17

  VST3_DECLARE_IID(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E)
  VST3_INTERFACE_DESTRUCTOR(IEditController)
};

class IEditController2 : public FUnknown
{
public:
  virtual tresult VST3_CALL setKnobMode(KnobMode mode) = 0;     // slot 3
  virtual tresult VST3_CALL openHelp(TBool onlyCheck) = 0;      // slot 4
  virtual tresult VST3_CALL openAboutBox(TBool onlyCheck) = 0;  // slot 5

  VST3_DECLARE_IID(0x7F4EFE59, 0xF3204967, 0xAC27A3AE, 0xAFB63038)
  VST3_INTERFACE_DESTRUCTOR(IEditController2)
};

static_assert(sizeof(ParameterInfo) == 792 && alignof(ParameterInfo) == 8);
static_assert(offsetof(ParameterInfo, title) == 4 && offsetof(ParameterInfo, shortTitle) == 260);
static_assert(offsetof(ParameterInfo, units) == 516 && offsetof(ParameterInfo, stepCount) == 772);
static_assert(offsetof(ParameterInfo, defaultNormalizedValue) == 776 && offsetof(ParameterInfo, unitId) == 784);
static_assert(offsetof(ParameterInfo, flags) == 788);

} // namespace vst3
