// Records of the language texts file "Tarnwright_Lang.ini" and the pure
// conversion of a section's lines into each record. Every text defaults to
// empty; placeholders (%DiscName%, %DiscSetName%, %DriveType%,
// %DriveRootPath%) are left for the code that shows the text.
#pragma once

#include <string>
#include <vector>

#include "ini_keys.h"

namespace LangIni {

struct AppData {
  std::wstring AppName, FuncDescription, Step1, Step2, Step3, Step4;
  // The names a screen reader gives the banner's help, minimise and close
  // buttons, which show only pictures.
  std::wstring HelpButton, MinimizeButton, CloseButton;
};

struct OptclDiscData {
  std::wstring DVD1, BD1;
};

struct DriveData {
  std::wstring DriveNameOutputFormat, DriveType_ODD_DVD, DriveType_ODD_BD;
};

struct GnrlMsgData {
  std::wstring Msg_ExitApplication, Msg_UnknownError, Msg_LaunchedOnOther, Msg_BackupAppLaunchedOnOther,
      Msg_HideDriveOpended, Msg_FileLacked, Msg_BurnAppNotInstalled, Msg_ConnectAcPower, Msg_GettingDriveInfoFailed,
      Msg_GettingDiscSetInfoFailed;
};

struct ExcData {
  std::wstring Msg_Error;
};

struct SlctDiscSetData {
  std::wstring StepDescription, DiscSet, ODD, DiscType, DiscCount, NextButton, BackButton, Msg_NoDiscSetData,
      Msg_NoUsableODD, Msg_AlreadyWritten;
};

struct ChkDiscData {
  std::wstring StepDescription, StepAttention, NextButton, BackButton;
};

struct MkDiscData {
  std::wstring NextButton, BackButton, Msg_MakingDiscFailed;
  // Reading the made disc back: the two messages and the progress window.
  std::wstring Msg_VerifyFailed, Msg_VerifyNoDisc, VerifyCaption, VerifyHeading, VerifyBytes, VerifyTimeLeft,
      VerifyTimeUnknown, VerifyCancel;
};

struct FnshData {
  std::wstring SuccessReport, S_ResultDetailInfo, S_S_Info, AbortReport, A_ResultDetailInfo, A_S_Info, A_A_Info,
      FailureReport, F_ResultDetailInfo, F_S_Info, F_A_Info, F_F_Info_Unknown, F_F_Info_NoBurnEngine,
      F_F_Info_Preparing, F_F_Info_Burning, F_F_Info_Verifying, OkButton;
  // A disc made and read back; a disc that differed when read back.
  std::wstring S_SV_Info, A_SV_Info, F_SV_Info, F_F_Info_VerifyFailed;
};

using Lines = std::vector<std::wstring>;
AppData ParseAppData(const Lines& lines);
OptclDiscData ParseOptclDiscData(const Lines& lines);
DriveData ParseDriveData(const Lines& lines);
GnrlMsgData ParseGnrlMsgData(const Lines& lines);
ExcData ParseExcData(const Lines& lines);
SlctDiscSetData ParseSlctDiscSetData(const Lines& lines);
ChkDiscData ParseChkDiscData(const Lines& lines);
MkDiscData ParseMkDiscData(const Lines& lines);
FnshData ParseFnshData(const Lines& lines);

}  // namespace LangIni
