// The settings that start-up loads once and every window reads until the
// process ends: the application texts and general messages of the
// language file, and the fonts of the action settings file.
#pragma once

#include <string>

#include "config/core/act_ini_data.h"
#include "config/core/lang_ini_data.h"

namespace tw {

struct ProcessRecords {
  LangIni::AppData App;            // "AppName" is the caption of every message box
  LangIni::GnrlMsgData Messages;   // section "GeneralMessage"
  ActIni::AppData Fonts;           // section "Application" of the action file
};

ProcessRecords& Records();

// Loads language sections "Application" and "GeneralMessage", then action
// sections "Application", "OpticalDisc" and "RecoveryData" (the last two
// into tw::Settings(), with the application name).
void LoadProcessRecords(const std::wstring& langIniPath, const std::wstring& actIniPath);

}  // namespace tw
