#include <gtest/gtest.h>

#include "core/log_format.h"

using namespace tw;

TEST(CoreLogFormat, LineHasSevenTabSeparatedFields) {
  LogTime t{2026, 12, 7, 9, 5, 3, 7};
  auto line = FormatLogLine(t, L"Tarnwright.exe", 1234, -5, L"CFuncMgr::GoNextStep", 42, L"0x00000005");
  EXPECT_EQ(line, L"2026-12-07 09:05:03.007\tTarnwright.exe\t1234\t-5\tCFuncMgr::GoNextStep\t42\t0x00000005");
  auto parsed = ParseLogLine(line);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->function, L"CFuncMgr::GoNextStep");
  EXPECT_EQ(parsed->line, L"42");
  EXPECT_EQ(parsed->message, L"0x00000005");
}

TEST(CoreLogFormat, EmptyMessageAndTabsInsideMessage) {
  LogTime t{};
  auto line = FormatLogLine(t, L"m", 1, 2, L"f", 3, L"");
  ASSERT_EQ(line.back(), L'\t');
  auto parsed = ParseLogLine(line);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->message, L"");
  auto tabbed = ParseLogLine(L"a\tb\tc\td\te\tf\tg\th");
  ASSERT_TRUE(tabbed);
  EXPECT_EQ(tabbed->message, L"g\th");
  EXPECT_FALSE(ParseLogLine(L"a\tb\tc"));
  auto trimmed = ParseLogLine(L"a\tb\tc\td\te\t9");
  ASSERT_TRUE(trimmed);
  EXPECT_EQ(trimmed->line, L"9");
  EXPECT_EQ(trimmed->message, L"");
}

TEST(CoreLogFormat, RingIndexStaysWithinOneToThousand) {
  EXPECT_EQ(NextLogIndex(0), 1u);
  EXPECT_EQ(NextLogIndex(1), 2u);
  EXPECT_EQ(NextLogIndex(999), 1000u);
  EXPECT_EQ(NextLogIndex(1000), 1u);
  EXPECT_EQ(NextLogIndex(4294967291u), 1u);  // "-5" read unsigned
  EXPECT_EQ(NextLogIndex(4294967295u), 1u);  // "-1": would otherwise wrap to Log0
  EXPECT_EQ(LogKeyName(17), L"Log17");
}
