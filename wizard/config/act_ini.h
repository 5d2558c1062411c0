// Reader of the action settings file "Tarnwright_Act.ini": one operation
// per section, each returning its record (defaults where the file, the
// section or a key is missing; failures go to the log only).
#pragma once

#include <string>

#include "config/core/act_ini_data.h"

namespace ActIni {

class CIniMgr {
 public:
  static AppData GetAppData(const std::wstring& iniPath);                  // "Application"
  static OptclDiscData GetOptclDiscData(const std::wstring& iniPath);      // "OpticalDisc"
  static ExcData GetExcAtStrtData(const std::wstring& iniPath);            // "ExecuteAtStart"
  static ExcData GetExcAtEndData(const std::wstring& iniPath);             // "ExecuteAtEnd"
  static RcvDataData GetRcvDataData(const std::wstring& iniPath);          // "RecoveryData"
  static SlctDiscSetData GetSlctDiscSetData(const std::wstring& iniPath);  // "SelectDiscSet"
  static FnshData GetFnshData(const std::wstring& iniPath);                // "Finish"
};

}  // namespace ActIni

// Copies the disc capacities ("OpticalDisc") and the recovery-data lookup
// and accepted image kinds ("RecoveryData") into the process-wide settings.
// Start-up calls it once.
void LoadProcessWideActionSettings(const std::wstring& actIniPath);
