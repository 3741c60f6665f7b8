#pragma once

// Small host-side objects for exercising our VST 3 base classes in-process.

#include "vst3/abi/Vst3.h"
#include "vst3/base/RefCount.h"

#include <string>

namespace vst3test
{

// A component handler that records calls and counts its references.
class RecordingHandler : public vst3::IComponentHandler, public vst3::IComponentHandler2
{
public:
  vst3::tresult VST3_CALL queryInterface(const vst3::TUID queried, void** obj) override
  {
    *obj = nullptr;
    if (vst3::QueryInterfaceAs<vst3::IComponentHandler>(this, queried, obj) ||
        vst3::QueryInterfaceAs<vst3::IComponentHandler2>(this, queried, obj))
      return vst3::kResultOk;
    return vst3::kNoInterface;
  }
  vst3::uint32 VST3_CALL addRef() override { return ++refs; }
  vst3::uint32 VST3_CALL release() override { return --refs; }

  vst3::tresult VST3_CALL beginEdit(vst3::ParamID id) override { return Log('b', std::to_string(id)); }
  vst3::tresult VST3_CALL performEdit(vst3::ParamID id, vst3::ParamValue v) override
  {
    return Log('p', std::to_string(id) + "=" + std::to_string(v).substr(0, 4));
  }
  vst3::tresult VST3_CALL endEdit(vst3::ParamID id) override { return Log('e', std::to_string(id)); }
  vst3::tresult VST3_CALL restartComponent(vst3::int32 flags) override { return Log('r', std::to_string(flags)); }
  vst3::tresult VST3_CALL setDirty(vst3::TBool) override { return vst3::kResultOk; }
  vst3::tresult VST3_CALL requestOpenEditor(vst3::FIDString) override { return vst3::kResultOk; }
  vst3::tresult VST3_CALL startGroupEdit() override { log += "[ "; return vst3::kResultOk; }
  vst3::tresult VST3_CALL finishGroupEdit() override { log += "] "; return vst3::kResultOk; }

  virtual ~RecordingHandler() = default;

  int refs = 1;
  std::string log;

private:
  // Appends "<kind><detail> ".
  vst3::tresult Log(char kind, const std::string& detail)
  {
    log += kind;
    log += detail;
    log += ' ';
    return vst3::kResultOk;
  }
};

// A host context that only counts its references.
class CountingContext : public vst3::FUnknown
{
public:
  vst3::tresult VST3_CALL queryInterface(const vst3::TUID queried, void** obj) override
  {
    *obj = nullptr;
    if (vst3::QueryInterfaceAs<vst3::FUnknown>(this, queried, obj))
      return vst3::kResultOk;
    return vst3::kNoInterface;
  }
  vst3::uint32 VST3_CALL addRef() override { return ++refs; }
  vst3::uint32 VST3_CALL release() override { return --refs; }
  virtual ~CountingContext() = default;

  int refs = 1;
};

} // namespace vst3test
