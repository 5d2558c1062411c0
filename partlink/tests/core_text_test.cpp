#include <gtest/gtest.h>

#include "core/text.h"

namespace partlink {
namespace {

TEST(Format, NumbersAsTheToolPrintsThem) {
  EXPECT_EQ(Format(L" %02X  %08X ", {0x7, 0x800u}), L" 07  00000800 ");
  EXPECT_EQ(Format(L"%X", {0x27}), L"27");
  EXPECT_EQ(Format(L"%d|%d", {-1, 2147483647}), L"-1|2147483647");
  // Without the I64 prefix a number is 32 bits wide, as printf reads an int.
  EXPECT_EQ(Format(L"%08X", {0x1122334455667788ull}), L"55667788");
  EXPECT_EQ(Format(L"%016I64X", {0x0000000000500000ull}), L"0000000000500000");
  EXPECT_EQ(Format(L"%016I64X", {0xFFFFFFFFFFFFFFFFull}), L"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format(L"%d", {static_cast<unsigned>(0xFFFFFFFFu)}), L"-1");
  EXPECT_EQ(Format(L"%04d", {-5}), L"-005");
  EXPECT_EQ(Format(L"%1d", {12}), L"12");
}

TEST(Format, TextCharactersAndLiterals) {
  EXPECT_EQ(Format(L"'%s' -> '%s'", {L"\\Device\\Harddisk0\\Partition1", std::wstring(L"Z:")}),
            L"'\\Device\\Harddisk0\\Partition1' -> 'Z:'");
  EXPECT_EQ(Format(L"(%c)", {FormatArg::Char(L'Q')}), L"(Q)");
  EXPECT_EQ(Format(L"(%c)", {FormatArg::Char(L'\0')}), L"()");
  EXPECT_EQ(Format(L"100%% \\n"), L"100% \\n");
}

TEST(Format, MissingOrMismatchedArgumentsWriteNothing) {
  EXPECT_EQ(Format(L"a%db%sc"), L"abc");
  EXPECT_EQ(Format(L"[%d]", {L"text"}), L"[]");
  EXPECT_EQ(Format(L"[%s]", {5}), L"[]");
  EXPECT_EQ(Format(L"trailing %"), L"trailing ");
}

TEST(DecimalPrefix, ReadsLikeTheCLibrary) {
  EXPECT_EQ(DecimalPrefix(L"5"), 5);
  EXPECT_EQ(DecimalPrefix(L"  42abc"), 42);
  EXPECT_EQ(DecimalPrefix(L"-3"), -3);
  EXPECT_EQ(DecimalPrefix(L"+7"), 7);
  EXPECT_EQ(DecimalPrefix(L""), 0);
  EXPECT_EQ(DecimalPrefix(L"E"), 0);
  EXPECT_EQ(DecimalPrefix(L"- 3"), 0);
  EXPECT_EQ(DecimalPrefix(L"99999999999999999999"), 2147483647);
  EXPECT_EQ(DecimalPrefix(L"-99999999999999999999"), -2147483647 - 1);
}

TEST(Text, CaseHandlingIsAsciiOnly) {
  EXPECT_EQ(ToUpperAscii(L"/map2:x\u00e9"), L"/MAP2:X\u00e9");
  EXPECT_EQ(FindNoCase(L"a:Win32_DiskDrive.DeviceId=\"x\"", L"win32_diskdrive.deviceid="), 2u);
  EXPECT_EQ(FindNoCase(L"abc", L"abcd"), std::wstring::npos);
  EXPECT_EQ(FindNoCase(L"abcabc", L"ABC", 1), 3u);
}

}  // namespace
}  // namespace partlink
