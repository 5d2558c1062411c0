// Every key of the wizard's INI files with its one default value. The
// records that the readers return start from these defaults.
#pragma once

#include "ini_core.h"

namespace IniKey {

// Action settings, section "Application".
inline constexpr IniNumberKey FontSize1{L"FontSize1", 12};
inline constexpr IniTextKey FontName1{L"FontName1", L"MS Shell Dlg"};
inline constexpr IniNumberKey FontSize2{L"FontSize2", 12};
inline constexpr IniTextKey FontName2{L"FontName2", L"MS Shell Dlg"};
inline constexpr IniNumberKey FontSize3{L"FontSize3", 12};
inline constexpr IniTextKey FontName3{L"FontName3", L"MS Shell Dlg"};
// "OpticalDisc": capacities in units of 2^20 bytes.
inline constexpr IniNumberKey DVD1_Size{L"DVD1_Size", 4300};
inline constexpr IniNumberKey BD1_Size{L"BD1_Size", 23700};
// Whether each made disc is read back and compared with its source (not 0)
// before it counts as made; absent means no, as before the key existed.
inline constexpr IniNumberKey VerifyDisc{L"VerifyDisc", 0};
// "ExecuteAtStart" / "ExecuteAtEnd".
inline constexpr IniTextKey FilePath{L"FilePath", L""};
inline constexpr IniTextKey Parameter{L"Parameter", L""};
inline constexpr IniTextKey SuccessExitCodeList{L"SuccessExitCodeList", L"0"};
inline constexpr IniNumberKey ShowErrorMessage{L"ShowErrorMessage", 1};
// "RecoveryData".
inline constexpr IniTextKey StorageDrive_RegKey{L"StorageDrive_RegKey", L""};
inline constexpr IniTextKey StorageDrive_RegValueName{L"StorageDrive_RegValueName", L""};
inline constexpr IniTextKey Inf_ImageInfo_32{L"Inf_ImageInfo_32", L""};
inline constexpr IniTextKey Inf_ImageInfo_64{L"Inf_ImageInfo_64", L""};
// "SelectDiscSet" and "Finish".
inline constexpr IniNumberKey CanSelectODD{L"CanSelectODD", 1};
inline constexpr IniNumberKey BackButton_Visible{L"BackButton_Visible", 1};
inline constexpr IniNumberKey BackToFirstStep{L"BackToFirstStep", 0};

// Language texts: every key defaults to the empty text.
inline constexpr IniTextKey AppName{L"AppName", L""};
inline constexpr IniTextKey FuncDescription{L"FuncDescription", L""};
inline constexpr IniTextKey Step1{L"Step1", L""};
inline constexpr IniTextKey Step2{L"Step2", L""};
inline constexpr IniTextKey Step3{L"Step3", L""};
inline constexpr IniTextKey Step4{L"Step4", L""};
inline constexpr IniTextKey HelpButton{L"HelpButton", L""};
inline constexpr IniTextKey MinimizeButton{L"MinimizeButton", L""};
inline constexpr IniTextKey CloseButton{L"CloseButton", L""};
inline constexpr IniTextKey DVD1{L"DVD1", L""};
inline constexpr IniTextKey BD1{L"BD1", L""};
inline constexpr IniTextKey DriveNameOutputFormat{L"DriveNameOutputFormat", L""};
inline constexpr IniTextKey DriveType_ODD_DVD{L"DriveType_ODD_DVD", L""};
inline constexpr IniTextKey DriveType_ODD_BD{L"DriveType_ODD_BD", L""};
inline constexpr IniTextKey Msg_ExitApplication{L"Msg_ExitApplication", L""};
inline constexpr IniTextKey Msg_UnknownError{L"Msg_UnknownError", L""};
inline constexpr IniTextKey Msg_LaunchedOnOther{L"Msg_LaunchedOnOther", L""};
inline constexpr IniTextKey Msg_BackupAppLaunchedOnOther{L"Msg_BackupAppLaunchedOnOther", L""};
inline constexpr IniTextKey Msg_HideDriveOpended{L"Msg_HideDriveOpended", L""};
inline constexpr IniTextKey Msg_FileLacked{L"Msg_FileLacked", L""};
inline constexpr IniTextKey Msg_BurnAppNotInstalled{L"Msg_BurnAppNotInstalled", L""};
inline constexpr IniTextKey Msg_ConnectAcPower{L"Msg_ConnectAcPower", L""};
inline constexpr IniTextKey Msg_GettingDriveInfoFailed{L"Msg_GettingDriveInfoFailed", L""};
inline constexpr IniTextKey Msg_GettingDiscSetInfoFailed{L"Msg_GettingDiscSetInfoFailed", L""};
inline constexpr IniTextKey Msg_Error{L"Msg_Error", L""};
inline constexpr IniTextKey StepDescription{L"StepDescription", L""};
inline constexpr IniTextKey DiscSet{L"DiscSet", L""};
inline constexpr IniTextKey ODD{L"ODD", L""};
inline constexpr IniTextKey DiscType{L"DiscType", L""};
inline constexpr IniTextKey DiscCount{L"DiscCount", L""};
inline constexpr IniTextKey NextButton{L"NextButton", L""};
inline constexpr IniTextKey BackButton{L"BackButton", L""};
inline constexpr IniTextKey Msg_NoDiscSetData{L"Msg_NoDiscSetData", L""};
inline constexpr IniTextKey Msg_NoUsableODD{L"Msg_NoUsableODD", L""};
inline constexpr IniTextKey Msg_AlreadyWritten{L"Msg_AlreadyWritten", L""};
inline constexpr IniTextKey StepAttention{L"StepAttention", L""};
inline constexpr IniTextKey Msg_MakingDiscFailed{L"Msg_MakingDiscFailed", L""};
inline constexpr IniTextKey Msg_VerifyFailed{L"Msg_VerifyFailed", L""};
inline constexpr IniTextKey Msg_VerifyNoDisc{L"Msg_VerifyNoDisc", L""};
inline constexpr IniTextKey VerifyCaption{L"VerifyCaption", L""};
inline constexpr IniTextKey VerifyHeading{L"VerifyHeading", L""};
inline constexpr IniTextKey VerifyBytes{L"VerifyBytes", L""};
inline constexpr IniTextKey VerifyTimeLeft{L"VerifyTimeLeft", L""};
inline constexpr IniTextKey VerifyTimeUnknown{L"VerifyTimeUnknown", L""};
inline constexpr IniTextKey VerifyCancel{L"VerifyCancel", L""};
inline constexpr IniTextKey SuccessReport{L"SuccessReport", L""};
inline constexpr IniTextKey S_ResultDetailInfo{L"S_ResultDetailInfo", L""};
inline constexpr IniTextKey S_S_Info{L"S_S_Info", L""};
inline constexpr IniTextKey S_SV_Info{L"S_SV_Info", L""};
inline constexpr IniTextKey AbortReport{L"AbortReport", L""};
inline constexpr IniTextKey A_ResultDetailInfo{L"A_ResultDetailInfo", L""};
inline constexpr IniTextKey A_S_Info{L"A_S_Info", L""};
inline constexpr IniTextKey A_SV_Info{L"A_SV_Info", L""};
inline constexpr IniTextKey A_A_Info{L"A_A_Info", L""};
inline constexpr IniTextKey FailureReport{L"FailureReport", L""};
inline constexpr IniTextKey F_ResultDetailInfo{L"F_ResultDetailInfo", L""};
inline constexpr IniTextKey F_S_Info{L"F_S_Info", L""};
inline constexpr IniTextKey F_SV_Info{L"F_SV_Info", L""};
inline constexpr IniTextKey F_A_Info{L"F_A_Info", L""};
inline constexpr IniTextKey F_F_Info_Unknown{L"F_F_Info_Unknown", L""};
inline constexpr IniTextKey F_F_Info_NoBurnEngine{L"F_F_Info_NoBurnEngine", L""};
inline constexpr IniTextKey F_F_Info_Preparing{L"F_F_Info_Preparing", L""};
inline constexpr IniTextKey F_F_Info_Burning{L"F_F_Info_Burning", L""};
inline constexpr IniTextKey F_F_Info_Verifying{L"F_F_Info_Verifying", L""};
inline constexpr IniTextKey F_F_Info_VerifyFailed{L"F_F_Info_VerifyFailed", L""};
inline constexpr IniTextKey OkButton{L"OkButton", L""};

// Disc-set file, sections "Info_n" and "Task_DVD1_n_m" / "Task_BD1_n_m".
inline constexpr IniTextKey Title{L"Title", L""};
inline constexpr IniTextKey VolumeLabel{L"VolumeLabel", L""};
inline constexpr IniTextKey Type{L"Type", L""};
inline constexpr IniTextKey Folder{L"Folder", L""};
inline constexpr IniTextKey Message{L"Message", L""};
inline constexpr IniTextKey BootImg{L"BootImg", L""};
inline constexpr IniNumberKey BootImgType{L"BootImgType", 0};
inline constexpr IniTextKey ExclusionList{L"ExclusionList", L""};
inline constexpr IniTextKey Flag{L"Flag", L""};

}  // namespace IniKey
