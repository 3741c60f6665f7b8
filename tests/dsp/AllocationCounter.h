#pragma once

// Counts heap allocations made by the current thread while a scope is armed.
// The counting operator new lives in allocation_counter.cpp of the same test
// executable and replaces the global one.

#include <cstddef>

namespace testsupport
{

// Allocations made on this thread while any AllocationScope was alive.
std::size_t CountedAllocations();

class AllocationScope
{
public:
  AllocationScope();
  ~AllocationScope();
  AllocationScope(const AllocationScope&) = delete;
  AllocationScope& operator=(const AllocationScope&) = delete;
};

} // namespace testsupport
