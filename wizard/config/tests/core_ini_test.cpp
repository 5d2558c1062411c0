#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/core/ini_core.h"

using tw::ini::ApplyLines;
using tw::ini::MatchKey;
using tw::ini::SectionLines;

namespace {

TEST(IniKeyMatch, NameMustBeFollowedDirectlyByEquals) {
  std::wstring value = L"untouched";
  EXPECT_TRUE(MatchKey(L"FilePath=x", L"FilePath", value));
  EXPECT_EQ(value, L"x");
  EXPECT_TRUE(MatchKey(L"filepath=C:\\y", L"FilePath", value));
  EXPECT_EQ(value, L"C:\\y");
  value = L"untouched";
  EXPECT_FALSE(MatchKey(L"FilePath =x", L"FilePath", value));
  EXPECT_FALSE(MatchKey(L"FilePathX=x", L"FilePath", value));
  EXPECT_FALSE(MatchKey(L"FilePath", L"FilePath", value));
  EXPECT_FALSE(MatchKey(L"; FilePath=x", L"FilePath", value));
  EXPECT_EQ(value, L"untouched");
}

TEST(IniKeyMatch, ValueIsTheRestOfTheLineUntrimmed) {
  std::wstring value;
  for (const std::wstring rest : {L"/a=b", L"  spaced  ", L""}) {
    EXPECT_TRUE(MatchKey(L"Parameter=" + rest, L"Parameter", value)) << rest;
    EXPECT_EQ(value, rest);
  }
}

TEST(IniValueKinds, LineBreaksAndSwitches) {
  EXPECT_EQ(tw::ini::ExpandLineBreaks(L"Line one\\nLine two\\n"), L"Line one\r\nLine two\r\n");
  EXPECT_EQ(tw::ini::ExpandLineBreaks(L"C:\\new\\N"), L"C:\r\new\\N");
  EXPECT_EQ(tw::ini::SwitchOf(L"0"), 0u);
  for (const wchar_t* other : {L"", L"no", L"false", L"00", L" 0", L"1"}) EXPECT_EQ(tw::ini::SwitchOf(other), 1u) << other;
}

TEST(IniSectionLines, StopsAtTheEmptyLineAndAtTheCapacity) {
  const wchar_t block[] = L"a=1\0b=2\0\0c=3\0";
  EXPECT_EQ(SectionLines(block, sizeof(block) / sizeof(wchar_t)), (std::vector<std::wstring>{L"a=1", L"b=2"}));
  // A block without its terminator is read only up to the capacity.
  const wchar_t unterminated[] = {L'k', L'=', L'v', L'x', L'y'};
  EXPECT_EQ(SectionLines(unterminated, 3), (std::vector<std::wstring>{L"k=v"}));
  EXPECT_TRUE(SectionLines(block, 0).empty());
  EXPECT_TRUE(SectionLines(nullptr, 10).empty());
  const wchar_t empty[] = {L'\0', L'\0'};
  EXPECT_TRUE(SectionLines(empty, 2).empty());
}

TEST(IniApplyLines, FirstMatchingKeyTakesTheLineAndLastLineWins) {
  std::wstring text = L"default";
  std::wstring broken;
  uint32_t number = 12;
  uint32_t flag = 1;
  const IniTextKey textKey{L"Name", L"default"};
  const IniTextKey prefixKey{L"NameLong", L""};
  const IniNumberKey numberKey{L"Size", 12};
  const IniNumberKey switchKey{L"Show", 1};
  ApplyLines({L"size=14pt", L"Name=first", L"NAME=second", L"NameLong=x\\ny", L"Size=abc", L"show=0", L"junk"},
             {tw::ini::TextField(textKey, text), tw::ini::BreaksField(prefixKey, broken),
              tw::ini::NumberField(numberKey, number), tw::ini::SwitchField(switchKey, flag)});
  EXPECT_EQ(text, L"second");
  EXPECT_EQ(broken, L"x\r\ny");
  EXPECT_EQ(number, 14u);  // "abc" later does not scan and leaves 14
  EXPECT_EQ(flag, 0u);
}

}  // namespace
