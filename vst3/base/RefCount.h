#pragma once

// Reference counting and interface lookup shared by our VST 3 objects.

#include "vst3/abi/FUnknown.h"

#include <atomic>

namespace vst3
{

// One count per object, shared by all the interfaces it implements. Hosts call
// addRef/release from several threads, so the count is atomic.
class RefCount
{
public:
  uint32 Add() { return mCount.fetch_add(1, std::memory_order_relaxed) + 1; }
  uint32 Remove() { return mCount.fetch_sub(1, std::memory_order_acq_rel) - 1; }
  uint32 Get() const { return mCount.load(std::memory_order_relaxed); }

private:
  std::atomic<uint32> mCount{1};
};

// Hands out `self` as interface I (pointer adjusted for multiple inheritance)
// with one added reference when iid names I.
template <class I, class T>
bool QueryInterfaceAs(T* self, const char* iid, void** obj)
{
  if (!IidEqual(iid, I::iid))
    return false;
  I* p = static_cast<I*>(self);
  p->addRef();
  *obj = p;
  return true;
}

// An object that implements one interface: a reference count starting at 1,
// queryInterface for Interface and FUnknown, and deletion at the last release.
template <class Interface>
class SingleInterfaceObject : public Interface
{
public:
  tresult VST3_CALL queryInterface(const TUID queried, void** obj) override
  {
    if (!obj)
      return kInvalidArgument;
    *obj = nullptr;
    if (queried && (QueryInterfaceAs<Interface>(this, queried, obj) || QueryInterfaceAs<FUnknown>(this, queried, obj)))
      return kResultOk;
    return kNoInterface;
  }
  uint32 VST3_CALL addRef() override { return mRefs.Add(); }
  uint32 VST3_CALL release() override
  {
    const uint32 left = mRefs.Remove();
    if (left == 0)
      delete this;
    return left;
  }

protected:
  virtual ~SingleInterfaceObject() = default;

private:
  RefCount mRefs;
};

} // namespace vst3
