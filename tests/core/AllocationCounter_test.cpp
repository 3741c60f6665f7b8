#include "tests/core/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace calvorin::test
{

long long& ThreadAllocationCount()
{
  thread_local long long count = 0;
  return count;
}

} // namespace calvorin::test

namespace
{

void* CountedAlloc(std::size_t size)
{
  ++calvorin::test::ThreadAllocationCount();
  if (void* p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}

void* CountedAlignedAlloc(std::size_t size, std::align_val_t align)
{
  ++calvorin::test::ThreadAllocationCount();
  const auto a = static_cast<std::size_t>(align);
  if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
    return p;
  throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) { return CountedAlloc(size); }
void* operator new[](std::size_t size) { return CountedAlloc(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  ++calvorin::test::ThreadAllocationCount();
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
  ++calvorin::test::ThreadAllocationCount();
  return std::malloc(size ? size : 1);
}
void* operator new(std::size_t size, std::align_val_t align) { return CountedAlignedAlloc(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return CountedAlignedAlloc(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

TEST(AllocationCounter, SeesAllocationsOfThisThread)
{
  calvorin::test::AllocationScope scope;
  auto v = std::make_unique<std::vector<int>>(100);
  EXPECT_GE(scope.Count(), 2);
}
