#pragma once

// Units (parameter groups) and program lists.

#include "vst3/abi/Component.h"
#include "vst3/abi/EditController.h"

#include <cstddef>

namespace vst3
{

using ProgramListID = int32;

constexpr ProgramListID kNoProgramListId = -1;
constexpr int32 kAllProgramInvalid = -1;

struct UnitInfo
{
  UnitID id;
  UnitID parentUnitId;
  String128 name;
  ProgramListID programListId;
};

struct ProgramListInfo
{
  ProgramListID id;
  String128 name;
  int32 programCount;
};

class IUnitInfo : public FUnknown
{
public:
  virtual int32 VST3_CALL getUnitCount() = 0;                                                  // slot 3
  virtual tresult VST3_CALL getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;                  // slot 4
  virtual int32 VST3_CALL getProgramListCount() = 0;                                           // slot 5
  virtual tresult VST3_CALL getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;    // slot 6
  virtual tresult VST3_CALL getProgramName(ProgramListID listId, int32 programIndex, String128 name) = 0; // slot 7
  virtual tresult VST3_CALL getProgramInfo(ProgramListID listId, int32 programIndex, CString attributeId,
                                           String128 attributeValue) = 0;                      // slot 8
  virtual tresult VST3_CALL hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0; // slot 9
  virtual tresult VST3_CALL getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                                String128 name) = 0;                           // slot 10
  virtual UnitID VST3_CALL getSelectedUnit() = 0;                                              // slot 11
  virtual tresult VST3_CALL selectUnit(UnitID unitId) = 0;                                     // slot 12
  virtual tresult VST3_CALL getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                         UnitID& unitId) = 0;                                  // slot 13
  virtual tresult VST3_CALL setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) = 0; // slot 14

  VST3_DECLARE_IID(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1)
  VST3_INTERFACE_DESTRUCTOR(IUnitInfo)
};

class IProgramListData : public FUnknown
{
public:
  virtual tresult VST3_CALL programDataSupported(ProgramListID listId) = 0;                       // slot 3
  virtual tresult VST3_CALL getProgramData(ProgramListID listId, int32 programIndex, IBStream* data) = 0; // slot 4
  virtual tresult VST3_CALL setProgramData(ProgramListID listId, int32 programIndex, IBStream* data) = 0; // slot 5

  VST3_DECLARE_IID(0x8683B01F, 0x7B354F70, 0xA2651DEC, 0x353AF4FF)
  VST3_INTERFACE_DESTRUCTOR(IProgramListData)
};

// Host side, queried from the component handler.
class IUnitHandler : public FUnknown
{
public:
  virtual tresult VST3_CALL notifyUnitSelection(UnitID unitId) = 0;                           // slot 3
  virtual tresult VST3_CALL notifyProgramListChange(ProgramListID listId, int32 programIndex) = 0; // slot 4

  VST3_DECLARE_IID(0x4B5147F8, 0x4654486B, 0x8DAB30BA, 0x163A3C56)
  VST3_INTERFACE_DESTRUCTOR(IUnitHandler)
};

static_assert(sizeof(UnitInfo) == 268 && offsetof(UnitInfo, programListId) == 264);
static_assert(sizeof(ProgramListInfo) == 264 && offsetof(ProgramListInfo, programCount) == 260);

} // namespace vst3
