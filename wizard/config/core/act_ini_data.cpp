#include "act_ini_data.h"

namespace ActIni {

using tw::ini::ApplyLines;
using tw::ini::NumberField;
using tw::ini::SwitchField;
using tw::ini::TextField;

AppData ParseAppData(const Lines& lines) {
  AppData data;
  ApplyLines(lines, {NumberField(IniKey::FontSize1, data.FontSize1), TextField(IniKey::FontName1, data.FontName1),
                     NumberField(IniKey::FontSize2, data.FontSize2), TextField(IniKey::FontName2, data.FontName2),
                     NumberField(IniKey::FontSize3, data.FontSize3), TextField(IniKey::FontName3, data.FontName3)});
  // A font's face name holds 31 characters; a longer name is cut rather
  // than left to overrun the font description.
  for (std::wstring* name : {&data.FontName1, &data.FontName2, &data.FontName3}) {
    if (name->size() > kMaxFaceNameChars) name->resize(kMaxFaceNameChars);
  }
  return data;
}

OptclDiscData ParseOptclDiscData(const Lines& lines) {
  OptclDiscData data;
  ApplyLines(lines, {NumberField(IniKey::DVD1_Size, data.DVD1_Size), NumberField(IniKey::BD1_Size, data.BD1_Size),
                     NumberField(IniKey::VerifyDisc, data.VerifyDisc)});
  return data;
}

ExcData ParseExcData(const Lines& lines) {
  ExcData data;
  ApplyLines(lines, {TextField(IniKey::FilePath, data.FilePath), TextField(IniKey::Parameter, data.Parameter),
                     TextField(IniKey::SuccessExitCodeList, data.SuccessExitCodeList),
                     SwitchField(IniKey::ShowErrorMessage, data.ShowErrorMessage)});
  return data;
}

RcvDataData ParseRcvDataData(const Lines& lines) {
  RcvDataData data;
  ApplyLines(lines, {TextField(IniKey::StorageDrive_RegKey, data.StorageDrive_RegKey),
                     TextField(IniKey::StorageDrive_RegValueName, data.StorageDrive_RegValueName),
                     TextField(IniKey::Inf_ImageInfo_32, data.Inf_ImageInfo_32),
                     TextField(IniKey::Inf_ImageInfo_64, data.Inf_ImageInfo_64)});
  return data;
}

SlctDiscSetData ParseSlctDiscSetData(const Lines& lines) {
  SlctDiscSetData data;
  ApplyLines(lines, {SwitchField(IniKey::CanSelectODD, data.CanSelectODD),
                     SwitchField(IniKey::BackButton_Visible, data.BackButton_Visible)});
  return data;
}

FnshData ParseFnshData(const Lines& lines) {
  FnshData data;
  ApplyLines(lines, {SwitchField(IniKey::BackToFirstStep, data.BackToFirstStep)});
  return data;
}

}  // namespace ActIni
