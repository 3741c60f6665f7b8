#pragma once

// The module's class factory: factory information, registered classes (8-bit
// and UTF-16 descriptions) and instance creation.

#include "vst3/abi/PluginFactory.h"
#include "vst3/base/RefCount.h"

#include <functional>
#include <vector>

namespace vst3
{

namespace Linux
{
class IRunLoop;
}

class PluginFactory : public IPluginFactory3
{
public:
  // Returns a new object with one reference (owned by the caller), or throws.
  using CreateFunction = FUnknown* (*)(void* context);

  explicit PluginFactory(const PFactoryInfo& info);
  PluginFactory(const PluginFactory&) = delete;
  PluginFactory& operator=(const PluginFactory&) = delete;
  virtual ~PluginFactory();

  // Stores the 8-bit record and a UTF-16 copy (each byte widened to one unit).
  void registerClass(const PClassInfo2& info, CreateFunction create, void* context = nullptr);

  // Called from the destructor, e.g. to clear a module-wide singleton.
  void setOnDestroy(std::function<void(PluginFactory*)> onDestroy) { mOnDestroy = std::move(onDestroy); }

  // The host's run loop when it offered one through setHostContext (Linux).
  Linux::IRunLoop* hostRunLoop() const { return mRunLoop; }

  // FUnknown
  tresult VST3_CALL queryInterface(const TUID iid, void** obj) override;
  uint32 VST3_CALL addRef() override;
  uint32 VST3_CALL release() override;

  // IPluginFactory
  tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) override;
  int32 VST3_CALL countClasses() override;
  tresult VST3_CALL getClassInfo(int32 index, PClassInfo* info) override;
  tresult VST3_CALL createInstance(FIDString cid, FIDString iid, void** obj) override;

  // IPluginFactory2
  tresult VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) override;

  // IPluginFactory3
  tresult VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) override;
  tresult VST3_CALL setHostContext(FUnknown* context) override;

private:
  struct ClassEntry
  {
    PClassInfo2 info8;
    PClassInfoW info16;
    CreateFunction create;
    void* context;
  };

  RefCount mRefCount;
  PFactoryInfo mInfo;
  std::vector<ClassEntry> mClasses;
  std::function<void(PluginFactory*)> mOnDestroy;
  Linux::IRunLoop* mRunLoop = nullptr;
};

} // namespace vst3
