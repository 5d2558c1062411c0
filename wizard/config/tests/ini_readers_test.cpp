#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/log_reader.h"
#include "app/settings.h"
#include "config/act_ini.h"
#include "config/base_ini.h"
#include "config/lang_ini.h"
#include "config_test_support.h"
#include "test_support.h"

using twtest::Encoding;
using twtest::LoggedMessages;
using twtest::TempDir;
using twtest::WriteTextFile;

namespace {

const wchar_t kActText[] =
    L"; comment line\r\n"
    L"[Application]\r\n"
    L"FontSize1=14pt\r\n"
    L"FontName1=Tahoma\r\n"
    L"FontSize2=abc\r\n"
    L"FontName3=A face name that is far longer than thirty-one\r\n"
    L"[OpticalDisc]\r\n"
    L"DVD1_Size=2\r\n"
    L"BD1_Size=8\r\n"
    L"VerifyDisc=1\r\n"
    L"[ExecuteAtStart]\r\n"
    L"FilePath=C:\\Tools\\partlink.exe\r\n"
    L"Parameter=/a=b\r\n"
    L"SuccessExitCodeList=0,3\r\n"
    L"ShowErrorMessage=false\r\n"
    L"[ExecuteAtEnd]\r\n"
    L"Parameter=/UNMAP3\r\n"
    L"ShowErrorMessage=0\r\n"
    L"[RecoveryData]\r\n"
    L"StorageDrive_RegKey=SOFTWARE\\Norvane\\ZRV_PARTLINK\r\n"
    L"StorageDrive_RegValueName=DRV3\r\n"
    L"Inf_ImageInfo_32=RCV_X86\r\n"
    L"Inf_ImageInfo_64=RCV_X64\r\n"
    L"[SelectDiscSet]\r\n"
    L"canselectodd=0\r\n"
    L"BackButton_Visible=no\r\n"
    L"[Finish]\r\n"
    L"BackToFirstStep=1\r\n"
    L"BackToFirstStep=0\r\n";

void ExpectSampleActionSettings(const std::wstring& path) {
  const ActIni::AppData app = ActIni::CIniMgr::GetAppData(path);
  EXPECT_EQ(app.FontSize1, 14u);
  EXPECT_EQ(app.FontName1, L"Tahoma");
  EXPECT_EQ(app.FontSize2, 12u);
  EXPECT_EQ(app.FontName2, L"MS Shell Dlg");
  EXPECT_EQ(app.FontName3, L"A face name that is far longer ");
  const ActIni::OptclDiscData discs = ActIni::CIniMgr::GetOptclDiscData(path);
  EXPECT_EQ(discs.DVD1_Size, 2u);
  EXPECT_EQ(discs.BD1_Size, 8u);
  EXPECT_EQ(discs.VerifyDisc, 1u);
  const ActIni::ExcData start = ActIni::CIniMgr::GetExcAtStrtData(path);
  EXPECT_EQ(start.FilePath, L"C:\\Tools\\partlink.exe");
  EXPECT_EQ(start.Parameter, L"/a=b");
  EXPECT_EQ(start.SuccessExitCodeList, L"0,3");
  EXPECT_EQ(start.ShowErrorMessage, 1u);
  const ActIni::ExcData end = ActIni::CIniMgr::GetExcAtEndData(path);
  EXPECT_EQ(end.FilePath, L"");
  EXPECT_EQ(end.Parameter, L"/UNMAP3");
  EXPECT_EQ(end.SuccessExitCodeList, L"0");
  EXPECT_EQ(end.ShowErrorMessage, 0u);
  const ActIni::RcvDataData recovery = ActIni::CIniMgr::GetRcvDataData(path);
  EXPECT_EQ(recovery.StorageDrive_RegKey, L"SOFTWARE\\Norvane\\ZRV_PARTLINK");
  EXPECT_EQ(recovery.StorageDrive_RegValueName, L"DRV3");
  EXPECT_EQ(recovery.Inf_ImageInfo_32, L"RCV_X86");
  EXPECT_EQ(recovery.Inf_ImageInfo_64, L"RCV_X64");
  const ActIni::SlctDiscSetData select = ActIni::CIniMgr::GetSlctDiscSetData(path);
  EXPECT_EQ(select.CanSelectODD, 0u);
  EXPECT_EQ(select.BackButton_Visible, 1u);
  EXPECT_EQ(ActIni::CIniMgr::GetFnshData(path).BackToFirstStep, 0u);
}

TEST(ActIniReader, ReadsEveryKindFromAnAnsiOrUtf16File) {
  TempDir dir;
  for (Encoding encoding : {Encoding::Ansi, Encoding::Utf16Bom}) {
    SCOPED_TRACE(encoding == Encoding::Ansi ? "ANSI" : "UTF-16");
    WriteTextFile(dir / L"Tarnwright_Act.ini", kActText, encoding);
    tw::LogWatch watch;
    ExpectSampleActionSettings(dir / L"Tarnwright_Act.ini");
    EXPECT_TRUE(watch.NewEntries().empty());
  }
}

TEST(ActIniReader, MissingSectionsGiveDefaultsWithoutLogEntries) {
  TempDir dir;
  WriteTextFile(dir / L"Tarnwright_Act.ini", L"[Other]\r\nDVD1_Size=1\r\n[ExecuteAtStart]\r\n", Encoding::Ansi);
  tw::LogWatch watch;
  const ActIni::OptclDiscData discs = ActIni::CIniMgr::GetOptclDiscData(dir / L"Tarnwright_Act.ini");
  EXPECT_EQ(discs.DVD1_Size, 4300u);
  EXPECT_EQ(discs.BD1_Size, 23700u);
  const ActIni::ExcData start = ActIni::CIniMgr::GetExcAtStrtData(dir / L"Tarnwright_Act.ini");
  EXPECT_EQ(start.FilePath, L"");
  EXPECT_EQ(start.SuccessExitCodeList, L"0");
  EXPECT_TRUE(watch.NewEntries().empty());
}

// A file that cannot be read gives the defaults and two entries: one from
// the section fetch, one from the reader.
TEST(ActIniReader, UnreadableFilesGiveDefaultsAndTwoLogEntries) {
  TempDir dir;
  WriteTextFile(dir / L"empty.ini", L"", Encoding::Ansi);
  twtest::MakeDirs(dir / L"folder.ini");
  for (const std::wstring& path : {dir / L"empty.ini", dir / L"missing.ini", dir / L"folder.ini"}) {
    tw::LogWatch watch;
    const ActIni::OptclDiscData discs = ActIni::CIniMgr::GetOptclDiscData(path);
    EXPECT_EQ(discs.DVD1_Size, 4300u);
    EXPECT_EQ(LoggedMessages(watch, L"CBaseIniMgr::GetTargetSecData"), std::vector<std::wstring>{path});
    EXPECT_EQ(LoggedMessages(watch, L"ActIni::CIniMgr::GetOptclDiscData"), std::vector<std::wstring>{L""}) << path;
  }
}

// An INI file beyond the cap is a read failure, not a buffer of its size;
// one at the cap is read.
TEST(SectionFetch, FileBeyondTheCapIsAReadFailure) {
  TempDir dir;
  for (unsigned long long size : {CBaseIniMgr::kMaxIniFileBytes + 1, 0x100000010ull}) {
    twtest::MakeSizedFile(dir / L"huge.ini", size);
    tw::LogWatch watch;
    SectionBuffer buffer;
    EXPECT_FALSE(CBaseIniMgr::GetTargetSecData(dir / L"huge.ini", L"Application", buffer));
    EXPECT_FALSE(buffer.data);
    EXPECT_EQ(watch.EntriesOf(L"CBaseIniMgr::GetTargetSecData").size(), 1u);
    EXPECT_EQ(ActIni::CIniMgr::GetAppData(dir / L"huge.ini").FontSize1, 12u);
    ::DeleteFileW((dir / L"huge.ini").c_str());
  }
  twtest::MakeSizedFile(dir / L"big.ini", CBaseIniMgr::kMaxIniFileBytes);
  SectionBuffer buffer;
  EXPECT_TRUE(CBaseIniMgr::GetTargetSecData(dir / L"big.ini", L"Application", buffer));
  EXPECT_EQ(buffer.capacity, CBaseIniMgr::kMaxIniFileBytes);
}

TEST(SectionFetch, BufferHoldsTheSectionLinesAndIsReplacedOnEachCall) {
  TempDir dir;
  WriteTextFile(dir / L"a.ini", L"[S]\r\nk=v\r\nFilePath=x=y\r\n[T]\r\n", Encoding::Utf16Bom);
  SectionBuffer buffer;
  ASSERT_TRUE(CBaseIniMgr::GetTargetSecData(dir / L"a.ini", L"s", buffer));
  EXPECT_EQ(buffer.Lines(), (std::vector<std::wstring>{L"k=v", L"FilePath=x=y"}));
  ASSERT_TRUE(CBaseIniMgr::GetTargetSecData(dir / L"a.ini", L"T", buffer));
  EXPECT_TRUE(buffer.Lines().empty());
  ASSERT_TRUE(CBaseIniMgr::GetTargetSecData(dir / L"a.ini", L"absent", buffer));
  EXPECT_TRUE(buffer.Lines().empty());
  EXPECT_FALSE(CBaseIniMgr::GetTargetSecData(dir / L"none.ini", L"S", buffer));
  EXPECT_FALSE(buffer.data);
  std::wstring value;
  EXPECT_TRUE(CBaseIniMgr::GetValueOfKey(L"filepath=x=y", L"FilePath", value));
  EXPECT_EQ(value, L"x=y");
}

TEST(ProcessWideActionSettings, CopiesDiscAndRecoverySections) {
  cfgtest::SettingsGuard guard;
  TempDir dir;
  WriteTextFile(dir / L"Tarnwright_Act.ini", kActText, Encoding::Ansi);
  LoadProcessWideActionSettings(dir / L"Tarnwright_Act.ini");
  const tw::ProcessSettings& s = tw::Settings();
  EXPECT_EQ(s.Dvd1SizeMiB, 2u);
  EXPECT_EQ(s.Bd1SizeMiB, 8u);
  EXPECT_TRUE(s.VerifyDisc);
  EXPECT_EQ(s.StorageDriveRegKey, L"SOFTWARE\\Norvane\\ZRV_PARTLINK");
  EXPECT_EQ(s.StorageDriveRegValueName, L"DRV3");
  EXPECT_EQ(s.ImageInfo32, L"RCV_X86");
  EXPECT_EQ(s.ImageInfo64, L"RCV_X64");
  // Without the file the defaults come back.
  LoadProcessWideActionSettings(dir / L"missing.ini");
  EXPECT_EQ(tw::Settings().Dvd1SizeMiB, 4300u);
  EXPECT_FALSE(tw::Settings().VerifyDisc) << "absent: as before the key existed";
  EXPECT_EQ(tw::Settings().StorageDriveRegKey, L"");
}

TEST(LangIniReader, ReadsUtf16TextsWithLineBreaksWhereTheKeyHasThem) {
  TempDir dir;
  const std::wstring path = dir / L"Tarnwright_Lang.ini";
  WriteTextFile(path,
                L"[Application]\r\nAppName=\x30EA\x30AB\x30D0\x30EA\r\n"
                L"[GeneralMessage]\r\nMsg_FileLacked=First line\\nSecond line\r\n"
                L"[SelectDiscSet]\r\nStepDescription=First line\\nSecond line\r\nNextButton=&Next\r\n"
                L"[CheckDisc]\r\nStepDescription=First line\\nSecond line\r\n"
                L"[MakeDisc]\r\nMsg_MakingDiscFailed=%DiscName% failed.\\n%DiscName%\r\n"
                L"[Finish]\r\nSuccessReport=%DiscSetName% is ready.\r\nOkButton=OK\r\n"
                L"[Drive]\r\nDriveNameOutputFormat=%DriveType% (%DriveRootPath%)\r\n"
                L"[OpticalDisc]\r\nDVD1=DVD\r\nBD1=Blu-ray Disc\r\n"
                L"[ExecuteAtEnd]\r\nMsg_Error=Could not end.\\nRestart.\r\n",
                Encoding::Utf16Bom);
  EXPECT_EQ(LangIni::CIniMgr::GetAppData(path).AppName, L"\x30EA\x30AB\x30D0\x30EA");
  EXPECT_EQ(LangIni::CIniMgr::GetGnrlMsgData(path).Msg_FileLacked, L"First line\r\nSecond line");
  EXPECT_EQ(LangIni::CIniMgr::GetSlctDiscSetData(path).StepDescription, L"First line\\nSecond line");
  EXPECT_EQ(LangIni::CIniMgr::GetSlctDiscSetData(path).NextButton, L"&Next");
  EXPECT_EQ(LangIni::CIniMgr::GetChkDiscData(path).StepDescription, L"First line\r\nSecond line");
  EXPECT_EQ(LangIni::CIniMgr::GetMkDiscData(path).Msg_MakingDiscFailed, L"%DiscName% failed.\r\n%DiscName%");
  EXPECT_EQ(LangIni::CIniMgr::GetFnshData(path).SuccessReport, L"%DiscSetName% is ready.");
  EXPECT_EQ(LangIni::CIniMgr::GetFnshData(path).OkButton, L"OK");
  EXPECT_EQ(LangIni::CIniMgr::GetDriveData(path).DriveNameOutputFormat, L"%DriveType% (%DriveRootPath%)");
  EXPECT_EQ(LangIni::CIniMgr::GetOptclDiscData(path).BD1, L"Blu-ray Disc");
  EXPECT_EQ(LangIni::CIniMgr::GetExcAtEndData(path).Msg_Error, L"Could not end.\r\nRestart.");
  EXPECT_EQ(LangIni::CIniMgr::GetExcAtStrtData(path).Msg_Error, L"");
}

TEST(LangIniReader, MissingFileGivesEmptyTextsAndTwoEntries) {
  TempDir dir;
  tw::LogWatch watch;
  const LangIni::FnshData finish = LangIni::CIniMgr::GetFnshData(dir / L"none.ini");
  EXPECT_EQ(finish.OkButton, L"");
  EXPECT_EQ(watch.EntriesOf(L"CBaseIniMgr::GetTargetSecData").size(), 1u);
  EXPECT_EQ(watch.EntriesOf(L"LangIni::CIniMgr::GetFnshData").size(), 1u);
}

}  // namespace
