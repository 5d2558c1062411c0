#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "burn/core/odd_list.h"

namespace {

using tw::OddListError;
using tw::ParseOddsList;

// The letters of the stored drives, in list order.
std::wstring Letters(const tw::OddListResult& r) {
  std::wstring letters;
  for (const OddInfo& drive : r.drives) letters += drive.DriveLetter;
  return letters;
}

// A list text with the capacity it is parsed for, and what comes of it: the
// error, the letters of the drives stored, and the log message (not looked
// at where null).
struct Outcome {
  std::wstring text;
  uint32_t capacity;
  OddListError error;
  std::wstring letters;
  const wchar_t* log;
};

void ExpectOutcomes(std::initializer_list<Outcome> cases) {
  for (const Outcome& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text) + " for " + std::to_string(c.capacity));
    const auto r = ParseOddsList(c.text, c.capacity);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(Letters(r), c.letters);
    if (c.log) {
      EXPECT_EQ(r.logMessage, c.log);
    }
  }
}

TEST(ParseOddsList, StoresOnlyDvdWritersWithTheirFlags) {
  const auto r = ParseOddsList(L"E\tDrive E\t101,201\nF\tDrive F\t105\n", 26);
  ASSERT_EQ(r.error, OddListError::None);
  ASSERT_EQ(r.drives.size(), 1u);
  const OddInfo& e = r.drives[0];
  EXPECT_EQ(e.DriveLetter, L'E');
  EXPECT_EQ(e.DriveName, L"Drive E");
  EXPECT_TRUE(e.DvdWritable);
  EXPECT_TRUE(e.BdWritable);
  EXPECT_FALSE(e.Flag105 || e.Flag203 || e.Flag205 || e.Flag207);
}

TEST(ParseOddsList, EveryCodeSetsItsFlag) {
  struct Case {
    uint32_t code;
    bool OddInfo::*flag;
  } cases[] = {{101, &OddInfo::DvdWritable}, {104, &OddInfo::DvdWritable}, {105, &OddInfo::Flag105},
               {201, &OddInfo::BdWritable},  {202, &OddInfo::BdWritable},  {203, &OddInfo::Flag203},
               {204, &OddInfo::Flag203},     {205, &OddInfo::Flag205},     {206, &OddInfo::Flag205},
               {207, &OddInfo::Flag207}};
  for (const Case& c : cases) {
    OddInfo drive;
    tw::ApplyCapabilityCode(drive, c.code);
    EXPECT_TRUE(drive.*(c.flag)) << c.code;
  }
  for (uint32_t ignored : {0u, 100u, 106u, 200u, 208u, 301u}) {
    OddInfo drive;
    tw::ApplyCapabilityCode(drive, ignored);
    EXPECT_FALSE(drive.DvdWritable || drive.Flag105 || drive.BdWritable || drive.Flag203 || drive.Flag205 ||
                 drive.Flag207)
        << ignored;
  }
}

TEST(ParseOddsList, LetterIsTheFirstCharacterOfItsField) {
  const auto r = ParseOddsList(L"G:\tBD Writer\t102\n", 26);
  ASSERT_EQ(Letters(r), L"G");
  EXPECT_EQ(r.drives[0].DriveName, L"BD Writer");
}

TEST(ParseOddsList, JunkAndEmptyTokensAreIgnored) {
  const auto r = ParseOddsList(L"E\tX\tabc,,202, 103,9x\n", 26);
  ASSERT_EQ(r.error, OddListError::None);
  ASSERT_EQ(r.drives.size(), 1u);
  EXPECT_TRUE(r.drives[0].DvdWritable);  // " 103" reads as 103
  EXPECT_TRUE(r.drives[0].BdWritable);
  // A trailing comma leaves an empty token before the line feed.
  ExpectOutcomes({{L"E\tX\t101,\n", 26, OddListError::None, L"E", nullptr}});
}

TEST(ParseOddsList, ListEndsAndMalformedLinesKeepTheDrivesReadBefore) {
  ExpectOutcomes({
      // Empty text and an empty line end the list; what follows is not read.
      {L"", 26, OddListError::None, L"", nullptr},
      {L"E\tA\t101\n\nF\tB\t101\n", 26, OddListError::None, L"E", nullptr},
      {L"\njunk", 26, OddListError::None, L"", nullptr},
      {L"E\tA\t101\nF\tB\t101,102", 26, OddListError::NoLineFeed, L"E", L"101,102"},
      // A line without tabs does not borrow the next line's fields.
      {L"E\nF\tB\t101\n", 26, OddListError::NoLetterTab, L"", L"E\nF\tB\t101\n"},
      {L"E\tA\t101\nF\tB only\nG\tC\t101\n", 26, OddListError::NoNameTab, L"E", L"B only\nG\tC\t101\n"},
      {L"E", 26, OddListError::NoLetterTab, L"", nullptr},
      {L"E\tName", 26, OddListError::NoNameTab, L"", nullptr},
      // A line with an empty letter field is not stored.
      {L"\tNameless\t101\nF\tB\t101\n", 26, OddListError::None, L"F", nullptr},
  });
}

TEST(ParseOddsList, CapacityIsCheckedBeforeEachLine) {
  const std::wstring two = L"E\tA\t101\nF\tB\t101\n";
  std::wstring all;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) all += std::wstring(1, letter) + L":\tDrive\t101\n";
  ExpectOutcomes({
      {two, 2, OddListError::None, L"EF", nullptr},
      {two, 1, OddListError::TooManyDrives, L"E", L"0x00000001, 0x00000001"},
      // Fires even for a line that would have been dropped.
      {L"E\tA\t101\nF\tB\t105\n", 1, OddListError::TooManyDrives, L"E", nullptr},
      {two, 0, OddListError::TooManyDrives, L"", L"0x00000000, 0x00000000"},
      {L"", 0, OddListError::None, L"", nullptr},
      // Twenty-six drives fit the wizard's array.
      {all, 26, OddListError::None, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ", nullptr},
      {all + L"A\tAgain\t101\n", 26, OddListError::TooManyDrives, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ", nullptr},
  });
}

TEST(TextUpToNul, StopsAtTheFirstNulOrTheBufferEnd) {
  const wchar_t terminated[] = {L'a', L'b', L'\0', L'c'};
  EXPECT_EQ(tw::TextUpToNul(terminated, 4), L"ab");
  const wchar_t full[] = {L'a', L'b', L'c'};  // no terminator at all
  EXPECT_EQ(tw::TextUpToNul(full, 3), L"abc");
  EXPECT_EQ(tw::TextUpToNul(nullptr, 3), L"");
}

}  // namespace
