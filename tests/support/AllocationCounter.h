#pragma once

// Counts heap allocations made by the current thread while a scope is armed.
// Linking the calvorin_test_allocations library replaces the global operator
// new of the test executable with the counting one.

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
