#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <new>

TEST(AllocationCounter, CountsOnlyInsideAScope)
{
  // Direct calls: unlike new-expressions they cannot be elided.
  const std::size_t before = testsupport::CountedAllocations();
  ::operator delete(::operator new(8));
  EXPECT_EQ(testsupport::CountedAllocations(), before);
  {
    testsupport::AllocationScope scope;
    ::operator delete(::operator new(8));
    ::operator delete[](::operator new[](32));
  }
  EXPECT_EQ(testsupport::CountedAllocations(), before + 2);
}
