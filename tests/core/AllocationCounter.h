#pragma once

#include <atomic>

// Counts heap allocations made by this thread while a scope is open. The
// replacement operator new/delete live in AllocationCounter_test.cpp, once for
// the whole core test executable.
namespace calvorin::test
{

long long& ThreadAllocationCount();

class AllocationScope
{
public:
  AllocationScope() : mStart(ThreadAllocationCount()) {}
  long long Count() const { return ThreadAllocationCount() - mStart; }

private:
  long long mStart;
};

} // namespace calvorin::test
