#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "steps/core/burn_list_text.h"

namespace {

using Items = std::vector<std::wstring>;

// The items of a successful pick; for a failed one its message alone, marked
// as such, followed by any items it wrongly kept.
Items Picked(const std::wstring& text, uint32_t lines, uint32_t disc) {
  tw::LayoutPick pick = tw::PickLayoutLine(text, lines, disc);
  if (pick.failure) pick.items.insert(pick.items.begin(), L"failed: " + *pick.failure);
  return pick.items;
}

TEST(BurnListText, DiscPathCutsTheFolderAndKeepsOneLeadingBackslash) {
  const std::wstring folder = L"D:\\Data";
  EXPECT_EQ(tw::DiscPathOf(L"D:\\Data\\a.wim", folder.size()), L"\\a.wim");
  EXPECT_EQ(tw::DiscPathOf(L"D:\\Data\\sub\\b.swm", folder.size()), L"\\sub\\b.swm");
  // Cut by length: a folder length that swallows the backslash still gives one.
  EXPECT_EQ(tw::DiscPathOf(L"D:\\Data\\a.wim", folder.size() + 1), L"\\a.wim");
  // Never reads past the end of a source shorter than the folder.
  EXPECT_EQ(tw::DiscPathOf(L"D:", folder.size()), L"\\");
  EXPECT_EQ(tw::DiscPathOf(L"D:\\Data", folder.size()), L"\\");
  // A drive root as folder ("D:" once its backslash is gone).
  EXPECT_EQ(tw::DiscPathOf(L"D:\\x\\y.txt", 2), L"\\x\\y.txt");
}

TEST(BurnListText, Lines) {
  EXPECT_EQ(tw::BurnListLine(L"D:\\Data\\sub\\b.swm", 7), L"D:\\Data\\sub\\b.swm\t\\sub\\b.swm\r\n");
  EXPECT_EQ(tw::BurnListLine(L"D:\\データ\\回復.wim", 6), L"D:\\データ\\回復.wim\t\\回復.wim\r\n");
  EXPECT_EQ(tw::IsoListLine(L"D:\\Iso\\disc.iso"), L"D:\\Iso\\disc.iso\t\r\n");
  EXPECT_EQ(std::wstring(tw::kBurnListEndLine), L"\r\n");
}

TEST(BurnListText, PatternsAndChildPathsWithAndWithoutTrailingBackslash) {
  EXPECT_EQ(tw::IsoSearchPattern(L"D:\\Iso"), L"D:\\Iso\\*.iso");
  EXPECT_EQ(tw::IsoSearchPattern(L"D:\\Iso\\"), L"D:\\Iso\\*.iso");
  EXPECT_EQ(tw::FolderSearchPattern(L"D:\\Data"), L"D:\\Data\\*");
  EXPECT_EQ(tw::FolderSearchPattern(L"D:\\"), L"D:\\*");
  EXPECT_EQ(tw::ChildPath(L"D:\\Data", L"a.wim"), L"D:\\Data\\a.wim");
  EXPECT_EQ(tw::ChildPath(L"D:\\Data\\", L"a.wim"), L"D:\\Data\\a.wim");
  EXPECT_TRUE(tw::IsDotEntry(L"."));
  EXPECT_TRUE(tw::IsDotEntry(L".."));
  EXPECT_FALSE(tw::IsDotEntry(L"...x"));
  EXPECT_FALSE(tw::IsDotEntry(L".hidden"));
}

TEST(BurnListText, ExclusionIsWholePathIgnoringCase) {
  const std::wstring list[] = {L"D:\\Data\\Temp", L"d:\\data\\PAGEFILE.SYS"};
  EXPECT_TRUE(tw::IsExcluded(L"D:\\DATA\\temp", list, 2));
  EXPECT_TRUE(tw::IsExcluded(L"D:\\Data\\pagefile.sys", list, 2));
  EXPECT_FALSE(tw::IsExcluded(L"D:\\Data\\Temp\\x", list, 2));  // no prefix match
  EXPECT_FALSE(tw::IsExcluded(L"D:\\Data\\Tem", list, 2));
  EXPECT_FALSE(tw::IsExcluded(L"D:\\Data\\pagefile.sys", list, 1));  // only `count` entries
  EXPECT_FALSE(tw::IsExcluded(L"D:\\Data\\Temp", nullptr, 5));
}

// Three discs as the enumeration writes them: TAB within a disc, "\n" after
// each disc, an empty line at the end.
const std::wstring kThreeDiscs =
    L"D:\\Img\\r.inf\tD:\\Img\\r.nv\tD:\\Img\\r.fc2\n"
    L"D:\\Img\\r.002\n"
    L"D:\\Img\\r.003\tD:\\Img\\r.004\n"
    L"\n";

TEST(LayoutPick, TakesTheLineOfTheDiscNumber) {
  EXPECT_EQ(Picked(kThreeDiscs, 3, 0), (Items{L"D:\\Img\\r.inf", L"D:\\Img\\r.nv", L"D:\\Img\\r.fc2"}));
  EXPECT_EQ(Picked(kThreeDiscs, 3, 1), (Items{L"D:\\Img\\r.002"}));
  EXPECT_EQ(Picked(kThreeDiscs, 3, 2), (Items{L"D:\\Img\\r.003", L"D:\\Img\\r.004"}));
}

TEST(LayoutPick, MissingDiscLineFailsInsteadOfAnEmptyList) {
  EXPECT_EQ(Picked(kThreeDiscs, 3, 3), Items{L"failed: 0x00000003, 0x00000003"});
  // The walk stops after the reported number of lines.
  EXPECT_TRUE(tw::PickLayoutLine(kThreeDiscs, 2, 2).failure);
  EXPECT_TRUE(tw::PickLayoutLine(L"", 3, 0).failure);
  EXPECT_TRUE(tw::PickLayoutLine(L"\n", 3, 0).failure);
}

TEST(LayoutPick, MalformedTextFails) {
  // The wanted line is fine, but a later one lacks its "\n".
  EXPECT_EQ(Picked(L"D:\\Img\\r.inf\nD:\\Img\\r.002", 3, 0), Items{L"failed: 0x00000001, D:\\Img\\r.002"});
  // Empty items (doubled TAB, TAB at a line end).
  EXPECT_TRUE(tw::PickLayoutLine(L"D:\\a\t\tD:\\b\n\n", 1, 0).failure);
  EXPECT_TRUE(tw::PickLayoutLine(L"D:\\a\t\n\n", 1, 0).failure);
}

TEST(LayoutPick, ItemLongerThanThePathBufferFailsOnAnyLine) {
  const std::wstring fits = L"D:\\" + std::wstring(tw::kLayoutItemMax - 3, L'a');
  const std::wstring tooLong = fits + L"b";
  EXPECT_EQ(Picked(fits + L"\tD:\\x\n\n", 1, 0), (Items{fits, L"D:\\x"}));
  EXPECT_EQ(Picked(L"D:\\x\t" + tooLong + L"\n\n", 1, 0), Items{L"failed: 0x00000105, " + tooLong});
  // On a line other than the wanted one as well: the layout as a whole is unusable.
  EXPECT_TRUE(tw::PickLayoutLine(L"D:\\x\n" + tooLong + L"\n\n", 2, 0).failure);
}

TEST(LayoutPick, TextEndsAtNul) {
  std::wstring text = L"D:\\a\n";
  text.push_back(L'\0');
  text += L"D:\\b\n\n";
  EXPECT_TRUE(tw::PickLayoutLine(text, 2, 1).failure);
  EXPECT_EQ(Picked(text, 2, 0), (Items{L"D:\\a"}));
}

}  // namespace
