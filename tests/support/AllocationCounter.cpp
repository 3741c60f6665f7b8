// The replacement global operator new / delete behind AllocationCounter.h.

#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#include <new>

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
  if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
    return p;
  throw std::bad_alloc();
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
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
  std::free(p);
}
