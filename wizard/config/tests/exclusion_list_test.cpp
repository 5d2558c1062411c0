#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/log_reader.h"
#include "config/exclusion_list.h"
#include "config_test_support.h"
#include "test_support.h"

using twtest::Encoding;
using twtest::TempDir;
using twtest::WriteTextFile;
using Lines = std::vector<std::wstring>;

namespace {

std::vector<std::wstring> Fetch(CExclusionListMgr& list) {
  uint32_t count = 12345;
  EXPECT_TRUE(list.GetExclusionList(&count, nullptr, 0));
  std::vector<std::wstring> entries(count);
  EXPECT_TRUE(list.GetExclusionList(&count, entries.data(), count));
  return entries;
}

TEST(ExclusionList, CommonListIsCleanedAndExpanded) {
  cfgtest::RecoveryDrive drive(L'E');
  // The common list lies beside the test program, as beside the wizard.
  twtest::FileBesideExe file(L"TarnSet_Exclusion.ini",
                             L"C:\\Windows\\Temp\\\r\n"
                             L"\"C:\\Windows\\Temp\\\"\r\n"
                             L"\\pagefile.sys\r\n"
                             L"   \r\n"
                             L"?:\\Recovery\\Drivers\\Thumbs.db\r\n"
                             L"  \"?:\\Recovery\\Temp\"  ");
  CExclusionListMgr list;
  EXPECT_EQ(Fetch(list), (Lines{L"C:\\Windows\\Temp", L"C:\\Windows\\Temp\\", L"pagefile.sys",
                                L"E:\\Recovery\\Drivers\\Thumbs.db", L"E:\\Recovery\\Temp"}));
}

TEST(ExclusionList, ArrayTooSmallOrNoCountFailsWithoutCopying) {
  cfgtest::RecoveryDrive drive(L'E');
  TempDir dir;
  WriteTextFile(dir / L"own.ini", L"a\r\nb\r\nc", Encoding::Utf16Bom);
  CExclusionListMgr list(dir / L"own.ini");
  std::vector<std::wstring> entries(2, L"kept");
  uint32_t count = 0;
  tw::LogWatch watch;
  EXPECT_FALSE(list.GetExclusionList(&count, entries.data(), 2));
  EXPECT_EQ(entries, (Lines{L"kept", L"kept"}));
  EXPECT_FALSE(list.GetExclusionList(nullptr, nullptr, 0));
  EXPECT_EQ(twtest::LoggedMessages(watch, L"CExclusionListMgr::GetExclusionList"), (Lines{L"0x00000003", L""}));
}

TEST(ExclusionList, MissingOwnListOrFolderIsAnEmptyListWithoutLogEntry) {
  TempDir dir;
  twtest::MakeDirs(dir / L"folder.ini");
  for (const std::wstring& path : {dir / L"absent.ini", dir / L"folder.ini"}) {
    tw::LogWatch watch;
    CExclusionListMgr list(path);
    uint32_t count = 7;
    EXPECT_TRUE(list.GetExclusionList(&count, nullptr, 0));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(watch.NewEntries().empty());
  }
}

TEST(ExclusionList, MissingCommonListFails) {
  cfgtest::RecoveryDrive drive(L'E');
  ::DeleteFileW((twtest::ExeFolder() + L"\\TarnSet_Exclusion.ini").c_str());
  twtest::ScopedHklmKey noProduct(L"Software\\Norvane\\Quillon");
  noProduct.DeleteValue(L"InstFolder");
  tw::LogWatch watch;
  CExclusionListMgr list;
  uint32_t count = 0;
  EXPECT_FALSE(list.GetExclusionList(&count, nullptr, 0));
  EXPECT_EQ(watch.EntriesOf(L"CExclusionListMgr::GetExclusionList").size(), 1u);
}

TEST(ExclusionList, OnlyTheFirstFiveHundredLinesCount) {
  cfgtest::RecoveryDrive drive(L'E');
  TempDir dir;
  std::wstring text;
  for (int i = 1; i <= 600; ++i) text += (i % 2 ? L"C:\\F" + std::to_wstring(i) : std::wstring(L"  ")) + L"\r\n";
  WriteTextFile(dir / L"long.ini", text, Encoding::Utf16Bom);
  CExclusionListMgr list(dir / L"long.ini");
  const std::vector<std::wstring> entries = Fetch(list);
  ASSERT_EQ(entries.size(), 250u);
  EXPECT_EQ(entries.back(), L"C:\\F499");
}

TEST(ExclusionList, EmptyFilesAndBlankLinesGiveNoEntries) {
  cfgtest::RecoveryDrive drive(L'E');
  TempDir dir;
  twtest::WriteBytes(dir / L"empty.ini", "");
  WriteTextFile(dir / L"blank.ini", L"\r\n \r\n\\\r\n\"\"\r\n", Encoding::Utf16Bom);
  twtest::WriteBytes(dir / L"bomonly.ini", "\xFF\xFE");
  for (const std::wstring& path : {dir / L"empty.ini", dir / L"blank.ini", dir / L"bomonly.ini"}) {
    CExclusionListMgr list(path);
    uint32_t count = 7;
    EXPECT_TRUE(list.GetExclusionList(&count, nullptr, 0)) << path;
    EXPECT_EQ(count, 0u) << path;
  }
}

TEST(ExclusionList, UnknownRecoveryDriveFailsTheLoad) {
  cfgtest::RecoveryDrive drive(L'\0');
  TempDir dir;
  WriteTextFile(dir / L"own.ini", L"C:\\x", Encoding::Utf16Bom);
  tw::LogWatch watch;
  CExclusionListMgr list(dir / L"own.ini");
  uint32_t count = 0;
  EXPECT_FALSE(list.GetExclusionList(&count, nullptr, 0));
  EXPECT_EQ(watch.EntriesOf(L"CExclusionListMgr::LoadListFile").size(), 1u);
  EXPECT_EQ(watch.EntriesOf(L"CExclusionListMgr::GetExclusionList").size(), 1u);
}

TEST(ExclusionList, ListIsReadOnceForTheObject) {
  cfgtest::RecoveryDrive drive(L'E');
  TempDir dir;
  WriteTextFile(dir / L"own.ini", L"C:\\one", Encoding::Utf16Bom);
  CExclusionListMgr list(dir / L"own.ini");
  EXPECT_EQ(Fetch(list).size(), 1u);
  WriteTextFile(dir / L"own.ini", L"C:\\one\r\nC:\\two", Encoding::Utf16Bom);
  EXPECT_EQ(Fetch(list).size(), 1u);
}

}  // namespace
