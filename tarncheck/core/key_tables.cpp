#include "key_tables.h"

#include "app/core/text.h"
#include "config/core/ini_keys.h"

namespace tc {
namespace {

namespace K = IniKey;

const std::wstring kDiscName = L"%DiscName%";
const std::wstring kDiscSetName = L"%DiscSetName%";
const std::wstring kDriveType = L"%DriveType%";
const std::wstring kDriveRootPath = L"%DriveRootPath%";
const std::wstring kDiscNum = L"%DiscNum%";

KeyDef T(const IniTextKey& key, std::vector<std::wstring> placeholders = {}) {
  return {key.name, ValueKind::Text, key.defaultValue, std::move(placeholders)};
}
KeyDef B(const IniTextKey& key, std::vector<std::wstring> placeholders = {}) {
  return {key.name, ValueKind::TextWithBreaks, key.defaultValue, std::move(placeholders)};
}
KeyDef N(const IniNumberKey& key) { return {key.name, ValueKind::Number, tw::Dec(key.defaultValue), {}}; }
KeyDef S(const IniNumberKey& key) { return {key.name, ValueKind::Switch, tw::Dec(key.defaultValue), {}}; }
KeyDef L(const IniTextKey& key) { return {key.name, ValueKind::NumberList, key.defaultValue, {}}; }

}  // namespace

const std::vector<SectionDef>& LanguageSections() {
  static const std::vector<SectionDef> sections = {
      {L"Application",
       {T(K::AppName), T(K::FuncDescription), T(K::Step1), T(K::Step2), T(K::Step3), T(K::Step4), T(K::HelpButton),
        T(K::MinimizeButton), T(K::CloseButton)}},
      {L"OpticalDisc", {T(K::DVD1), T(K::BD1)}},
      {L"Drive",
       {T(K::DriveNameOutputFormat, {kDriveType, kDriveRootPath}), T(K::DriveType_ODD_DVD), T(K::DriveType_ODD_BD)}},
      {L"GeneralMessage",
       {B(K::Msg_ExitApplication), B(K::Msg_UnknownError), B(K::Msg_LaunchedOnOther),
        B(K::Msg_BackupAppLaunchedOnOther), B(K::Msg_HideDriveOpended), B(K::Msg_FileLacked),
        B(K::Msg_BurnAppNotInstalled), B(K::Msg_ConnectAcPower), B(K::Msg_GettingDriveInfoFailed),
        B(K::Msg_GettingDiscSetInfoFailed)}},
      {L"ExecuteAtStart", {B(K::Msg_Error)}},
      {L"ExecuteAtEnd", {B(K::Msg_Error)}},
      {L"SelectDiscSet",
       {T(K::StepDescription), T(K::DiscSet), T(K::ODD), T(K::DiscType), T(K::DiscCount), T(K::NextButton),
        T(K::BackButton), B(K::Msg_NoDiscSetData), B(K::Msg_NoUsableODD), B(K::Msg_AlreadyWritten)}},
      {L"CheckDisc", {B(K::StepDescription), B(K::StepAttention), T(K::NextButton), T(K::BackButton)}},
      {L"MakeDisc",
       {T(K::NextButton), T(K::BackButton), B(K::Msg_MakingDiscFailed, {kDiscName}),
        B(K::Msg_VerifyFailed, {kDiscName}), B(K::Msg_VerifyNoDisc, {kDiscName}), T(K::VerifyCaption),
        B(K::VerifyHeading, {kDiscName}), T(K::VerifyBytes, {L"%Done%", L"%Total%"}),
        T(K::VerifyTimeLeft, {L"%TimeLeft%"}), T(K::VerifyTimeUnknown), T(K::VerifyCancel)}},
      {L"Finish",
       {B(K::SuccessReport, {kDiscSetName}), T(K::S_ResultDetailInfo), B(K::S_S_Info, {kDiscName}),
        B(K::AbortReport, {kDiscSetName}), T(K::A_ResultDetailInfo), B(K::A_S_Info, {kDiscName}),
        B(K::A_A_Info, {kDiscName}), B(K::FailureReport, {kDiscSetName}), T(K::F_ResultDetailInfo),
        B(K::F_S_Info, {kDiscName}), B(K::F_A_Info, {kDiscName}), B(K::F_F_Info_Unknown, {kDiscName}),
        B(K::F_F_Info_NoBurnEngine, {kDiscName}), B(K::F_F_Info_Preparing, {kDiscName}),
        B(K::F_F_Info_Burning, {kDiscName}), B(K::F_F_Info_Verifying, {kDiscName}), T(K::OkButton),
        B(K::S_SV_Info, {kDiscName}), B(K::A_SV_Info, {kDiscName}), B(K::F_SV_Info, {kDiscName}),
        B(K::F_F_Info_VerifyFailed, {kDiscName})}},
  };
  return sections;
}

const std::vector<SectionDef>& ActionSections() {
  static const std::vector<SectionDef> sections = {
      {L"Application",
       {N(K::FontSize1), T(K::FontName1), N(K::FontSize2), T(K::FontName2), N(K::FontSize3), T(K::FontName3)}},
      {L"OpticalDisc", {N(K::DVD1_Size), N(K::BD1_Size), N(K::VerifyDisc)}},
      {L"ExecuteAtStart", {T(K::FilePath), T(K::Parameter), L(K::SuccessExitCodeList), S(K::ShowErrorMessage)}},
      {L"ExecuteAtEnd", {T(K::FilePath), T(K::Parameter), L(K::SuccessExitCodeList), S(K::ShowErrorMessage)}},
      {L"RecoveryData",
       {T(K::StorageDrive_RegKey), T(K::StorageDrive_RegValueName), T(K::Inf_ImageInfo_32), T(K::Inf_ImageInfo_64)}},
      {L"SelectDiscSet", {S(K::CanSelectODD), S(K::BackButton_Visible)}},
      {L"Finish", {S(K::BackToFirstStep)}},
  };
  return sections;
}

const SectionDef& SetInfoSection() {
  static const SectionDef section = {L"Info_n", {T(K::Title)}};
  return section;
}

const SectionDef& TaskSection() {
  static const SectionDef section = {
      L"Task",
      {T(K::Title, {kDiscNum}), T(K::VolumeLabel, {kDiscNum}), T(K::Type), T(K::Folder), T(K::Message),
       T(K::BootImg), N(K::BootImgType), T(K::ExclusionList), T(K::Flag, {kDiscNum})}};
  return section;
}

const SectionDef& HelpSection() {
  static const SectionDef section = {
      L"Help",
      {{L"4000", ValueKind::Text, L"", {}},
       {L"4001", ValueKind::Text, L"", {}},
       {L"4002", ValueKind::Text, L"", {}},
       {L"4004", ValueKind::Text, L"", {}},
       {L"Default", ValueKind::Text, L"", {}}}};
  return section;
}

const std::vector<std::wstring>& KnownPlaceholders() {
  static const std::vector<std::wstring> all = {kDiscName, kDiscSetName, kDriveType, kDriveRootPath, kDiscNum};
  return all;
}

const KeyDef* FindKey(const SectionDef& section, const std::wstring& name) {
  for (const KeyDef& key : section.keys) {
    if (tw::EqualsNoCase(key.name, name)) return &key;
  }
  return nullptr;
}

}  // namespace tc
