#pragma once

// Owning pointer to a reference-counted interface, and a typed
// queryInterface. The host side holds every plug-in object through these so
// each reference it takes is released exactly once.

#include "vst3/abi/FUnknown.h"

#include <utility>

namespace vst3host
{

template <class T>
class ComPtr
{
public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes over a reference the caller already owns (a fresh object, a
  // createInstance or queryInterface result).
  static ComPtr Adopt(T* p)
  {
    ComPtr r;
    r.mPtr = p;
    return r;
  }
  // Adds a reference of its own to a borrowed pointer.
  static ComPtr Share(T* p)
  {
    if (p)
      p->addRef();
    return Adopt(p);
  }

  ComPtr(const ComPtr& other) : mPtr(other.mPtr)
  {
    if (mPtr)
      mPtr->addRef();
  }
  ComPtr(ComPtr&& other) noexcept : mPtr(std::exchange(other.mPtr, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept
  {
    std::swap(mPtr, other.mPtr);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset()
  {
    if (T* p = std::exchange(mPtr, nullptr))
      p->release();
  }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(mPtr, nullptr); }

  T* Get() const { return mPtr; }
  T* operator->() const { return mPtr; }
  T& operator*() const { return *mPtr; }
  explicit operator bool() const { return mPtr != nullptr; }

private:
  T* mPtr = nullptr;
};

// queryInterface for interface T; empty when the object does not offer it.
template <class T, class U>
ComPtr<T> QueryInterface(U* object)
{
  if (!object)
    return {};
  void* out = nullptr;
  if (object->queryInterface(T::iid, &out) != vst3::kResultOk || !out)
    return {};
  return ComPtr<T>::Adopt(static_cast<T*>(out));
}

template <class T, class U>
ComPtr<T> QueryInterface(const ComPtr<U>& object)
{
  return QueryInterface<T>(object.Get());
}

} // namespace vst3host
