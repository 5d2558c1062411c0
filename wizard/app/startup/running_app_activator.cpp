#include "running_app_activator.h"

#include <psapi.h>

#include <iterator>
#include <type_traits>
#include <vector>

#include "app/core/text.h"
#include "app/guard.h"
#include "app/handles.h"
#include "app/library_search.h"
#include "app/syshelpers.h"

namespace {

struct ConflictRow {
  const wchar_t* key;
  const wchar_t* value;
  const wchar_t* program;
};
constexpr ConflictRow kConflicts[] = {
    {L"SOFTWARE\\Norvane\\Kilnspar", L"InstFolder", L"KSCORE.EXE"},
    {L"SOFTWARE\\Norvane\\Quillon", L"InstFolder", L"Filekeep\\QLNPROG.EXE"},
    {L"SOFTWARE\\Norvane\\Quillon", L"InstFolder", L"Filekeep\\QLNMAIN.EXE"},
    {L"SOFTWARE\\Norvane\\Quillon", L"InstFolder", L"Drivekeep\\Drivekeep.exe"},
    {L"SOFTWARE\\Norvane\\Quillon", L"InstFolder", L"Drivekeep\\Drivekeep_BF.exe"},
    {L"SOFTWARE\\Norvane\\Quillon", L"InstFolder", L"Tarnwright\\Tarnwright.exe"},
};

// The process list grows by doubling from 1024 entries up to this many.
constexpr size_t kMaxProcessIds = 65536;

std::wstring CandidateOf(const ConflictRow& row) {
  tw::UniqueKey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, row.key, 0, KEY_READ | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS) {
    return std::wstring();
  }
  wchar_t value[261] = {};  // 520 bytes offered; one spare unit keeps it terminated
  DWORD bytes = 520;
  DWORD type = 0;
  if (::RegQueryValueExW(key.get(), row.value, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
          ERROR_SUCCESS ||
      value[0] == L'\0') {
    return std::wstring();
  }
  std::wstring path = value;
  if (path.back() != L'\\') path += L'\\';
  return path + row.program;
}

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
// The kernel32 and Psapi forms share these types; a calling convention or
// argument that differed from the system's would break the 32-bit stack.
static_assert(std::is_same_v<EnumProcessesFn, decltype(&::EnumProcesses)>, "bound as the system declares it");
static_assert(std::is_same_v<EnumProcessModulesFn, decltype(&::EnumProcessModules)>, "bound as the system declares it");
static_assert(std::is_same_v<GetModuleFileNameExFn, decltype(&::GetModuleFileNameExW)>, "bound as the system declares it");

template <typename T>
T Bind(HMODULE library, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

// The executable of a process: its first module's file name, or, where
// modules cannot be listed (a 32-bit program looking at a 64-bit one, or a
// process it may not read), the image name the system keeps for it. Empty
// when neither can be had.
std::wstring ImagePathOf(DWORD id, EnumProcessModulesFn enumModules, GetModuleFileNameExFn moduleName) {
  wchar_t name[MAX_PATH + 1] = {};
  tw::UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
  HMODULE first = nullptr;
  DWORD needed = 0;
  if (process && enumModules(process.get(), &first, sizeof(first), &needed) && first &&
      moduleName(process.get(), first, name, MAX_PATH) != 0) {
    return name;
  }
  tw::UniqueHandle limited(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  DWORD size = MAX_PATH;
  if (!limited || !::QueryFullProcessImageNameW(limited.get(), 0, name, &size)) return std::wstring();
  return std::wstring(name, size);
}

}  // namespace

CRunningAppActivator::CRunningAppActivator(HWND foreground)
    : ownProcessId_(::GetCurrentProcessId()), foreground_(foreground) {}

bool CRunningAppActivator::Activate() {
  std::wstring candidates[std::size(kConflicts)];
  for (size_t i = 0; i < std::size(kConflicts); ++i) candidates[i] = CandidateOf(kConflicts[i]);

  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ::GetVersionExW(&version);
#pragma GCC diagnostic pop
  const bool inKernel = version.dwMajorVersion <= 6 && version.dwMinorVersion >= 1;
  tw::UniqueModule library(tw::LoadSystemLibrary(inKernel ? L"kernel32.dll" : L"Psapi.dll"));
  if (!library) return false;
  auto enumProcesses = Bind<EnumProcessesFn>(library.get(), inKernel ? "K32EnumProcesses" : "EnumProcesses");
  auto enumModules = Bind<EnumProcessModulesFn>(library.get(), inKernel ? "K32EnumProcessModules" : "EnumProcessModules");
  auto moduleName =
      Bind<GetModuleFileNameExFn>(library.get(), inKernel ? "K32GetModuleFileNameExW" : "GetModuleFileNameExW");
  if (!enumProcesses || !enumModules || !moduleName) return false;

  std::vector<DWORD> ids(1024);
  DWORD bytes = 0;
  for (;;) {
    const DWORD offered = static_cast<DWORD>(ids.size() * sizeof(DWORD));
    if (!enumProcesses(ids.data(), offered, &bytes) || bytes == 0) return false;
    if (bytes < offered || ids.size() >= kMaxProcessIds) break;
    ids.resize(ids.size() * 2);  // a full list may have been cut off
  }
  ids.resize(bytes / sizeof(DWORD));

  size_t taken = 0;
  for (DWORD id : ids) {
    if (taken == kSlots) break;
    if (id == ownProcessId_) continue;
    const std::wstring name = ImagePathOf(id, enumModules, moduleName);
    if (name.empty()) continue;
    for (const std::wstring& candidate : candidates) {
      if (taken == kSlots) break;
      if (candidate.empty() || !tw::EqualsNoCase(candidate, name)) continue;
      slots_[taken++] = Slot{id, true, 1, nullptr};
    }
  }
  if (taken == 0) return false;

  ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(this));
  for (const Slot& slot : slots_) {
    if (slot.inUse && slot.window) {
      BringToFront(slot.window);
      return true;
    }
  }
  return false;
}

BOOL CALLBACK CRunningAppActivator::CollectWindow(HWND window, LPARAM self) {
  return TW_GUARDED(L"CRunningAppActivator::CollectWindow", TRUE, [&]() -> BOOL {
    auto* activator = reinterpret_cast<CRunningAppActivator*>(self);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (!::IsWindowVisible(window) || owner == activator->ownProcessId_) return TRUE;
    for (Slot& slot : activator->slots_) {
      if (!slot.inUse || slot.processId != owner) continue;
      if (!slot.window) slot.window = ::GetLastActivePopup(window);
      break;
    }
    return TRUE;
  });
}

void CRunningAppActivator::BringToFront(HWND target) const {
  if (foreground_) ::SetForegroundWindow(foreground_);
  HWND current = ::GetForegroundWindow();
  if (!current || current == target) return;
  const DWORD own = ::GetCurrentThreadId();
  const DWORD other = ::GetWindowThreadProcessId(current, nullptr);
  const bool attach = other != own && ::AttachThreadInput(own, other, TRUE);
  ::SetForegroundWindow(target);
  ::SetActiveWindow(target);
  if (attach) ::AttachThreadInput(own, other, FALSE);
}
