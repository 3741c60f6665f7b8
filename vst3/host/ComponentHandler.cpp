#include "vst3/host/ComponentHandler.h"

namespace vst3host
{

vst3::tresult ComponentHandler::Add(Record r)
{
  std::lock_guard<std::mutex> lock(mMutex);
  mRecords.push_back(r);
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL ComponentHandler::beginEdit(vst3::ParamID id)
{
  return Add({Call::BeginEdit, id});
}

vst3::tresult VST3_CALL ComponentHandler::performEdit(vst3::ParamID id, vst3::ParamValue valueNormalized)
{
  return Add({Call::PerformEdit, id, valueNormalized});
}

vst3::tresult VST3_CALL ComponentHandler::endEdit(vst3::ParamID id)
{
  return Add({Call::EndEdit, id});
}

vst3::tresult VST3_CALL ComponentHandler::restartComponent(vst3::int32 flags)
{
  return Add({Call::RestartComponent, 0, 0, flags});
}

vst3::tresult VST3_CALL ComponentHandler::setDirty(vst3::TBool state)
{
  return Add({Call::SetDirty, 0, 0, state ? 1 : 0});
}

vst3::tresult VST3_CALL ComponentHandler::requestOpenEditor(vst3::FIDString)
{
  return Add({Call::RequestOpenEditor});
}

vst3::tresult VST3_CALL ComponentHandler::startGroupEdit()
{
  return Add({Call::StartGroupEdit});
}

vst3::tresult VST3_CALL ComponentHandler::finishGroupEdit()
{
  return Add({Call::FinishGroupEdit});
}

std::vector<ComponentHandler::Record> ComponentHandler::Records() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  return mRecords;
}

std::vector<ComponentHandler::Record> ComponentHandler::Records(Call call) const
{
  std::lock_guard<std::mutex> lock(mMutex);
  std::vector<Record> out;
  for (const Record& r : mRecords)
    if (r.call == call)
      out.push_back(r);
  return out;
}

void ComponentHandler::Clear()
{
  std::lock_guard<std::mutex> lock(mMutex);
  mRecords.clear();
}

} // namespace vst3host
