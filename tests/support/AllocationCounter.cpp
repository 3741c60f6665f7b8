// The replacement global operator new / delete behind AllocationCounter.h.

#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#include <new>

#if defined(_WIN32)
#include <malloc.h>
#endif

namespace
{

thread_local int tArmed = 0;
thread_local std::size_t tCount = 0;

void* CountedAlloc(std::size_t size)
{
  if (tArmed > 0)
    ++tCount;
  if (void* p = std::malloc(size == 0 ? 1 : size))
    return p;
  throw std::bad_alloc();
}

void* CountedAlignedAlloc(std::size_t size, std::align_val_t align)
{
  if (tArmed > 0)
    ++tCount;
  const std::size_t a = static_cast<std::size_t>(align);
#if defined(_WIN32)
  // The Windows C library has no aligned_alloc; its own aligned blocks need
  // their own free (AlignedFree).
  void* p = _aligned_malloc(size == 0 ? 1 : size, a);
#else
  void* p = std::aligned_alloc(a, (size + a - 1) / a * a);
#endif
  if (p)
    return p;
  throw std::bad_alloc();
}

void AlignedFree(void* p)
{
#if defined(_WIN32)
  _aligned_free(p);
#else
  std::free(p);
#endif
}

} // namespace

namespace testsupport
{

std::size_t CountedAllocations()
{
  return tCount;
}

AllocationScope::AllocationScope()
{
  ++tArmed;
}

AllocationScope::~AllocationScope()
{
  --tArmed;
}

} // namespace testsupport

void* operator new(std::size_t size)
{
  return CountedAlloc(size);
}
void* operator new[](std::size_t size)
{
  return CountedAlloc(size);
}
void* operator new(std::size_t size, std::align_val_t align)
{
  return CountedAlignedAlloc(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align)
{
  return CountedAlignedAlloc(size, align);
}
void operator delete(void* p) noexcept
{
  std::free(p);
}
void operator delete[](void* p) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
  AlignedFree(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
  AlignedFree(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
  AlignedFree(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
  AlignedFree(p);
}
