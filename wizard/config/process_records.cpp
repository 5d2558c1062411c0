#include "process_records.h"

#include "app/settings.h"
#include "config/act_ini.h"
#include "config/lang_ini.h"

namespace tw {

ProcessRecords& Records() {
  static ProcessRecords records;
  return records;
}

void LoadProcessRecords(const std::wstring& langIniPath, const std::wstring& actIniPath) {
  ProcessRecords& records = Records();
  records.App = LangIni::CIniMgr::GetAppData(langIniPath);
  records.Messages = LangIni::CIniMgr::GetGnrlMsgData(langIniPath);
  records.Fonts = ActIni::CIniMgr::GetAppData(actIniPath);
  Settings().AppName = records.App.AppName;
  LoadProcessWideActionSettings(actIniPath);
}

}  // namespace tw
