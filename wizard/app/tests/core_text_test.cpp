#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>

#include "core/number_list.h"
#include "core/paths.h"
#include "core/text.h"

using namespace tw;

TEST(CoreText, HexAndDecimalFormats) {
  EXPECT_EQ(Hex8(0), L"0x00000000");
  EXPECT_EQ(Hex8(0xDEADBEEF), L"0xdeadbeef");
  EXPECT_EQ(Hex8Pair(1, 0xFEFF), L"0x00000001, 0x0000feff");
  EXPECT_EQ(Hex8With(2, L"C:\\x y"), L"0x00000002, C:\\x y");
  EXPECT_EQ(Hex64Halves(0x0000000500000003ull), L"0x00000003, 0x00000005");
  EXPECT_EQ(Dec(4294967295u), L"4294967295");
  EXPECT_EQ(DecSigned(-2147483648LL), L"-2147483648");
}

TEST(CoreText, ScanningFollowsTheCConversions) {
  uint32_t u = 7;
  EXPECT_TRUE(ScanUnsigned(L"14pt", u));
  EXPECT_EQ(u, 14u);
  EXPECT_TRUE(ScanUnsigned(L"  3", u));
  EXPECT_EQ(u, 3u);
  u = 12;
  EXPECT_FALSE(ScanUnsigned(L"abc", u));
  EXPECT_EQ(u, 12u);
  EXPECT_FALSE(ScanUnsigned(L"", u));
  EXPECT_TRUE(ScanUnsigned(L"-1", u));
  EXPECT_EQ(u, 4294967295u);
  int32_t s = 0;
  EXPECT_TRUE(ScanSigned(L" -25x", s));
  EXPECT_EQ(s, -25);
  // How much of the text the scans took: what follows is what they ignore.
  size_t used = 99;
  EXPECT_TRUE(ScanUnsigned(L" 4.3GB", u, used));
  EXPECT_EQ(u, 4u);
  EXPECT_EQ(used, 2u);
  EXPECT_TRUE(ScanSigned(L"-25x", s, used));
  EXPECT_EQ(used, 3u);
  EXPECT_FALSE(ScanUnsigned(L" +x", u, used));
  EXPECT_EQ(used, 0u);
}

TEST(CoreText, CaseFoldingAndReplacement) {
  EXPECT_TRUE(EqualsNoCase(L"C:\\Windows\\Temp", L"c:\\WINDOWS\\temp"));
  EXPECT_FALSE(EqualsNoCase(L"abc", L"abcd"));
  EXPECT_TRUE(StartsWithNoCase(L"canselectodd=0", L"CanSelectODD="));
  EXPECT_EQ(ReplaceAll(L"%DiscName% and %DiscName%", L"%DiscName%", L"Disc 1"), L"Disc 1 and Disc 1");
  EXPECT_EQ(ReplaceAll(L"%discname%", L"%DiscName%", L"x"), L"%discname%");
  EXPECT_EQ(ReplaceAll(L"aaa", L"a", L"aa"), L"aaaaaa");
  EXPECT_EQ(WithoutTrailingBackslash(L"D:\\Data\\\\"), L"D:\\Data\\");
  EXPECT_EQ(WithoutTrailingBackslash(L""), L"");
}

TEST(CoreText, Utf16LittleEndianRoundTrip) {
  const std::wstring text = L"A\u65E5\u672C";
  const std::string bytes = ToUtf16Le(text);
  EXPECT_EQ(bytes, std::string("A\0\xE5\x65\x2C\x67", 6));
  EXPECT_EQ(FromUtf16Le(bytes), text);
}

TEST(CoreText, Utf8OfEveryLengthAndOfBrokenSurrogates) {
  // One, two, three and four bytes; U+1F600 as the pair D83D DE00.
  std::wstring text = L"A\u00E9\u65E5";
  text += static_cast<wchar_t>(0xD83D);
  text += static_cast<wchar_t>(0xDE00);
  EXPECT_EQ(ToUtf8(text), "A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80");
  // A surrogate without its partner, at the end or before another unit.
  std::wstring broken(1, static_cast<wchar_t>(0xD83D));
  broken += L'x';
  broken += static_cast<wchar_t>(0xDE00);
  EXPECT_EQ(ToUtf8(broken), "\xEF\xBF\xBDx\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(L""), "");
}

TEST(CoreNumberList, SplitsReadsAndSkips) {
  EXPECT_EQ(ParseNumberList(L"0").numbers, std::vector<int32_t>({0}));
  EXPECT_EQ(ParseNumberList(L"0,,3").numbers, std::vector<int32_t>({0, 3}));
  EXPECT_EQ(ParseNumberList(L" 5,3010").numbers, std::vector<int32_t>({5, 3010}));
  EXPECT_EQ(ParseNumberList(L"12abc").numbers, std::vector<int32_t>({12}));
  auto letters = ParseNumberList(L"abc,0");
  EXPECT_EQ(letters.numbers, std::vector<int32_t>({0}));
  EXPECT_EQ(letters.skipped, std::vector<std::wstring>({L"abc"}));
  EXPECT_TRUE(ParseNumberList(L"").numbers.empty());
  EXPECT_TRUE(ParseNumberList(L",,,").numbers.empty());
}

TEST(CoreNumberList, PiecesOverNineCharactersAreNotCutOffNumbers) {
  auto r = ParseNumberList(L"123456789,1234567890,-12345678");
  EXPECT_EQ(r.numbers, std::vector<int32_t>({123456789, -12345678}));
  EXPECT_EQ(r.tooLong, std::vector<std::wstring>({L"1234567890"}));
}

TEST(CorePaths, ProgramsAreTakenByFullPathOrFromTheBaseFolderNeverSearched) {
  const std::wstring base = L"C:\\Norvane\\Tarnwright\\";
  using Result = std::optional<std::wstring>;
  // Fully qualified: as it stands.
  EXPECT_EQ(ProgramPathFrom(L"C:\\Program Files\\x.exe", base), Result(L"C:\\Program Files\\x.exe"));
  EXPECT_EQ(ProgramPathFrom(L"d:/tools/x.exe", base), Result(L"d:/tools/x.exe"));
  EXPECT_EQ(ProgramPathFrom(L"\\\\server\\share\\x.exe", base), Result(L"\\\\server\\share\\x.exe"));
  // Relative: below the base folder (whose trailing backslash goes).
  EXPECT_EQ(ProgramPathFrom(L"partlink.exe", base), Result(L"C:\\Norvane\\Tarnwright\\partlink.exe"));
  EXPECT_EQ(ProgramPathFrom(L"..\\x.exe", base), Result(L"C:\\Norvane\\Tarnwright\\..\\x.exe"));
  // Wherever the current drive or folder is: no full path.
  const std::wstring vague[] = {L"", L"\\x.exe", L"/x.exe", L"C:x.exe", L"C:", L"\\\\"};
  for (size_t i = 0; i < std::size(vague); ++i) {
    EXPECT_EQ(ProgramPathFrom(vague[i], base), std::nullopt) << i;
    EXPECT_FALSE(IsFullyQualifiedPath(vague[i])) << i;
  }
  EXPECT_TRUE(IsFullyQualifiedPath(L"C:\\"));
  EXPECT_FALSE(IsFullyQualifiedPath(L"\"C:\\x.exe\""));
}

