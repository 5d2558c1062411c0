#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/core/rcv_packing.h"

using tw::pack::AppendLayoutEnd;
using tw::pack::AppendLayoutFile;
using tw::pack::Placement;
using tw::pack::PlaceFile;

namespace {

constexpr uint64_t kMiB = 1ull << 20;

struct Packer {
  uint64_t capacity;
  uint64_t used = 0;
  uint32_t discs = 1;
  uint32_t files = 0;
  Placement Add(uint64_t size) { return PlaceFile(capacity, size, used, discs, files); }
};

TEST(DiscPacking, FilesGoOnDiscsInOrderWithoutSplitting) {
  Packer p{4300 * kMiB};
  EXPECT_EQ(p.Add(2048), Placement::SameDisc);  // the information file
  EXPECT_EQ(p.Add(3000 * kMiB), Placement::SameDisc);
  EXPECT_EQ(p.Add(1000 * kMiB), Placement::SameDisc);
  EXPECT_EQ(p.Add(1000 * kMiB), Placement::NewDisc);
  EXPECT_EQ(p.discs, 2u);
  EXPECT_EQ(p.files, 4u);
  EXPECT_EQ(p.used, 1000 * kMiB);
}

TEST(DiscPacking, ExactCapacityFitsAndOneByteMoreIsTooLarge) {
  Packer p{100};
  EXPECT_EQ(p.Add(100), Placement::SameDisc);
  EXPECT_EQ(p.Add(0), Placement::SameDisc);
  EXPECT_EQ(p.Add(1), Placement::NewDisc);
  EXPECT_EQ(p.Add(99), Placement::SameDisc);  // 1 + 99 fills the second disc exactly
  EXPECT_EQ(p.Add(101), Placement::TooLarge);
  EXPECT_EQ(p.discs, 2u);
  EXPECT_EQ(p.files, 4u);
  EXPECT_EQ(p.used, 100u);
}

TEST(DiscPacking, SixtyFourBitSizes) {
  Packer p{23700 * kMiB};  // beyond 32 bits
  EXPECT_EQ(p.Add(20000 * kMiB), Placement::SameDisc);
  EXPECT_EQ(p.Add(3700 * kMiB), Placement::SameDisc);
  EXPECT_EQ(p.Add(1), Placement::NewDisc);
  EXPECT_EQ(p.discs, 2u);
}

// Near 2^64 the bytes used plus the next file would wrap to a small sum; the
// file must still open a new disc (found by fuzzing).
TEST(DiscPacking, SumBeyondSixtyFourBitsOpensANewDisc) {
  const uint64_t half = 1ull << 63;
  Packer p{~0ull};
  EXPECT_EQ(p.Add(half), Placement::SameDisc);
  EXPECT_EQ(p.Add(half), Placement::NewDisc);
  EXPECT_EQ(p.Add(half - 1), Placement::SameDisc);  // 2^64 - 1 is exactly full
  EXPECT_EQ(p.Add(1), Placement::NewDisc);
  EXPECT_EQ(p.discs, 3u);
  EXPECT_EQ(p.used, 1u);
}

TEST(DiscLayoutText, SeparatorsAndClosingLines) {
  std::vector<wchar_t> buffer(64, L'\0');
  uint64_t needed = 0;
  ASSERT_TRUE(AppendLayoutFile(buffer.data(), buffer.size(), L"E:\\a.inf", true, false, needed));
  ASSERT_TRUE(AppendLayoutFile(buffer.data(), buffer.size(), L"E:\\a.fc2", false, false, needed));
  ASSERT_TRUE(AppendLayoutFile(buffer.data(), buffer.size(), L"E:\\a.002", false, true, needed));
  ASSERT_TRUE(AppendLayoutEnd(buffer.data(), buffer.size(), needed));
  EXPECT_EQ(std::wstring(buffer.data()), L"E:\\a.inf\tE:\\a.fc2\nE:\\a.002\n\n");
  EXPECT_EQ(needed, std::wstring(buffer.data()).size() + 1);
}

// The text and its terminator must fit; one character less refuses the
// append and leaves the buffer as it was, and nothing beyond it is touched.
TEST(DiscLayoutText, ExactBoundaryNeverOverruns) {
  const std::wstring first = L"abc";
  const std::wstring second = L"defg";
  const size_t exact = first.size() + 1 + second.size() + 2 + 1;  // TAB, "\n\n", NUL
  for (size_t capacity : {exact, exact - 1, exact - 2, exact - 3}) {
    std::vector<wchar_t> buffer(capacity + 4, L'#');
    std::fill(buffer.begin(), buffer.begin() + capacity, L'\0');
    uint64_t needed = 0;
    ASSERT_TRUE(AppendLayoutFile(buffer.data(), capacity, first, true, false, needed));
    const bool secondFits = AppendLayoutFile(buffer.data(), capacity, second, false, false, needed);
    EXPECT_EQ(secondFits, capacity >= exact - 2) << capacity;
    EXPECT_EQ(needed, exact - 2);
    if (secondFits) {
      const bool endFits = AppendLayoutEnd(buffer.data(), capacity, needed);
      EXPECT_EQ(endFits, capacity == exact) << capacity;
      EXPECT_EQ(needed, exact);
    } else {
      EXPECT_EQ(std::wstring(buffer.data()), first);
    }
    EXPECT_EQ(std::wstring(buffer.begin() + static_cast<long>(capacity), buffer.end()), L"####");
  }
}

TEST(DiscLayoutText, BufferWithoutTerminatorCountsAsFull) {
  wchar_t full[3] = {L'x', L'y', L'z'};
  EXPECT_EQ(tw::pack::LayoutLength(full, 3), 3u);
  uint64_t needed = 0;
  EXPECT_FALSE(AppendLayoutFile(full, 3, L"", false, false, needed));
  EXPECT_FALSE(AppendLayoutEnd(full, 3, needed));
  EXPECT_EQ(std::wstring(full, 3), L"xyz");
}

}  // namespace
