#include "test_build.h"

#include <windows.h>

#include <string>

#include "app/core/text.h"
#include "app/power.h"
#include "app/syshelpers.h"

namespace twtest {
namespace {

std::wstring PowerIni() {
  wchar_t folder[MAX_PATH + 1] = {};
  if (GetModuleFolderPath(::GetModuleHandleW(nullptr), folder) != 0) return std::wstring();
  return tw::JoinPath(folder, L"TestPower.ini");
}

BOOL WINAPI TestPowerStatus(LPSYSTEM_POWER_STATUS status) {
  if (!::GetSystemPowerStatus(status)) return FALSE;
  const std::wstring ini = PowerIni();
  const UINT line = ::GetPrivateProfileIntW(L"Power", L"ACLineStatus", status->ACLineStatus, ini.c_str());
  status->ACLineStatus = static_cast<BYTE>(line);
  return TRUE;
}

EXECUTION_STATE WINAPI TestExecutionState(EXECUTION_STATE state) {
  const EXECUTION_STATE previous = ::SetThreadExecutionState(state);
  const bool held = (state & (ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED)) != 0;
  ::WritePrivateProfileStringW(L"Power", L"KeepAwake", held ? L"1" : L"0", PowerIni().c_str());
  return previous ? previous : ES_CONTINUOUS;
}

}  // namespace

void InstallTestBuildSeams() {
  tw::power::Hooks hooks;
  hooks.getStatus = TestPowerStatus;
  hooks.setExecutionState = TestExecutionState;
  tw::power::SetHooks(hooks);
}

}  // namespace twtest
