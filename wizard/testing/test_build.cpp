#include "test_build.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "app/core/text.h"
#include "app/owner_count.h"
#include "app/power.h"
#include "app/syshelpers.h"
#include "steps/disc_verifier.h"

namespace twtest {
namespace {

std::wstring BesideProgram(const wchar_t* name) {
  wchar_t folder[MAX_PATH + 1] = {};
  if (GetModuleFolderPath(::GetModuleHandleW(nullptr), folder) != 0) return std::wstring();
  return tw::JoinPath(folder, name);
}

std::wstring PowerIni() { return BesideProgram(L"TestPower.ini"); }

// What a test outside cannot read from this process where cross-process
// memory reads do not work (a 32-bit program under emulation): which common
// controls library the process got from its manifest, and its bitness.
void RecordProcess() {
  const std::wstring ini = BesideProgram(L"TestBuild.ini");
  HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
  wchar_t path[MAX_PATH + 1] = {};
  if (comctl) ::GetModuleFileNameW(comctl, path, MAX_PATH);
  DLLVERSIONINFO version{};
  version.cbSize = sizeof(version);
  auto getVersion = comctl ? reinterpret_cast<DLLGETVERSIONPROC>(
                                 reinterpret_cast<void*>(::GetProcAddress(comctl, "DllGetVersion")))
                           : nullptr;
  if (getVersion) getVersion(&version);
  ::WritePrivateProfileStringW(L"Process", L"CommonControls", path, ini.c_str());
  ::WritePrivateProfileStringW(
      L"Process", L"CommonControlsVersion",
      (std::to_wstring(version.dwMajorVersion) + L"." + std::to_wstring(version.dwMinorVersion)).c_str(), ini.c_str());
  ::WritePrivateProfileStringW(L"Process", L"PointerBits", std::to_wstring(sizeof(void*) * 8).c_str(), ini.c_str());
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

// A drive's sectors: the file that TestBuild.ini names for its letter
// ([RawDrives] E=...), as the engine stand-in writes an ISO disc's image;
// without one, the drive as the system gives it.
HANDLE TestOpenRawDrive(wchar_t letter) {
  wchar_t file[MAX_PATH + 1] = {};
  const wchar_t key[2] = {letter, L'\0'};
  ::GetPrivateProfileStringW(L"RawDrives", key, L"", file, MAX_PATH, BesideProgram(L"TestBuild.ini").c_str());
  const std::wstring path = file[0] ? std::wstring(file) : std::wstring(L"\\\\.\\") + letter + L":";
  return ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

// A test's disc of a few megabytes is read back before anyone can press
// Cancel: TestBuild.ini [Verify] MsPerMiB paces the reads as a slow drive
// would (read once at start).
DWORD g_msPerMiB = 0;
void TestBeforeRead(uint32_t bytes) {
  if (g_msPerMiB > 0) ::Sleep(static_cast<DWORD>((static_cast<uint64_t>(g_msPerMiB) * bytes) >> 20));
}

}  // namespace

void InstallTestBuildSeams() {
  tw::power::Hooks hooks;
  hooks.getStatus = TestPowerStatus;
  hooks.setExecutionState = TestExecutionState;
  tw::power::SetHooks(hooks);
  g_msPerMiB = ::GetPrivateProfileIntW(L"Verify", L"MsPerMiB", 0, BesideProgram(L"TestBuild.ini").c_str());
  tw::verify::Hooks verify;
  verify.openRawDrive = TestOpenRawDrive;
  verify.beforeRead = TestBeforeRead;
  tw::verify::SetHooks(verify);
  PublishOwnerCounts();
  RecordProcess();
}

bool PublishOwnerCounts() {
  using tw::owners::Table;
  if (tw::owners::g_table != &tw::owners::g_ownTable) return true;
  const std::wstring name = tw::owners::SectionName(::GetCurrentProcessId());
  // Section and view stay until the process ends: readers may come at any time.
  HANDLE section =
      ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Table), name.c_str());
  if (!section) return false;
  auto* table = static_cast<Table*>(::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(Table)));
  if (!table) {
    ::CloseHandle(section);
    return false;
  }
  // Called at the start of the entry, before any other thread of ours
  // counts: nothing is lost between the copy and the switch.
  table->kinds = tw::owners::kKindCount;
  for (uint32_t kind = 0; kind < tw::owners::kKindCount; ++kind) {
    table->live[kind] = tw::owners::g_ownTable.live[kind];
  }
  ::MemoryBarrier();
  table->magic = Table::kMagic;
  tw::owners::g_table = table;
  return true;
}

}  // namespace twtest
