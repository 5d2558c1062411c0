// Reader of the language texts file "Tarnwright_Lang.ini": one operation
// per section, each returning its record (empty texts where the file, the
// section or a key is missing; failures go to the log only).
#pragma once

#include <string>

#include "config/core/lang_ini_data.h"

namespace LangIni {

class CIniMgr {
 public:
  static AppData GetAppData(const std::wstring& iniPath);                  // "Application"
  static OptclDiscData GetOptclDiscData(const std::wstring& iniPath);      // "OpticalDisc"
  static DriveData GetDriveData(const std::wstring& iniPath);              // "Drive"
  static GnrlMsgData GetGnrlMsgData(const std::wstring& iniPath);          // "GeneralMessage"
  static ExcData GetExcAtStrtData(const std::wstring& iniPath);            // "ExecuteAtStart"
  static ExcData GetExcAtEndData(const std::wstring& iniPath);             // "ExecuteAtEnd"
  static SlctDiscSetData GetSlctDiscSetData(const std::wstring& iniPath);  // "SelectDiscSet"
  static ChkDiscData GetChkDiscData(const std::wstring& iniPath);          // "CheckDisc"
  static MkDiscData GetMkDiscData(const std::wstring& iniPath);            // "MakeDisc"
  static FnshData GetFnshData(const std::wstring& iniPath);                // "Finish"
};

}  // namespace LangIni
