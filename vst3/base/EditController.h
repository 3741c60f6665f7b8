#pragma once

// The edit-controller behaviour hosts expect: a parameter container, units,
// the component handler and the edit forwarding to it. Reference counting and
// interface routing belong to the concrete object (see SingleComponentEffect).

#include "vst3/abi/EditController.h"
#include "vst3/abi/Units.h"
#include "vst3/base/Parameter.h"
#include "vst3/base/Unit.h"

#include <memory>
#include <vector>

namespace vst3
{

// IComponent and IEditController both declare setState/getState with the same
// signature, so one C++ override would serve both vtable slots. This shim gives
// the controller's slots their own names.
class ControllerStateSlots : public IEditController
{
public:
  tresult VST3_CALL setState(IBStream* state) final { return setControllerState(state); }
  tresult VST3_CALL getState(IBStream* state) final { return getControllerState(state); }

protected:
  virtual tresult setControllerState(IBStream* state) = 0;
  virtual tresult getControllerState(IBStream* state) = 0;
  VST3_INTERFACE_DESTRUCTOR(ControllerStateSlots)
};

class EditControllerEx1 : public ControllerStateSlots, public IEditController2, public IUnitInfo
{
public:
  EditControllerEx1() = default;
  EditControllerEx1(const EditControllerEx1&) = delete;
  EditControllerEx1& operator=(const EditControllerEx1&) = delete;
  virtual ~EditControllerEx1();

  // IPluginBase
  tresult VST3_CALL initialize(FUnknown* context) override;
  tresult VST3_CALL terminate() override;

  // IEditController
  tresult VST3_CALL setComponentState(IBStream* state) override;
  int32 VST3_CALL getParameterCount() override;
  tresult VST3_CALL getParameterInfo(int32 paramIndex, ParameterInfo& info) override;
  tresult VST3_CALL getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) override;
  tresult VST3_CALL getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) override;
  ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) override;
  ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plainValue) override;
  ParamValue VST3_CALL getParamNormalized(ParamID id) override;
  tresult VST3_CALL setParamNormalized(ParamID id, ParamValue value) override;
  tresult VST3_CALL setComponentHandler(IComponentHandler* handler) override;
  IPlugView* VST3_CALL createView(FIDString name) override;

  // IEditController2
  tresult VST3_CALL setKnobMode(KnobMode mode) override;
  tresult VST3_CALL openHelp(TBool onlyCheck) override;
  tresult VST3_CALL openAboutBox(TBool onlyCheck) override;

  // IUnitInfo
  int32 VST3_CALL getUnitCount() override;
  tresult VST3_CALL getUnitInfo(int32 unitIndex, UnitInfo& info) override;
  int32 VST3_CALL getProgramListCount() override;
  tresult VST3_CALL getProgramListInfo(int32 listIndex, ProgramListInfo& info) override;
  tresult VST3_CALL getProgramName(ProgramListID listId, int32 programIndex, String128 name) override;
  tresult VST3_CALL getProgramInfo(ProgramListID listId, int32 programIndex, CString attributeId,
                                   String128 attributeValue) override;
  tresult VST3_CALL hasProgramPitchNames(ProgramListID listId, int32 programIndex) override;
  tresult VST3_CALL getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                        String128 name) override;
  UnitID VST3_CALL getSelectedUnit() override;
  tresult VST3_CALL selectUnit(UnitID unitId) override;
  tresult VST3_CALL getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                 UnitID& unitId) override;
  tresult VST3_CALL setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) override;

  // Edits forwarded to the host's component handler (UI thread only).
  tresult beginEdit(ParamID id);
  tresult performEdit(ParamID id, ParamValue valueNormalized);
  tresult endEdit(ParamID id);
  tresult startGroupEdit();
  tresult finishGroupEdit();
  tresult restartComponent(int32 flags);

  FUnknown* getHostContext() const { return mHostContext; }
  IComponentHandler* getComponentHandler() const { return mComponentHandler; }
  ParameterContainer& parameters() { return mParameters; }
  void addUnit(std::unique_ptr<Unit> unit) { mUnits.push_back(std::move(unit)); }

protected:
  tresult setControllerState(IBStream* state) override;
  tresult getControllerState(IBStream* state) override;

  // Answers IUnitInfo, IEditController, IEditController2 and IPluginBase.
  bool queryControllerInterface(const TUID iid, void** obj);

  ParameterContainer mParameters;

private:
  void releaseHandlers();

  FUnknown* mHostContext = nullptr;
  IComponentHandler* mComponentHandler = nullptr;
  IComponentHandler2* mComponentHandler2 = nullptr;
  std::vector<std::unique_ptr<Unit>> mUnits;
  UnitID mSelectedUnit = kRootUnitId;
  KnobMode mKnobMode = kCircularMode;
};

} // namespace vst3
