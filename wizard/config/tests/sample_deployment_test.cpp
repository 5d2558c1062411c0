// The sample deployment in demo/deployment, read through the real readers:
// complete language files, the lookup files, and the disc sets loaded
// against the data the generator writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/core/text.h"
#include "app/log_reader.h"
#include "app/settings.h"
#include "app/syshelpers.h"
#include "config/act_ini.h"
#include "config/exclusion_list.h"
#include "config/lang_ini.h"
#include "config/tarnset.h"
#include "config_test_support.h"
#include "gendata.h"
#include "test_support.h"

namespace {

std::wstring Deployment() { return twtest::SampleDeployment(); }
std::wstring Program(const std::wstring& name) { return Deployment() + L"\\program\\" + name; }

std::wstring Profile(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
  wchar_t value[261] = {};
  ::GetPrivateProfileStringW(section, key, L"", value, 261, path.c_str());
  return value;
}

void ExpectAllTexts(const std::wstring& file, const std::vector<const std::wstring*>& texts) {
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_FALSE(texts[i]->empty()) << file << " text #" << i;
}

void ExpectHolds(const std::wstring& text, const wchar_t* placeholder) {
  EXPECT_NE(text.find(placeholder), std::wstring::npos) << text;
}

TEST(SampleDeployment, LanguageFilesHaveEveryTextAndTheirPlaceholders) {
  for (const wchar_t* folder : {L"English", L"Japanese"}) {
    const std::wstring path = Program(folder) + L"\\Tarnwright_Lang.ini";
    const std::string bytes = twtest::ReadBytes(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");  // UTF-16LE with byte-order mark
    const auto app = LangIni::CIniMgr::GetAppData(path);
    ExpectAllTexts(path, {&app.AppName, &app.FuncDescription, &app.Step1, &app.Step2, &app.Step3, &app.Step4,
                          &app.HelpButton, &app.MinimizeButton, &app.CloseButton});
    const auto discs = LangIni::CIniMgr::GetOptclDiscData(path);
    ExpectAllTexts(path, {&discs.DVD1, &discs.BD1});
    const auto drive = LangIni::CIniMgr::GetDriveData(path);
    ExpectAllTexts(path, {&drive.DriveNameOutputFormat, &drive.DriveType_ODD_DVD, &drive.DriveType_ODD_BD});
    ExpectHolds(drive.DriveNameOutputFormat, L"%DriveType%");
    ExpectHolds(drive.DriveNameOutputFormat, L"%DriveRootPath%");
    const auto g = LangIni::CIniMgr::GetGnrlMsgData(path);
    ExpectAllTexts(path, {&g.Msg_ExitApplication, &g.Msg_UnknownError, &g.Msg_LaunchedOnOther,
                          &g.Msg_BackupAppLaunchedOnOther, &g.Msg_HideDriveOpended, &g.Msg_FileLacked,
                          &g.Msg_BurnAppNotInstalled, &g.Msg_ConnectAcPower, &g.Msg_GettingDriveInfoFailed,
                          &g.Msg_GettingDiscSetInfoFailed});
    ExpectHolds(g.Msg_FileLacked, L"\r\n");
    const auto start = LangIni::CIniMgr::GetExcAtStrtData(path);
    const auto end = LangIni::CIniMgr::GetExcAtEndData(path);
    ExpectAllTexts(path, {&start.Msg_Error, &end.Msg_Error});
    EXPECT_NE(start.Msg_Error, end.Msg_Error);
    const auto s = LangIni::CIniMgr::GetSlctDiscSetData(path);
    ExpectAllTexts(path, {&s.StepDescription, &s.DiscSet, &s.ODD, &s.DiscType, &s.DiscCount, &s.NextButton,
                          &s.BackButton, &s.Msg_NoDiscSetData, &s.Msg_NoUsableODD, &s.Msg_AlreadyWritten});
    const auto c = LangIni::CIniMgr::GetChkDiscData(path);
    ExpectAllTexts(path, {&c.StepDescription, &c.StepAttention, &c.NextButton, &c.BackButton});
    const auto m = LangIni::CIniMgr::GetMkDiscData(path);
    ExpectAllTexts(path, {&m.NextButton, &m.BackButton, &m.Msg_MakingDiscFailed});
    ExpectHolds(m.Msg_MakingDiscFailed, L"%DiscName%");
    const auto f = LangIni::CIniMgr::GetFnshData(path);
    ExpectAllTexts(path, {&f.SuccessReport, &f.S_ResultDetailInfo, &f.S_S_Info, &f.AbortReport,
                          &f.A_ResultDetailInfo, &f.A_S_Info, &f.A_A_Info, &f.FailureReport, &f.F_ResultDetailInfo,
                          &f.F_S_Info, &f.F_A_Info, &f.F_F_Info_Unknown, &f.F_F_Info_NoBurnEngine,
                          &f.F_F_Info_Preparing, &f.F_F_Info_Burning, &f.F_F_Info_Verifying, &f.OkButton});
    for (const std::wstring* report : {&f.SuccessReport, &f.AbortReport, &f.FailureReport}) {
      ExpectHolds(*report, L"%DiscSetName%");
    }
    for (const std::wstring* line : {&f.S_S_Info, &f.A_S_Info, &f.A_A_Info, &f.F_S_Info, &f.F_A_Info,
                                     &f.F_F_Info_Unknown, &f.F_F_Info_NoBurnEngine, &f.F_F_Info_Preparing,
                                     &f.F_F_Info_Burning, &f.F_F_Info_Verifying}) {
      ExpectHolds(*line, L"%DiscName%");
    }
  }
}

TEST(SampleDeployment, LanguageFoldersAndHelpPagesExist) {
  const std::wstring language = Program(L"Language.ini");
  EXPECT_EQ(Profile(language, L"0x0409", L"Folder"), L"English");
  EXPECT_EQ(Profile(language, L"0x0411", L"Folder"), L"Japanese");
  EXPECT_EQ(Profile(language, L"Default", L"Folder"), L"English");
  for (const wchar_t* id : {L"4000", L"4001", L"4002", L"4004", L"Default"}) {
    const std::wstring page = Profile(Program(L"Help.ini"), L"Help", id);
    ASSERT_FALSE(page.empty()) << id;
    for (const wchar_t* folder : {L"English", L"Japanese"}) {
      EXPECT_TRUE(tw::IsExistingFile(Program(L"Help\\") + folder + L"\\" + page)) << page;
    }
  }
}

using twtest::GeneratedRecoveryDrive;

TEST(SampleDeployment, DiscSetsLoadAgainstTheGeneratedData) {
  cfgtest::SettingsGuard settings;
  GeneratedRecoveryDrive drive;
  ASSERT_EQ(drive.error(), "");
  LoadProcessWideActionSettings(Program(L"Tarnwright_Act.ini"));
  EXPECT_EQ(tw::Settings().StorageDriveRegKey, L"SOFTWARE\\Norvane\\ZRV_PARTLINK");
  EXPECT_EQ(tw::Settings().StorageDriveRegValueName, L"DRV3");
  cfgtest::RecoveryDrive recovery(L'C');

  tw::LogWatch watch;
  TarnSet::CMgr mgr(Program(L"Tarnwright_Act.ini"), Program(L"TarnSet.ini"));
  EXPECT_TRUE(watch.NewEntries().empty());
  ASSERT_EQ(mgr.InfoCount, 3u);
  std::vector<std::wstring> names(100);
  ASSERT_TRUE(mgr.GetInfoData(names.data()));
  names.resize(3);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Recovery Media", L"Drivers and Applications", L"Support Tools"}));
  std::vector<TarnSet::TaskData> tasks(100);
  auto load = [&](uint32_t set, int32_t type) {
    EXPECT_TRUE(mgr.GetTaskData(set, type, tasks.data()));
    return mgr.GetTaskCountInInfo(set, type);
  };
  ASSERT_EQ(load(0, 0), 2u);
  EXPECT_EQ(tasks[0].Type, TarnSet::kTypeFilesBootable);
  EXPECT_EQ(tasks[1].Type, TarnSet::kTypeImage);
  EXPECT_EQ(tasks[1].TotalDiscs, 3u);
  EXPECT_EQ(tasks[1].Folder, L"C:\\Recovery\\Image");
  ASSERT_EQ(load(0, 1), 2u);
  EXPECT_EQ(tasks[1].TotalDiscs, 1u);
  ASSERT_EQ(load(1, 0), 2u);
  EXPECT_EQ(tasks[0].Type, TarnSet::kTypeFiles);
  EXPECT_EQ(load(1, 1), 2u);
  ASSERT_EQ(load(2, 0), 1u);
  EXPECT_EQ(tasks[0].Type, TarnSet::kTypeIso);
  EXPECT_EQ(load(2, 1), 0u);

  mgr.ChkWrittenDiscs();
  load(0, 0);
  EXPECT_EQ(tasks[1].WrittenFlags, (std::vector<uint8_t>{0, 0, 0}));

  CExclusionListMgr common(Program(L"TarnSet_Exclusion.ini"));
  uint32_t count = 0;
  ASSERT_TRUE(common.GetExclusionList(&count, nullptr, 0));
  std::vector<std::wstring> entries(count);
  ASSERT_TRUE(common.GetExclusionList(&count, entries.data(), count));
  for (const std::wstring& entry : entries) EXPECT_TRUE(tw::IsExistingFile(entry)) << entry;
}

}  // namespace
