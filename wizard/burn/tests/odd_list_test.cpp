#include <gtest/gtest.h>

#include <string>

#include "burn/core/odd_list.h"

namespace {

using tw::OddListError;
using tw::ParseOddsList;

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
  ASSERT_EQ(r.drives.size(), 1u);
  EXPECT_EQ(r.drives[0].DriveLetter, L'G');
  EXPECT_EQ(r.drives[0].DriveName, L"BD Writer");
}

TEST(ParseOddsList, JunkAndEmptyTokensAreIgnored) {
  const auto r = ParseOddsList(L"E\tX\tabc,,202, 103,9x\n", 26);
  ASSERT_EQ(r.error, OddListError::None);
  ASSERT_EQ(r.drives.size(), 1u);
  EXPECT_TRUE(r.drives[0].DvdWritable);  // " 103" reads as 103
  EXPECT_TRUE(r.drives[0].BdWritable);
  // A trailing comma leaves an empty token before the line feed.
  EXPECT_EQ(ParseOddsList(L"E\tX\t101,\n", 26).drives.size(), 1u);
}

TEST(ParseOddsList, EmptyTextAndEmptyLineEndTheList) {
  EXPECT_EQ(ParseOddsList(L"", 26).error, OddListError::None);
  EXPECT_TRUE(ParseOddsList(L"", 26).drives.empty());
  // Anything after an empty line is not read, even if malformed.
  const auto r = ParseOddsList(L"E\tA\t101\n\nF\tB\t101\n", 26);
  ASSERT_EQ(r.error, OddListError::None);
  ASSERT_EQ(r.drives.size(), 1u);
  EXPECT_EQ(ParseOddsList(L"\njunk", 26).drives.size(), 0u);
}

TEST(ParseOddsList, MissingFinalLineFeedFailsAndKeepsEarlierDrives) {
  const auto r = ParseOddsList(L"E\tA\t101\nF\tB\t101,102", 26);
  EXPECT_EQ(r.error, OddListError::NoLineFeed);
  EXPECT_EQ(r.logMessage, L"101,102");
  ASSERT_EQ(r.drives.size(), 1u);
  EXPECT_EQ(r.drives[0].DriveLetter, L'E');
}

TEST(ParseOddsList, FieldsAreLookedForWithinTheirLine) {
  // A line without tabs does not borrow the next line's fields.
  auto r = ParseOddsList(L"E\nF\tB\t101\n", 26);
  EXPECT_EQ(r.error, OddListError::NoLetterTab);
  EXPECT_EQ(r.logMessage, L"E\nF\tB\t101\n");
  EXPECT_TRUE(r.drives.empty());

  r = ParseOddsList(L"E\tA\t101\nF\tB only\nG\tC\t101\n", 26);
  EXPECT_EQ(r.error, OddListError::NoNameTab);
  EXPECT_EQ(r.logMessage, L"B only\nG\tC\t101\n");
  EXPECT_EQ(r.drives.size(), 1u);

  EXPECT_EQ(ParseOddsList(L"E", 26).error, OddListError::NoLetterTab);
  EXPECT_EQ(ParseOddsList(L"E\tName", 26).error, OddListError::NoNameTab);
}

TEST(ParseOddsList, EmptyLetterFieldIsNotStored) {
  const auto r = ParseOddsList(L"\tNameless\t101\nF\tB\t101\n", 26);
  ASSERT_EQ(r.error, OddListError::None);
  ASSERT_EQ(r.drives.size(), 1u);
  EXPECT_EQ(r.drives[0].DriveLetter, L'F');
}

TEST(ParseOddsList, CapacityIsCheckedBeforeEachLine) {
  const std::wstring two = L"E\tA\t101\nF\tB\t101\n";
  EXPECT_EQ(ParseOddsList(two, 2).error, OddListError::None);

  auto r = ParseOddsList(two, 1);
  EXPECT_EQ(r.error, OddListError::TooManyDrives);
  EXPECT_EQ(r.logMessage, L"0x00000001, 0x00000001");
  EXPECT_EQ(r.drives.size(), 1u);

  // Fires even for a line that would have been dropped.
  r = ParseOddsList(L"E\tA\t101\nF\tB\t105\n", 1);
  EXPECT_EQ(r.error, OddListError::TooManyDrives);

  r = ParseOddsList(two, 0);
  EXPECT_EQ(r.error, OddListError::TooManyDrives);
  EXPECT_EQ(r.logMessage, L"0x00000000, 0x00000000");
  EXPECT_TRUE(r.drives.empty());
  EXPECT_EQ(ParseOddsList(L"", 0).error, OddListError::None);
}

TEST(ParseOddsList, TwentySixDrivesFitTheWizardsArray) {
  std::wstring text;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) text += std::wstring(1, letter) + L":\tDrive\t101\n";
  const auto r = ParseOddsList(text, 26);
  ASSERT_EQ(r.error, OddListError::None);
  ASSERT_EQ(r.drives.size(), 26u);
  EXPECT_EQ(r.drives[25].DriveLetter, L'Z');
  EXPECT_EQ(ParseOddsList(text + L"A\tAgain\t101\n", 26).error, OddListError::TooManyDrives);
}

TEST(TextUpToNul, StopsAtTheFirstNulOrTheBufferEnd) {
  const wchar_t terminated[] = {L'a', L'b', L'\0', L'c'};
  EXPECT_EQ(tw::TextUpToNul(terminated, 4), L"ab");
  const wchar_t full[] = {L'a', L'b', L'c'};  // no terminator at all
  EXPECT_EQ(tw::TextUpToNul(full, 3), L"abc");
  EXPECT_EQ(tw::TextUpToNul(nullptr, 3), L"");
}

}  // namespace
