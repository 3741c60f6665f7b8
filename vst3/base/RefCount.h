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

} // namespace vst3
