#pragma once

// The host's component handler: records every call a plug-in makes through
// IComponentHandler and IComponentHandler2 (edits, restarts, group edits,
// dirty state), so tests and tools can see what travelled to the host.

#include "vst3/abi/EditController.h"
#include "vst3/host/ComObject.h"

#include <mutex>
#include <vector>

namespace vst3host
{

class ComponentHandler final : public ComObject<vst3::IComponentHandler, vst3::IComponentHandler2>
{
public:
  enum class Call
  {
    BeginEdit,
    PerformEdit,
    EndEdit,
    RestartComponent,
    SetDirty,
    RequestOpenEditor,
    StartGroupEdit,
    FinishGroupEdit
  };

  struct Record
  {
    Call call;
    vst3::ParamID id = 0;       // edits
    vst3::ParamValue value = 0; // performEdit
    vst3::int32 flags = 0;      // restartComponent flags, setDirty state
  };

  vst3::tresult VST3_CALL beginEdit(vst3::ParamID id) override;
  vst3::tresult VST3_CALL performEdit(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
  vst3::tresult VST3_CALL endEdit(vst3::ParamID id) override;
  vst3::tresult VST3_CALL restartComponent(vst3::int32 flags) override;
  vst3::tresult VST3_CALL setDirty(vst3::TBool state) override;
  vst3::tresult VST3_CALL requestOpenEditor(vst3::FIDString name) override;
  vst3::tresult VST3_CALL startGroupEdit() override;
  vst3::tresult VST3_CALL finishGroupEdit() override;

  std::vector<Record> Records() const;
  // The calls of one kind, in order.
  std::vector<Record> Records(Call call) const;
  void Clear();

private:
  vst3::tresult Add(Record r);

  mutable std::mutex mMutex;
  std::vector<Record> mRecords;
};

} // namespace vst3host
