#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(AllocationCounter, CountsOnlyInsideAScope)
{
  const std::size_t before = testsupport::CountedAllocations();
  auto outside = std::make_unique<int>(1);
  EXPECT_EQ(testsupport::CountedAllocations(), before);
  {
    testsupport::AllocationScope scope;
    std::vector<int> v(10);
    auto inside = std::make_unique<double>(2.0);
  }
  EXPECT_EQ(testsupport::CountedAllocations(), before + 2);
}
