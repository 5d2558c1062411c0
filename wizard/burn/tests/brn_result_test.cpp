#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "burn/core/brn_result.h"

namespace {

using tw::ClassifyBrnExitCode;

struct Range {
  uint32_t first, last;
  BrnResultType type;
};

// The whole table, walked code by code around and inside each range, so
// every edge of every class is checked on both sides.
TEST(ClassifyBrnExitCode, EveryRangeAndItsNeighbours) {
  const std::vector<Range> table = {
      {0, 0, BrnResultType::Success},        {1, 2, BrnResultType::Preparing},
      {3, 99, BrnResultType::Unknown},       {100, 111, BrnResultType::Preparing},
      {112, 112, BrnResultType::Unknown},    {113, 114, BrnResultType::Preparing},
      {115, 116, BrnResultType::Burning},    {117, 118, BrnResultType::Verifying},
      {119, 119, BrnResultType::Preparing},  {120, 199, BrnResultType::Unknown},
      {200, 200, BrnResultType::Preparing},  {201, 299, BrnResultType::Unknown},
      {300, 309, BrnResultType::Preparing},  {310, 313, BrnResultType::Abort},
      {314, 319, BrnResultType::Preparing},  {320, 322, BrnResultType::Burning},
      {323, 324, BrnResultType::Verifying},  {325, 325, BrnResultType::Abort},
      {326, 326, BrnResultType::Preparing},  {327, 100000, BrnResultType::Unknown},
  };
  uint32_t expectedNext = 0;
  for (const Range& r : table) {
    ASSERT_EQ(r.first, expectedNext) << "table has a gap";
    for (uint32_t code = r.first; code <= r.last; ++code) {
      EXPECT_EQ(ClassifyBrnExitCode(code), r.type) << code;
    }
    expectedNext = r.last + 1;
  }
}

TEST(ClassifyBrnExitCode, LargeCodesAreUnknown) {
  for (uint32_t code : {327u, 3010u, 0x80000000u, 0xC0000005u, 0xFFFFFFFFu}) {
    EXPECT_EQ(ClassifyBrnExitCode(code), BrnResultType::Unknown) << code;
  }
}

}  // namespace
