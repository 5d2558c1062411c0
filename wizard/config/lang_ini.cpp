#include "lang_ini.h"

#include "config/section_reader.h"

namespace LangIni {

using tw::config::ReadSection;

AppData CIniMgr::GetAppData(const std::wstring& iniPath) {
  return ReadSection<AppData>(L"LangIni::CIniMgr::GetAppData", __LINE__, iniPath, L"Application", ParseAppData);
}

OptclDiscData CIniMgr::GetOptclDiscData(const std::wstring& iniPath) {
  return ReadSection<OptclDiscData>(L"LangIni::CIniMgr::GetOptclDiscData", __LINE__, iniPath, L"OpticalDisc",
                                    ParseOptclDiscData);
}

DriveData CIniMgr::GetDriveData(const std::wstring& iniPath) {
  return ReadSection<DriveData>(L"LangIni::CIniMgr::GetDriveData", __LINE__, iniPath, L"Drive", ParseDriveData);
}

GnrlMsgData CIniMgr::GetGnrlMsgData(const std::wstring& iniPath) {
  return ReadSection<GnrlMsgData>(L"LangIni::CIniMgr::GetGnrlMsgData", __LINE__, iniPath, L"GeneralMessage", ParseGnrlMsgData);
}

ExcData CIniMgr::GetExcAtStrtData(const std::wstring& iniPath) {
  return ReadSection<ExcData>(L"LangIni::CIniMgr::GetExcAtStrtData", __LINE__, iniPath, L"ExecuteAtStart", ParseExcData);
}

ExcData CIniMgr::GetExcAtEndData(const std::wstring& iniPath) {
  return ReadSection<ExcData>(L"LangIni::CIniMgr::GetExcAtEndData", __LINE__, iniPath, L"ExecuteAtEnd", ParseExcData);
}

SlctDiscSetData CIniMgr::GetSlctDiscSetData(const std::wstring& iniPath) {
  return ReadSection<SlctDiscSetData>(L"LangIni::CIniMgr::GetSlctDiscSetData", __LINE__, iniPath, L"SelectDiscSet",
                                      ParseSlctDiscSetData);
}

ChkDiscData CIniMgr::GetChkDiscData(const std::wstring& iniPath) {
  return ReadSection<ChkDiscData>(L"LangIni::CIniMgr::GetChkDiscData", __LINE__, iniPath, L"CheckDisc", ParseChkDiscData);
}

MkDiscData CIniMgr::GetMkDiscData(const std::wstring& iniPath) {
  return ReadSection<MkDiscData>(L"LangIni::CIniMgr::GetMkDiscData", __LINE__, iniPath, L"MakeDisc", ParseMkDiscData);
}

FnshData CIniMgr::GetFnshData(const std::wstring& iniPath) {
  return ReadSection<FnshData>(L"LangIni::CIniMgr::GetFnshData", __LINE__, iniPath, L"Finish", ParseFnshData);
}

}  // namespace LangIni
