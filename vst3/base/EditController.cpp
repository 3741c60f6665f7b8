#include "vst3/base/EditController.h"

#include "vst3/base/RefCount.h"

#include <algorithm>

namespace vst3
{

EditControllerEx1::~EditControllerEx1()
{
  releaseHandlers();
  if (mHostContext)
    mHostContext->release();
}

tresult EditControllerEx1::initialize(FUnknown* context)
{
  if (mHostContext)
    return kResultFalse;
  mHostContext = context;
  if (mHostContext)
    mHostContext->addRef();
  return kResultOk;
}

tresult EditControllerEx1::terminate()
{
  mUnits.clear();
  mSelectedUnit = kRootUnitId;
  mParameters.removeAll();
  releaseHandlers();
  if (mHostContext)
  {
    mHostContext->release();
    mHostContext = nullptr;
  }
  return kResultOk;
}

void EditControllerEx1::releaseHandlers()
{
  if (mComponentHandler2)
  {
    mComponentHandler2->release();
    mComponentHandler2 = nullptr;
  }
  if (mComponentHandler)
  {
    mComponentHandler->release();
    mComponentHandler = nullptr;
  }
}

tresult EditControllerEx1::setComponentState(IBStream*) { return kNotImplemented; }
tresult EditControllerEx1::setControllerState(IBStream*) { return kNotImplemented; }
tresult EditControllerEx1::getControllerState(IBStream*) { return kNotImplemented; }

int32 EditControllerEx1::getParameterCount() { return mParameters.getParameterCount(); }

tresult EditControllerEx1::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
  const Parameter* p = mParameters.getParameterByIndex(paramIndex);
  if (!p)
    return kResultFalse;
  info = p->getInfo();
  return kResultTrue;
}

tresult EditControllerEx1::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string)
{
  const Parameter* p = mParameters.getParameter(id);
  if (!p || !string)
    return kResultFalse;
  p->toString(valueNormalized, string);
  return kResultTrue;
}

tresult EditControllerEx1::getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized)
{
  const Parameter* p = mParameters.getParameter(id);
  if (!p || !string)
    return kResultFalse;
  return p->fromString(string, valueNormalized) ? kResultTrue : kResultFalse;
}

ParamValue EditControllerEx1::normalizedParamToPlain(ParamID id, ParamValue valueNormalized)
{
  const Parameter* p = mParameters.getParameter(id);
  return p ? p->toPlain(valueNormalized) : valueNormalized;
}

ParamValue EditControllerEx1::plainParamToNormalized(ParamID id, ParamValue plainValue)
{
  const Parameter* p = mParameters.getParameter(id);
  return p ? p->toNormalized(plainValue) : plainValue;
}

ParamValue EditControllerEx1::getParamNormalized(ParamID id)
{
  const Parameter* p = mParameters.getParameter(id);
  return p ? p->getNormalized() : 0.0;
}

tresult EditControllerEx1::setParamNormalized(ParamID id, ParamValue value)
{
  Parameter* p = mParameters.getParameter(id);
  if (!p)
    return kResultFalse;
  p->setNormalized(value);
  return kResultTrue;
}

tresult EditControllerEx1::setComponentHandler(IComponentHandler* handler)
{
  if (handler == mComponentHandler)
    return kResultTrue;
  releaseHandlers();
  mComponentHandler = handler;
  if (mComponentHandler)
  {
    mComponentHandler->addRef();
    void* handler2 = nullptr;
    if (mComponentHandler->queryInterface(IComponentHandler2::iid, &handler2) == kResultOk)
      mComponentHandler2 = static_cast<IComponentHandler2*>(handler2);
  }
  return kResultTrue;
}

IPlugView* EditControllerEx1::createView(FIDString) { return nullptr; }

tresult EditControllerEx1::setKnobMode(KnobMode mode)
{
  mKnobMode = mode;
  return kResultTrue;
}

tresult EditControllerEx1::openHelp(TBool) { return kResultFalse; }
tresult EditControllerEx1::openAboutBox(TBool) { return kResultFalse; }

int32 EditControllerEx1::getUnitCount() { return static_cast<int32>(mUnits.size()); }

tresult EditControllerEx1::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
  if (unitIndex < 0 || unitIndex >= getUnitCount())
    return kResultFalse;
  info = mUnits[static_cast<size_t>(unitIndex)]->getInfo();
  return kResultTrue;
}

// This layer keeps no program lists of its own.
int32 EditControllerEx1::getProgramListCount() { return 0; }
tresult EditControllerEx1::getProgramListInfo(int32, ProgramListInfo&) { return kResultFalse; }
tresult EditControllerEx1::getProgramName(ProgramListID, int32, String128) { return kResultFalse; }
tresult EditControllerEx1::getProgramInfo(ProgramListID, int32, CString, String128) { return kResultFalse; }
tresult EditControllerEx1::hasProgramPitchNames(ProgramListID, int32) { return kResultFalse; }
tresult EditControllerEx1::getProgramPitchName(ProgramListID, int32, int16, String128) { return kResultFalse; }

UnitID EditControllerEx1::getSelectedUnit() { return mSelectedUnit; }

tresult EditControllerEx1::selectUnit(UnitID unitId)
{
  mSelectedUnit = unitId;
  return kResultTrue;
}

tresult EditControllerEx1::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) { return kResultFalse; }
tresult EditControllerEx1::setUnitProgramData(int32, int32, IBStream*) { return kResultFalse; }

tresult EditControllerEx1::beginEdit(ParamID id)
{
  return mComponentHandler ? mComponentHandler->beginEdit(id) : kResultFalse;
}

tresult EditControllerEx1::performEdit(ParamID id, ParamValue valueNormalized)
{
  return mComponentHandler ? mComponentHandler->performEdit(id, valueNormalized) : kResultFalse;
}

tresult EditControllerEx1::endEdit(ParamID id)
{
  return mComponentHandler ? mComponentHandler->endEdit(id) : kResultFalse;
}

tresult EditControllerEx1::startGroupEdit()
{
  return mComponentHandler2 ? mComponentHandler2->startGroupEdit() : kNotImplemented;
}

tresult EditControllerEx1::finishGroupEdit()
{
  return mComponentHandler2 ? mComponentHandler2->finishGroupEdit() : kNotImplemented;
}

tresult EditControllerEx1::restartComponent(int32 flags)
{
  return mComponentHandler ? mComponentHandler->restartComponent(flags) : kResultFalse;
}

bool EditControllerEx1::queryControllerInterface(const TUID queriedIid, void** obj)
{
  if (QueryInterfaceAs<IUnitInfo>(this, queriedIid, obj) || QueryInterfaceAs<IEditController>(this, queriedIid, obj) ||
      QueryInterfaceAs<IEditController2>(this, queriedIid, obj))
    return true;
  if (IidEqual(queriedIid, IPluginBase::iid))
  {
    auto* base = static_cast<IPluginBase*>(static_cast<IEditController*>(this));
    base->addRef();
    *obj = base;
    return true;
  }
  return false;
}

} // namespace vst3
