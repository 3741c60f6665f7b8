#pragma once

// Base of the host's own interface implementations: an atomic reference
// count starting at 1, and queryInterface over the listed interfaces plus
// FUnknown. Objects delete themselves when the last reference goes.

#include "vst3/abi/FUnknown.h"
#include "vst3/host/ComPtr.h"

#include <atomic>
#include <utility>

namespace vst3host
{

template <class First, class... Rest>
class ComObject : public First, public Rest...
{
public:
  vst3::tresult VST3_CALL queryInterface(const vst3::TUID requested, void** obj) override
  {
    if (!obj)
      return vst3::kInvalidArgument;
    void* found = nullptr;
    if (vst3::IidEqual(requested, vst3::FUnknown::iid))
      found = static_cast<vst3::FUnknown*>(static_cast<First*>(this));
    else
      found = Find<First, Rest...>(requested);
    *obj = found;
    if (!found)
      return vst3::kNoInterface;
    addRef();
    return vst3::kResultOk;
  }

  vst3::uint32 VST3_CALL addRef() override { return ++mRefs; }

  vst3::uint32 VST3_CALL release() override
  {
    const vst3::uint32 left = --mRefs;
    if (left == 0)
      delete this;
    return left;
  }

  vst3::uint32 RefCount() const { return mRefs.load(); }

protected:
  ComObject() = default;
  virtual ~ComObject() = default;

private:
  template <class I, class... More>
  void* Find(const vst3::TUID requested)
  {
    if (vst3::IidEqual(requested, I::iid))
      return static_cast<I*>(this);
    if constexpr (sizeof...(More) > 0)
      return Find<More...>(requested);
    else
      return nullptr;
  }

  std::atomic<vst3::uint32> mRefs{1};
};

// Creates a host object whose creation reference the returned pointer owns.
template <class T, class... Args>
auto MakeCom(Args&&... args)
{
  return ComPtr<T>::Adopt(new T(std::forward<Args>(args)...));
}

} // namespace vst3host
