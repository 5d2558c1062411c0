#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/core/exclusion_lines.h"

using tw::exclusion::CleanLine;
using tw::exclusion::ParseList;

namespace {

TEST(ExclusionLineCleaning, OrderOfSpacesBackslashesQuotes) {
  EXPECT_EQ(CleanLine(L"C:\\Windows\\Temp\\"), L"C:\\Windows\\Temp");
  EXPECT_EQ(CleanLine(L"  C:\\Windows\\Temp\\\\  "), L"C:\\Windows\\Temp");
  // Quotes go only after the backslashes: the inner backslash stays.
  EXPECT_EQ(CleanLine(L"\"C:\\Windows\\Temp\\\""), L"C:\\Windows\\Temp\\");
  EXPECT_EQ(CleanLine(L"\\pagefile.sys"), L"pagefile.sys");
  // Spaces inside quotes survive: they are removed before the quotes.
  EXPECT_EQ(CleanLine(L"\" C:\\x \""), L" C:\\x ");
  EXPECT_EQ(CleanLine(L"\t"), L"\t");
  EXPECT_EQ(CleanLine(L" \\\" "), L"");
}

TEST(ExclusionListText, LinesDriveMarkAndEmptyLines) {
  const std::wstring text = L"?:\\Recovery\\Temp\\\r\n\r\n   \r\n\"D:\\x y\"\r\nC:\\LAST";
  EXPECT_EQ(ParseList(text, L'E'),
            (std::vector<std::wstring>{L"E:\\Recovery\\Temp", L"D:\\x y", L"C:\\LAST"}));
  // A "?" that is not the first character after cleaning stays.
  EXPECT_EQ(ParseList(L"  \\?x?\r\n", L'E'), (std::vector<std::wstring>{L"Ex?"}));
  EXPECT_TRUE(ParseList(L"\r\n\r\n \r\n", L'E').empty());
  EXPECT_TRUE(ParseList(L"", L'E').empty());
}

TEST(ExclusionListText, LineFeedsAloneAndTextEndingAtNul) {
  EXPECT_EQ(ParseList(L"a\nb\r\nc", L'E'), (std::vector<std::wstring>{L"a", L"b", L"c"}));
  EXPECT_EQ(ParseList(std::wstring(L"a\r\nb\0c\r\nd", 9), L'E'), (std::vector<std::wstring>{L"a", L"b"}));
}

TEST(ExclusionListText, AtMostFiveHundredLinesEmptyOnesIncluded) {
  std::wstring text;
  for (int i = 1; i <= 600; ++i) text += (i % 3 == 0 ? std::wstring() : L"C:\\f" + std::to_wstring(i)) + L"\r\n";
  const std::vector<std::wstring> entries = ParseList(text, L'E');
  // Of lines 1..500 every third is empty: 500 - 166 remain.
  ASSERT_EQ(entries.size(), 334u);
  EXPECT_EQ(entries.front(), L"C:\\f1");
  EXPECT_EQ(entries.back(), L"C:\\f500");
}

}  // namespace
