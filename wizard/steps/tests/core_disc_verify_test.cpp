// Reading a made disc back: the burn file list as the comparison reads it,
// the items it compares, and the words the log gets.
#include <gtest/gtest.h>

#include "steps/core/disc_verify.h"

namespace {

using tw::verify::Item;
using tw::verify::ItemKind;
using tw::verify::ListLine;
using tw::verify::Outcome;

bool IsFolderNamedEmpty(const std::wstring& source) { return source.size() >= 5 && source.substr(source.size() - 5) == L"Empty"; }

TEST(BurnListRead, LinesUpToTheClosingEmptyLine) {
  const auto lines = tw::verify::ParseBurnList(L"R:\\D\\a.wim\t\\a.wim\r\nR:\\D\\sub\\b c.txt\t\\sub\\b c.txt\r\n"
                                               L"R:\\D\\Empty\t\\Empty\r\n\r\nafter the end\r\n");
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 3u);
  EXPECT_EQ((*lines)[1].source, L"R:\\D\\sub\\b c.txt");
  EXPECT_EQ((*lines)[1].discPath, L"\\sub\\b c.txt");
  // An ISO disc's only line has no disc path.
  const auto iso = tw::verify::ParseBurnList(L"R:\\T\\tools.iso\t\r\n\r\n");
  ASSERT_TRUE(iso);
  ASSERT_EQ(iso->size(), 1u);
  EXPECT_EQ((*iso)[0].discPath, L"");
  EXPECT_TRUE(tw::verify::ParseBurnList(L"\r\n")->empty());
}

// A list that was not written to its end is no list: reading it back would
// compare less than the disc was meant to hold.
TEST(BurnListRead, IncompleteOrMalformedListsAreRefused) {
  for (const wchar_t* text : {L"", L"R:\\a\t\\a\r\n", L"R:\\a\t\\a", L"R:\\a \\a\r\n\r\n", L"\t\\a\r\n\r\n",
                              L"R:\\a\t\\a\n\r\n"}) {
    EXPECT_FALSE(tw::verify::ParseBurnList(text)) << "\"" << std::string(text, text + std::wcslen(text)) << "\"";
  }
}

TEST(BurnListRead, ItemsReadFromTheDrive) {
  const std::vector<ListLine> lines = {{L"R:\\D\\a.wim", L"\\a.wim"},
                                       {L"R:\\D\\Empty", L"\\Empty"},
                                       {L"R:\\D\\x", L"no\\backslash"},
                                       {L"R:\\T\\tools.iso", L""}};
  const std::vector<Item> items = tw::verify::ItemsOf(lines, L'E', IsFolderNamedEmpty);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].kind, ItemKind::kFile);
  EXPECT_EQ(items[0].onDisc, L"E:\\a.wim");
  EXPECT_EQ(items[1].kind, ItemKind::kFolder);
  EXPECT_EQ(items[1].onDisc, L"E:\\Empty");
  EXPECT_EQ(items[2].onDisc, L"E:\\no\\backslash");
  EXPECT_EQ(items[3].kind, ItemKind::kImage);
  EXPECT_EQ(items[3].onDisc, L"E:");
  EXPECT_EQ(items[3].source, L"R:\\T\\tools.iso");
}

TEST(BurnListRead, FirstDifferingByte) {
  const unsigned char a[] = {1, 2, 3, 4, 5}, b[] = {1, 2, 3, 4, 6}, c[] = {9, 2, 3, 4, 5};
  EXPECT_FALSE(tw::verify::FirstDifference(a, a, 5));
  EXPECT_FALSE(tw::verify::FirstDifference(a, c, 0));
  EXPECT_EQ(tw::verify::FirstDifference(a, b, 5), 4u);
  EXPECT_EQ(tw::verify::FirstDifference(a, c, 5), 0u);
  EXPECT_FALSE(tw::verify::FirstDifference(a, b, 4)) << "only the bytes asked for";
}

TEST(BurnListRead, OutcomesAndTheirLogWords) {
  tw::verify::Result r;
  r.outcome = Outcome::kDiffers;
  r.path = L"E:\\sub\\b.txt";
  r.offset = 4096;
  EXPECT_EQ(tw::verify::LogText(r), L"differs at byte 4096: E:\\sub\\b.txt");
  r.outcome = Outcome::kSizeDiffers;
  r.expected = 10;
  r.found = 7;
  EXPECT_EQ(tw::verify::LogText(r), L"size 7 instead of 10: E:\\sub\\b.txt");
  r.outcome = Outcome::kReadError;
  r.error = 23;
  r.offset = 0;
  EXPECT_EQ(tw::verify::LogText(r), L"read error 0x00000017 at byte 0: E:\\sub\\b.txt");
  r.outcome = Outcome::kNotVerifiable;
  r.error = 1;
  r.path = L"E:";
  EXPECT_EQ(tw::verify::LogText(r), L"not verified: the drive cannot be read raw (0x00000001): E:");

  EXPECT_TRUE(tw::verify::CountsAsMade(Outcome::kVerified));
  EXPECT_TRUE(tw::verify::CountsAsMade(Outcome::kNotVerifiable));
  for (Outcome bad : {Outcome::kDiffers, Outcome::kSizeDiffers, Outcome::kMissing, Outcome::kReadError,
                      Outcome::kNoDisc, Outcome::kCancelled, Outcome::kBadList}) {
    EXPECT_FALSE(tw::verify::CountsAsMade(bad));
    EXPECT_FALSE(tw::verify::LogText(tw::verify::Result{bad, L"p", 0, 0, 0, 0}).empty());
  }
  EXPECT_TRUE(tw::verify::AsksForTheDisc(Outcome::kNoDisc));
  EXPECT_FALSE(tw::verify::AsksForTheDisc(Outcome::kMissing)) << "a missing file is a bad disc, not a missing one";
}

}  // namespace
