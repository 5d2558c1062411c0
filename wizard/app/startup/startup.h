// The wizard's start-up and shutdown: everything that decides, before any
// window opens, whether the wizard may run, the programs run before and
// after it, and the process exit code (0 finished, 1 closed by the user,
// 2 error).
#pragma once

#include <windows.h>

#include <string>

#include "app/handles.h"

// The single-instance mutex, held from the check until the process ends.
class CMutexChecker {
 public:
  static constexpr const wchar_t* kMutexName = L"Global\\{B7EE70A8-50B2-4DD0-ACAC-F45D5B931A64}";
  // 0 created (this is the only copy; the handle stays open), 1 another
  // copy holds it (handle closed), 2 it could not be created (logged).
  int CheckMutex();

 private:
  tw::UniqueHandle mutex_;
};

// True when the named mutex does not exist. Otherwise brings the program
// that holds it to the front or tells the user, and returns false.
bool ChkExistanceOfMutex(const wchar_t* name);
// True when the start and end programs and the common exclusion list
// exist; otherwise shows "Msg_FileLacked" and returns false.
bool ChkExistanceOfNeedfulFile(const std::wstring& actIniPath);
// True when a start program is configured and the recovery-data drive is
// already reachable under its letter.
bool ChkHideDrvOpened(const std::wstring& actIniPath);
// Run the configured start or end program and judge its exit code; true
// on success or when none is configured.
bool DoStartProcessing(const std::wstring& langIniPath, const std::wstring& actIniPath);
bool DoEndProcessing(const std::wstring& langIniPath, const std::wstring& actIniPath);
// Loads the common dialog library into the process for its lifetime.
void LoadQLNCmnDlgDll_Dummy();

namespace tw {

// The foreign mutexes of the backup product family, in the order checked.
extern const wchar_t* const kForeignMutexes[4];

// Runs start-up, the main window and shutdown; returns the exit code.
// The first thing it does is restrict the process's library search to the
// system folder (library_search.h).
// `commandLine` is the process's own command line (the entry point passes
// GetCommandLineW(); tests pass their own).
int RunTarnwright(HINSTANCE instance, const wchar_t* commandLine);

}  // namespace tw
