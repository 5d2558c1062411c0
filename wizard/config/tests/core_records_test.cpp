#include <gtest/gtest.h>

#include "config/core/act_ini_data.h"
#include "config/core/lang_ini_data.h"

namespace {

TEST(ActIniRecords, DefaultsWithoutLines) {
  const ActIni::AppData app = ActIni::ParseAppData({});
  EXPECT_EQ(app.FontSize1, 12u);
  EXPECT_EQ(app.FontName2, L"MS Shell Dlg");
  const ActIni::OptclDiscData discs = ActIni::ParseOptclDiscData({});
  EXPECT_EQ(discs.DVD1_Size, 4300u);
  EXPECT_EQ(discs.BD1_Size, 23700u);
  const ActIni::ExcData exec = ActIni::ParseExcData({});
  EXPECT_EQ(exec.FilePath, L"");
  EXPECT_EQ(exec.SuccessExitCodeList, L"0");
  EXPECT_EQ(exec.ShowErrorMessage, 1u);
  EXPECT_EQ(ActIni::ParseSlctDiscSetData({}).CanSelectODD, 1u);
  EXPECT_EQ(ActIni::ParseSlctDiscSetData({}).BackButton_Visible, 1u);
  EXPECT_EQ(ActIni::ParseFnshData({}).BackToFirstStep, 0u);
}

TEST(ActIniRecords, ApplicationFontsAndFaceNameLimit) {
  const ActIni::AppData app = ActIni::ParseAppData(
      {L"FontSize1=14pt", L"FontSize2=abc", L"fontsize3=9", L"FontName1=Tahoma",
       L"FontName2=A face name that is far longer than thirty-one", L"FontName3=" + std::wstring(31, L'x')});
  EXPECT_EQ(app.FontSize1, 14u);
  EXPECT_EQ(app.FontSize2, 12u);
  EXPECT_EQ(app.FontSize3, 9u);
  EXPECT_EQ(app.FontName1, L"Tahoma");
  EXPECT_EQ(app.FontName2, L"A face name that is far longer ");
  EXPECT_EQ(app.FontName2.size(), 31u);
  EXPECT_EQ(app.FontName3, std::wstring(31, L'x'));
}

TEST(ActIniRecords, ExecuteSectionKeepsTextAsTyped) {
  const ActIni::ExcData exec = ActIni::ParseExcData({L"FilePath = C:\\ignored.exe", L"Parameter=/a=b\\n",
                                                     L"SuccessExitCodeList=0,3", L"ShowErrorMessage=00"});
  EXPECT_EQ(exec.FilePath, L"");
  EXPECT_EQ(exec.Parameter, L"/a=b\\n");
  EXPECT_EQ(exec.SuccessExitCodeList, L"0,3");
  EXPECT_EQ(exec.ShowErrorMessage, 1u);
  EXPECT_EQ(ActIni::ParseExcData({L"ShowErrorMessage=0"}).ShowErrorMessage, 0u);
  EXPECT_EQ(ActIni::ParseSlctDiscSetData({L"canselectodd=0", L"BackButton_Visible=no"}).CanSelectODD, 0u);
  EXPECT_EQ(ActIni::ParseSlctDiscSetData({L"BackButton_Visible=no"}).BackButton_Visible, 1u);
}

TEST(ActIniRecords, RecoveryDataKeys) {
  const ActIni::RcvDataData data =
      ActIni::ParseRcvDataData({L"StorageDrive_RegKey=SOFTWARE\\Norvane\\ZRV_PARTLINK",
                                L"StorageDrive_RegValueName=DRV3", L"Inf_ImageInfo_32=", L"Inf_ImageInfo_64=Win64"});
  EXPECT_EQ(data.StorageDrive_RegKey, L"SOFTWARE\\Norvane\\ZRV_PARTLINK");
  EXPECT_EQ(data.StorageDrive_RegValueName, L"DRV3");
  EXPECT_EQ(data.Inf_ImageInfo_32, L"");
  EXPECT_EQ(data.Inf_ImageInfo_64, L"Win64");
}

TEST(LangIniRecords, LineBreaksOnlyWhereTheKeyHasThem) {
  const std::wstring typed = L"StepDescription=First line\\nSecond line";
  EXPECT_EQ(LangIni::ParseSlctDiscSetData({typed}).StepDescription, L"First line\\nSecond line");
  EXPECT_EQ(LangIni::ParseChkDiscData({typed}).StepDescription, L"First line\r\nSecond line");
  EXPECT_EQ(LangIni::ParseGnrlMsgData({L"Msg_FileLacked=a\\nb"}).Msg_FileLacked, L"a\r\nb");
  EXPECT_EQ(LangIni::ParseExcData({L"Msg_Error=a\\nb"}).Msg_Error, L"a\r\nb");
  const LangIni::FnshData finish =
      LangIni::ParseFnshData({L"S_ResultDetailInfo=x\\ny", L"S_S_Info=%DiscName%\\n%DiscName%", L"OkButton=O\\nK"});
  EXPECT_EQ(finish.S_ResultDetailInfo, L"x\\ny");
  EXPECT_EQ(finish.S_S_Info, L"%DiscName%\r\n%DiscName%");  // placeholders stay for the caller
  EXPECT_EQ(finish.OkButton, L"O\\nK");
  const LangIni::MkDiscData make = LangIni::ParseMkDiscData({L"NextButton=a\\nb", L"Msg_MakingDiscFailed=a\\nb"});
  EXPECT_EQ(make.NextButton, L"a\\nb");
  EXPECT_EQ(make.Msg_MakingDiscFailed, L"a\r\nb");
}

TEST(LangIniRecords, KeysOfOtherSectionsAreNotFound) {
  const LangIni::AppData app = LangIni::ParseAppData({L"FontSize1=20", L"DVD1=DVD", L"appname=Recovery"});
  EXPECT_EQ(app.AppName, L"Recovery");
  EXPECT_EQ(app.Step1, L"");
  const LangIni::DriveData drive = LangIni::ParseDriveData(
      {L"DriveNameOutputFormat=%DriveType% (%DriveRootPath%)", L"DriveType_ODD_BD=BD", L"DriveType_ODD_DVD=DVD"});
  EXPECT_EQ(drive.DriveNameOutputFormat, L"%DriveType% (%DriveRootPath%)");
  EXPECT_EQ(drive.DriveType_ODD_BD, L"BD");
  EXPECT_EQ(drive.DriveType_ODD_DVD, L"DVD");
}

}  // namespace
