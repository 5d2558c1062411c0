#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/core/text.h"
#include "app/format.h"
#include "app/handles.h"
#include "app/log_reader.h"
#include "app/settings.h"
#include "app/syshelpers.h"
#include "test_support.h"

using twtest::Encoding;
using twtest::FileBesideExe;
using twtest::LoggedMessages;
using twtest::SettingsGuard;
using twtest::ScopedHklmKey;
using twtest::TempDir;
using twtest::WriteTextFile;
using Lines = std::vector<std::wstring>;

namespace {

constexpr wchar_t kQuillon[] = L"Software\\Norvane\\Quillon";

std::wstring UiLanguageSection() { return tw::Fmt(L"0x%04x", ::GetUserDefaultUILanguage()); }

TEST(SplitNumberList, CountsThenFills) {
  uint32_t count = 0;
  ASSERT_TRUE(SplitNumberList(nullptr, L"0,,3,abc, 7", &count));
  ASSERT_EQ(count, 3u);
  std::vector<int32_t> values(count, -1);
  ASSERT_TRUE(SplitNumberList(values.data(), L"0,,3,abc, 7", &count));
  EXPECT_EQ(values, std::vector<int32_t>({0, 3, 7}));
  EXPECT_FALSE(SplitNumberList(nullptr, nullptr, &count));
  EXPECT_FALSE(SplitNumberList(nullptr, L"1", nullptr));
}

TEST(SplitNumberList, ArrayTooSmallFailsAndLongPieceIsLogged) {
  tw::LogWatch watch;
  uint32_t count = 1;
  int32_t one = 0;
  EXPECT_FALSE(SplitNumberList(&one, L"1,2", &count));
  count = 0;
  ASSERT_TRUE(SplitNumberList(nullptr, L"3010,12345678901", &count));
  EXPECT_EQ(count, 1u);
  auto entries = watch.EntriesOf(L"SplitNumberList");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].message, L"12345678901");
}

TEST(GetWritableDiscSize, UsesTheConfiguredCapacities) {
  SettingsGuard guard;
  EXPECT_EQ(GetWritableDiscSize(0), 4508876800ull);
  EXPECT_EQ(GetWritableDiscSize(1), 24851251200ull);
  tw::Settings().Bd1SizeMiB = 0xFFFFFFFFu;  // widened before the shift
  EXPECT_EQ(GetWritableDiscSize(1), 0xFFFFFFFFull << 20);
  tw::LogWatch watch;
  EXPECT_EQ(GetWritableDiscSize(2), 0u);
  EXPECT_EQ(GetWritableDiscSize(-1), 0u);
  auto entries = watch.EntriesOf(L"GetWritableDiscSize");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].message, L"0x00000002");
}

TEST(GetIniString, ReadsValuesOfAnyLength) {
  TempDir dir;
  for (Encoding enc : {Encoding::Ansi, Encoding::Utf16Bom}) {
    for (size_t length : {0u, 1u, 98u, 99u, 100u, 101u, 199u, 1000u}) {
      const std::wstring value(length, L'v');
      const std::wstring ini = dir / L"a.ini";
      WriteTextFile(ini, L"[S]\r\nK=" + value + L"\r\n", enc);
      DWORD size = 0;
      ASSERT_TRUE(GetIniString(ini.c_str(), L"S", L"K", nullptr, L"", &size)) << length;
      ASSERT_EQ(size, length + 1);
      std::vector<wchar_t> out(size, L'#');
      ASSERT_TRUE(GetIniString(ini.c_str(), L"S", L"K", out.data(), L"", &size));
      EXPECT_EQ(std::wstring(out.data()), value);
    }
  }
}

TEST(GetIniString, MissingFileFolderSizeOrRoomFails) {
  TempDir dir;
  const std::wstring ini = dir / L"a.ini";
  WriteTextFile(ini, L"[S]\r\nK=hello\r\n");
  DWORD size = 10;
  EXPECT_FALSE(GetIniString((dir / L"none.ini").c_str(), L"S", L"K", nullptr, L"", &size));
  EXPECT_FALSE(GetIniString(dir.path().c_str(), L"S", L"K", nullptr, L"", &size));
  EXPECT_FALSE(GetIniString(ini.c_str(), L"S", L"K", nullptr, L"", nullptr));
  // A missing key gives the default.
  ASSERT_TRUE(GetIniString(ini.c_str(), L"S", L"Other", nullptr, L"dflt", &size));
  EXPECT_EQ(size, 5u);
  // A buffer too small copies nothing.
  wchar_t out[5] = {L'x', L'x', L'x', L'x', L'\0'};
  size = 5;
  EXPECT_FALSE(GetIniString(ini.c_str(), L"S", L"K", out, L"", &size));
  EXPECT_EQ(std::wstring(out), L"xxxx");
  size = 6;
  EXPECT_TRUE(GetIniString(ini.c_str(), L"S", L"K", out, L"", &size));
}

TEST(MyGetFileSizeEx, ReportsSizesBeyondFourGigabytes) {
  TempDir dir;
  const std::wstring big = dir / L"big.bin";
  twtest::MakeSizedFile(big, 5ull << 30);
  EXPECT_EQ(Norvane::DeskKit::Common::MyGetFileSizeEx(big.c_str()), 5ull << 30);
  tw::LogWatch watch;
  EXPECT_EQ(Norvane::DeskKit::Common::MyGetFileSizeEx((dir / L"missing").c_str()), 0u);
  EXPECT_EQ(LoggedMessages(watch, L"Norvane::DeskKit::Common::MyGetFileSizeEx"),
            Lines{L"0x00000002, " + (dir / L"missing")});
}

TEST(SystemQueries, ElevatedUnderTheTestPrefix) {
  EXPECT_TRUE(Norvane::DeskKit::Common::IsWindowsVistaOrLater());
  EXPECT_TRUE(Norvane::DeskKit::Common::IsRunningAsAdministratorOnVistaOrLater());
  EXPECT_TRUE(Norvane::DeskKit::Common::IsRunningAsAdministratorOnXP());
}

TEST(GetModuleFolderPath, GivesTheExecutableFolder) {
  wchar_t folder[MAX_PATH + 1] = {};
  ASSERT_EQ(GetModuleFolderPath(nullptr, folder), 0u);
  EXPECT_EQ(std::wstring(folder), twtest::ExeFolder());
  EXPECT_NE(folder[wcslen(folder) - 1], L'\\');
}

TEST(GetBkupAppInstFolderPath, NeedsANonEmptyPlainString) {
  ScopedHklmKey key(kQuillon);
  std::wstring out;
  key.SetString(L"InstFolder", L"C:\\Quillon\\");
  ASSERT_TRUE(GetBkupAppInstFolderPath(&out));
  EXPECT_EQ(out, L"C:\\Quillon\\");
  key.SetString(L"InstFolder", L"C:\\Quillon", REG_EXPAND_SZ);
  EXPECT_FALSE(GetBkupAppInstFolderPath(&out));
  key.SetString(L"InstFolder", L"");
  EXPECT_FALSE(GetBkupAppInstFolderPath(&out));
  key.DeleteValue(L"InstFolder");
  EXPECT_FALSE(GetBkupAppInstFolderPath(&out));
  EXPECT_FALSE(GetBkupAppInstFolderPath(nullptr));
}

TEST(GetTargetFilePathInBkupApp, FindsAFileBesideTheModule) {
  FileBesideExe file(L"twtest_beside.ini", L"x");
  std::wstring out;
  ASSERT_TRUE(GetTargetFilePathInBkupApp(::GetModuleHandleW(nullptr), nullptr, L"twtest_beside.ini", &out));
  EXPECT_EQ(out, file.path());
}

TEST(GetTargetFilePathInBkupApp, FindsTheLanguageFolderAndFallsBackToDefault) {
  const std::wstring exe = twtest::ExeFolder();
  FileBesideExe language(L"Language.ini", L"[" + UiLanguageSection() + L"]\r\nFolder=twtest_user\\\r\n[Default]\r\nFolder=twtest_dflt\r\n");
  tw::ScopeExit cleanup([&] {
    for (const wchar_t* folder : {L"\\twtest_user", L"\\twtest_dflt"}) twtest::RemoveTree(exe + folder);
  });
  WriteTextFile(exe + L"\\twtest_dflt\\only_default.ini", L"d");
  WriteTextFile(exe + L"\\twtest_dflt\\both.ini", L"d");
  WriteTextFile(exe + L"\\twtest_user\\both.ini", L"u");
  WriteTextFile(exe + L"\\twtest_user\\Help\\page.htm", L"h");  // with a sub-folder
  HMODULE self = ::GetModuleHandleW(nullptr);
  std::wstring out;
  ASSERT_TRUE(GetTargetFilePathInBkupApp(self, nullptr, L"both.ini", &out));
  EXPECT_EQ(out, exe + L"\\twtest_user\\both.ini");
  ASSERT_TRUE(GetTargetFilePathInBkupApp(self, nullptr, L"only_default.ini", &out));
  EXPECT_EQ(out, exe + L"\\twtest_dflt\\only_default.ini");
  ScopedHklmKey key(kQuillon);
  key.DeleteValue(L"InstFolder");
  EXPECT_FALSE(GetTargetFilePathInBkupApp(self, nullptr, L"nowhere.ini", &out));
  EXPECT_FALSE(GetTargetFilePathInBkupApp(self, L"Help", L"page.htm", &out));  // sub-folder goes first
}

TEST(GetTargetFilePathInBkupApp, FallsBackToTheInstallFolder) {
  TempDir install;
  WriteTextFile(install / L"Language.ini", L"[Default]\r\nFolder=Eng\r\n", Encoding::Ansi);
  WriteTextFile(install / L"Help\\Eng\\step1.htm", L"h");
  WriteTextFile(install / L"Eng\\twtest_inst.ini", L"i");
  ScopedHklmKey key(kQuillon);
  key.SetString(L"InstFolder", install.path() + L"\\");
  std::wstring out;
  HMODULE self = ::GetModuleHandleW(nullptr);
  ASSERT_TRUE(GetTargetFilePathInBkupApp(self, nullptr, L"twtest_inst.ini", &out));
  EXPECT_EQ(out, install / L"Eng\\twtest_inst.ini");
  ASSERT_TRUE(GetTargetFilePathInBkupApp(self, L"Help", L"step1.htm", &out));
  EXPECT_EQ(out, install / L"Help\\Eng\\step1.htm");
}

TEST(GetHelpFilePath, ReadsTheIdThenDefaultFromHelpIni) {
  TempDir install;
  WriteTextFile(install / L"Help.ini", L"[Help]\r\n4000=select.htm\r\nDefault=index.htm\r\n");
  WriteTextFile(install / L"Language.ini", L"[Default]\r\nFolder=Eng\r\n");
  WriteTextFile(install / L"Help\\Eng\\select.htm", L"h");
  WriteTextFile(install / L"Help\\Eng\\index.htm", L"h");
  ScopedHklmKey key(kQuillon);
  key.SetString(L"InstFolder", install.path());
  std::wstring out;
  ASSERT_TRUE(GetHelpFilePath(4000, &out));
  EXPECT_EQ(out, install / L"Help\\Eng\\select.htm");
  ASSERT_TRUE(GetHelpFilePath(4004, &out));
  EXPECT_EQ(out, install / L"Help\\Eng\\index.htm");
  key.DeleteValue(L"InstFolder");
  EXPECT_FALSE(GetHelpFilePath(4000, &out));
}

// A program folder given by name is searched like the wizard's own folder:
// beside it, through its Language.ini (user's language, then Default), then
// the install folder; the same holds for the help pages named by Help.ini.
TEST(GetTargetFilePathInProgramFolder, SearchesTheNamedFolderAsTheWizardsOwn) {
  TempDir program;
  TempDir install;
  WriteTextFile(program / L"beside.ini", L"b");
  WriteTextFile(program / L"Language.ini", L"[" + UiLanguageSection() + L"]\r\nFolder=User\r\n[Default]\r\nFolder=Dflt\r\n");
  WriteTextFile(program / L"User\\both.ini", L"u");
  WriteTextFile(program / L"Dflt\\both.ini", L"d");
  WriteTextFile(program / L"Dflt\\only_default.ini", L"d");
  WriteTextFile(program / L"Help.ini", L"[Help]\r\n4000=select.htm\r\nDefault=index.htm\r\n");
  WriteTextFile(program / L"Help\\User\\select.htm", L"h");
  WriteTextFile(program / L"Help\\Dflt\\index.htm", L"h");
  WriteTextFile(install / L"Language.ini", L"[Default]\r\nFolder=Inst\r\n", Encoding::Ansi);
  WriteTextFile(install / L"Inst\\installed.ini", L"i");
  ScopedHklmKey key(kQuillon);
  key.SetString(L"InstFolder", install.path());

  const struct {
    const wchar_t* subFolder;
    const wchar_t* name;
    std::wstring expected;  // empty: not found
  } cases[] = {
      {nullptr, L"beside.ini", program / L"beside.ini"},
      {nullptr, L"both.ini", program / L"User\\both.ini"},
      {nullptr, L"only_default.ini", program / L"Dflt\\only_default.ini"},
      {nullptr, L"installed.ini", install / L"Inst\\installed.ini"},
      {nullptr, L"nowhere.ini", L""},
      {L"Help", L"select.htm", program / L"Help\\User\\select.htm"},
  };
  for (const auto& c : cases) {
    std::wstring out = L"untouched";
    EXPECT_EQ(GetTargetFilePathInProgramFolder(program.path(), c.subFolder, c.name, &out), !c.expected.empty())
        << c.name;
    if (!c.expected.empty()) {
      EXPECT_EQ(out, c.expected);
    }
  }
  std::wstring out;
  EXPECT_FALSE(GetTargetFilePathInProgramFolder(L"", nullptr, L"beside.ini", &out));

  ASSERT_TRUE(GetHelpFilePathInProgramFolder(program.path(), 4000, &out));
  EXPECT_EQ(out, program / L"Help\\User\\select.htm");
  ASSERT_TRUE(GetHelpFilePathInProgramFolder(program.path(), 4004, &out));  // through "Default"
  EXPECT_EQ(out, program / L"Help\\Dflt\\index.htm");
  ::DeleteFileW((program / L"Help\\Dflt\\index.htm").c_str());
  EXPECT_FALSE(GetHelpFilePathInProgramFolder(program.path(), 4004, &out));
}

TEST(GetHideDrvLttr, ReadsTheFirstCharacterOfTheValue) {
  SettingsGuard guard;
  const std::wstring keyPath = L"SOFTWARE\\Norvane\\TwTestStorage";
  ScopedHklmKey key(keyPath);
  tw::Settings().StorageDriveRegKey = keyPath;
  tw::Settings().StorageDriveRegValueName = L"DRV3";
  wchar_t letter = 0;
  key.SetString(L"DRV3", L"R");
  ASSERT_TRUE(GetHideDrvLttr(&letter));
  EXPECT_EQ(letter, L'R');
  key.SetString(L"DRV3", L"");
  EXPECT_FALSE(GetHideDrvLttr(&letter));
  key.DeleteValue(L"DRV3");
  tw::LogWatch watch;
  EXPECT_FALSE(GetHideDrvLttr(&letter));
  EXPECT_EQ(LoggedMessages(watch, L"GetHideDrvLttr"), Lines{L"0x00000000, 0x00000002"});
  tw::Settings().StorageDriveRegValueName.clear();
  EXPECT_FALSE(GetHideDrvLttr(&letter));
}

}  // namespace
