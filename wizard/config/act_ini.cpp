#include "act_ini.h"

#include "app/settings.h"
#include "config/section_reader.h"

namespace ActIni {

using tw::config::ReadSection;

AppData CIniMgr::GetAppData(const std::wstring& iniPath) {
  return ReadSection<AppData>(L"ActIni::CIniMgr::GetAppData", __LINE__, iniPath, L"Application", ParseAppData);
}

OptclDiscData CIniMgr::GetOptclDiscData(const std::wstring& iniPath) {
  return ReadSection<OptclDiscData>(L"ActIni::CIniMgr::GetOptclDiscData", __LINE__, iniPath, L"OpticalDisc",
                                    ParseOptclDiscData);
}

ExcData CIniMgr::GetExcAtStrtData(const std::wstring& iniPath) {
  return ReadSection<ExcData>(L"ActIni::CIniMgr::GetExcAtStrtData", __LINE__, iniPath, L"ExecuteAtStart", ParseExcData);
}

ExcData CIniMgr::GetExcAtEndData(const std::wstring& iniPath) {
  return ReadSection<ExcData>(L"ActIni::CIniMgr::GetExcAtEndData", __LINE__, iniPath, L"ExecuteAtEnd", ParseExcData);
}

RcvDataData CIniMgr::GetRcvDataData(const std::wstring& iniPath) {
  return ReadSection<RcvDataData>(L"ActIni::CIniMgr::GetRcvDataData", __LINE__, iniPath, L"RecoveryData", ParseRcvDataData);
}

SlctDiscSetData CIniMgr::GetSlctDiscSetData(const std::wstring& iniPath) {
  return ReadSection<SlctDiscSetData>(L"ActIni::CIniMgr::GetSlctDiscSetData", __LINE__, iniPath, L"SelectDiscSet",
                                      ParseSlctDiscSetData);
}

FnshData CIniMgr::GetFnshData(const std::wstring& iniPath) {
  return ReadSection<FnshData>(L"ActIni::CIniMgr::GetFnshData", __LINE__, iniPath, L"Finish", ParseFnshData);
}

}  // namespace ActIni

void LoadProcessWideActionSettings(const std::wstring& actIniPath) {
  const ActIni::OptclDiscData discs = ActIni::CIniMgr::GetOptclDiscData(actIniPath);
  const ActIni::RcvDataData recovery = ActIni::CIniMgr::GetRcvDataData(actIniPath);
  tw::ProcessSettings& settings = tw::Settings();
  settings.Dvd1SizeMiB = discs.DVD1_Size;
  settings.Bd1SizeMiB = discs.BD1_Size;
  settings.VerifyDisc = discs.VerifyDisc != 0;
  settings.StorageDriveRegKey = recovery.StorageDrive_RegKey;
  settings.StorageDriveRegValueName = recovery.StorageDrive_RegValueName;
  settings.ImageInfo32 = recovery.Inf_ImageInfo_32;
  settings.ImageInfo64 = recovery.Inf_ImageInfo_64;
}
