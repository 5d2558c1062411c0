// Records of the action settings file "Tarnwright_Act.ini" and the pure
// conversion of a section's lines into each record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ini_keys.h"

namespace ActIni {

// Longest face name a font can take; longer names are cut to this.
constexpr size_t kMaxFaceNameChars = 31;

struct AppData {
  uint32_t FontSize1 = IniKey::FontSize1.defaultValue;
  std::wstring FontName1 = IniKey::FontName1.defaultValue;
  uint32_t FontSize2 = IniKey::FontSize2.defaultValue;
  std::wstring FontName2 = IniKey::FontName2.defaultValue;
  uint32_t FontSize3 = IniKey::FontSize3.defaultValue;
  std::wstring FontName3 = IniKey::FontName3.defaultValue;
};

struct OptclDiscData {
  uint32_t DVD1_Size = IniKey::DVD1_Size.defaultValue;  // units of 2^20 bytes
  uint32_t BD1_Size = IniKey::BD1_Size.defaultValue;
  uint32_t VerifyDisc = IniKey::VerifyDisc.defaultValue;  // not 0: read every made disc back
};

struct ExcData {
  std::wstring FilePath = IniKey::FilePath.defaultValue;
  std::wstring Parameter = IniKey::Parameter.defaultValue;
  std::wstring SuccessExitCodeList = IniKey::SuccessExitCodeList.defaultValue;
  uint32_t ShowErrorMessage = IniKey::ShowErrorMessage.defaultValue;
};

struct RcvDataData {
  std::wstring StorageDrive_RegKey = IniKey::StorageDrive_RegKey.defaultValue;
  std::wstring StorageDrive_RegValueName = IniKey::StorageDrive_RegValueName.defaultValue;
  std::wstring Inf_ImageInfo_32 = IniKey::Inf_ImageInfo_32.defaultValue;
  std::wstring Inf_ImageInfo_64 = IniKey::Inf_ImageInfo_64.defaultValue;
};

struct SlctDiscSetData {
  uint32_t CanSelectODD = IniKey::CanSelectODD.defaultValue;
  uint32_t BackButton_Visible = IniKey::BackButton_Visible.defaultValue;
};

struct FnshData {
  uint32_t BackToFirstStep = IniKey::BackToFirstStep.defaultValue;
};

using Lines = std::vector<std::wstring>;
AppData ParseAppData(const Lines& lines);
OptclDiscData ParseOptclDiscData(const Lines& lines);
ExcData ParseExcData(const Lines& lines);
RcvDataData ParseRcvDataData(const Lines& lines);
SlctDiscSetData ParseSlctDiscSetData(const Lines& lines);
FnshData ParseFnshData(const Lines& lines);

}  // namespace ActIni
