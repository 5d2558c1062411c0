#include "lang_ini_data.h"

namespace LangIni {

using tw::ini::ApplyLines;
using tw::ini::BreaksField;
using tw::ini::TextField;
namespace K = IniKey;

AppData ParseAppData(const Lines& lines) {
  AppData d;
  ApplyLines(lines, {TextField(K::AppName, d.AppName), TextField(K::FuncDescription, d.FuncDescription),
                     TextField(K::Step1, d.Step1), TextField(K::Step2, d.Step2), TextField(K::Step3, d.Step3),
                     TextField(K::Step4, d.Step4), TextField(K::HelpButton, d.HelpButton),
                     TextField(K::MinimizeButton, d.MinimizeButton), TextField(K::CloseButton, d.CloseButton)});
  return d;
}

OptclDiscData ParseOptclDiscData(const Lines& lines) {
  OptclDiscData d;
  ApplyLines(lines, {TextField(K::DVD1, d.DVD1), TextField(K::BD1, d.BD1)});
  return d;
}

DriveData ParseDriveData(const Lines& lines) {
  DriveData d;
  ApplyLines(lines, {TextField(K::DriveNameOutputFormat, d.DriveNameOutputFormat),
                     TextField(K::DriveType_ODD_DVD, d.DriveType_ODD_DVD),
                     TextField(K::DriveType_ODD_BD, d.DriveType_ODD_BD)});
  return d;
}

GnrlMsgData ParseGnrlMsgData(const Lines& lines) {
  GnrlMsgData d;
  ApplyLines(lines, {BreaksField(K::Msg_ExitApplication, d.Msg_ExitApplication),
                     BreaksField(K::Msg_UnknownError, d.Msg_UnknownError),
                     BreaksField(K::Msg_LaunchedOnOther, d.Msg_LaunchedOnOther),
                     BreaksField(K::Msg_BackupAppLaunchedOnOther, d.Msg_BackupAppLaunchedOnOther),
                     BreaksField(K::Msg_HideDriveOpended, d.Msg_HideDriveOpended),
                     BreaksField(K::Msg_FileLacked, d.Msg_FileLacked),
                     BreaksField(K::Msg_BurnAppNotInstalled, d.Msg_BurnAppNotInstalled),
                     BreaksField(K::Msg_ConnectAcPower, d.Msg_ConnectAcPower),
                     BreaksField(K::Msg_GettingDriveInfoFailed, d.Msg_GettingDriveInfoFailed),
                     BreaksField(K::Msg_GettingDiscSetInfoFailed, d.Msg_GettingDiscSetInfoFailed)});
  return d;
}

ExcData ParseExcData(const Lines& lines) {
  ExcData d;
  ApplyLines(lines, {BreaksField(K::Msg_Error, d.Msg_Error)});
  return d;
}

SlctDiscSetData ParseSlctDiscSetData(const Lines& lines) {
  SlctDiscSetData d;
  ApplyLines(lines, {TextField(K::StepDescription, d.StepDescription), TextField(K::DiscSet, d.DiscSet),
                     TextField(K::ODD, d.ODD), TextField(K::DiscType, d.DiscType),
                     TextField(K::DiscCount, d.DiscCount), TextField(K::NextButton, d.NextButton),
                     TextField(K::BackButton, d.BackButton), BreaksField(K::Msg_NoDiscSetData, d.Msg_NoDiscSetData),
                     BreaksField(K::Msg_NoUsableODD, d.Msg_NoUsableODD),
                     BreaksField(K::Msg_AlreadyWritten, d.Msg_AlreadyWritten)});
  return d;
}

ChkDiscData ParseChkDiscData(const Lines& lines) {
  ChkDiscData d;
  ApplyLines(lines, {BreaksField(K::StepDescription, d.StepDescription),
                     BreaksField(K::StepAttention, d.StepAttention), TextField(K::NextButton, d.NextButton),
                     TextField(K::BackButton, d.BackButton)});
  return d;
}

MkDiscData ParseMkDiscData(const Lines& lines) {
  MkDiscData d;
  ApplyLines(lines, {TextField(K::NextButton, d.NextButton), TextField(K::BackButton, d.BackButton),
                     BreaksField(K::Msg_MakingDiscFailed, d.Msg_MakingDiscFailed),
                     BreaksField(K::Msg_VerifyFailed, d.Msg_VerifyFailed),
                     BreaksField(K::Msg_VerifyNoDisc, d.Msg_VerifyNoDisc), TextField(K::VerifyCaption, d.VerifyCaption),
                     BreaksField(K::VerifyHeading, d.VerifyHeading), TextField(K::VerifyBytes, d.VerifyBytes),
                     TextField(K::VerifyTimeLeft, d.VerifyTimeLeft),
                     TextField(K::VerifyTimeUnknown, d.VerifyTimeUnknown), TextField(K::VerifyCancel, d.VerifyCancel)});
  return d;
}

FnshData ParseFnshData(const Lines& lines) {
  FnshData d;
  ApplyLines(lines, {BreaksField(K::SuccessReport, d.SuccessReport),
                     TextField(K::S_ResultDetailInfo, d.S_ResultDetailInfo), BreaksField(K::S_S_Info, d.S_S_Info),
                     BreaksField(K::AbortReport, d.AbortReport),
                     TextField(K::A_ResultDetailInfo, d.A_ResultDetailInfo), BreaksField(K::A_S_Info, d.A_S_Info),
                     BreaksField(K::A_A_Info, d.A_A_Info), BreaksField(K::FailureReport, d.FailureReport),
                     TextField(K::F_ResultDetailInfo, d.F_ResultDetailInfo), BreaksField(K::F_S_Info, d.F_S_Info),
                     BreaksField(K::F_A_Info, d.F_A_Info), BreaksField(K::F_F_Info_Unknown, d.F_F_Info_Unknown),
                     BreaksField(K::F_F_Info_NoBurnEngine, d.F_F_Info_NoBurnEngine),
                     BreaksField(K::F_F_Info_Preparing, d.F_F_Info_Preparing),
                     BreaksField(K::F_F_Info_Burning, d.F_F_Info_Burning),
                     BreaksField(K::F_F_Info_Verifying, d.F_F_Info_Verifying), TextField(K::OkButton, d.OkButton),
                     BreaksField(K::S_SV_Info, d.S_SV_Info), BreaksField(K::A_SV_Info, d.A_SV_Info),
                     BreaksField(K::F_SV_Info, d.F_SV_Info),
                     BreaksField(K::F_F_Info_VerifyFailed, d.F_F_Info_VerifyFailed)});
  return d;
}

}  // namespace LangIni
