#include "exec.h"

#include <string>
#include <type_traits>
#include <vector>

#include "core/paths.h"
#include "core/text.h"
#include "handles.h"
#include "library_search.h"
#include "log.h"
#include "syshelpers.h"

namespace {

// Command lines of the two direct starts of CShellMgr are built in buffers of
// this many characters, terminator included.
constexpr size_t kUserCommandLineChars = 1024;

// Startup information with every field zero except its size.
STARTUPINFOW EmptyStartupInfo() {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return startup;
}

// The path with a double quote added at either end that lacks one.
std::wstring QuotedPath(const std::wstring& path) {
  std::wstring quoted = path;
  if (quoted.empty() || quoted.front() != L'"') quoted.insert(quoted.begin(), L'"');
  if (quoted.size() < 2 || quoted.back() != L'"') quoted.push_back(L'"');
  return quoted;
}

// A writable, terminated copy for CreateProcess*, which may change it.
std::vector<wchar_t> WritableCopy(const std::wstring& text) {
  std::vector<wchar_t> buffer(text.begin(), text.end());
  buffer.push_back(L'\0');
  return buffer;
}

}  // namespace

bool ExecuteFile(const wchar_t* filePath, const wchar_t* parameters, bool wait, PROCESS_INFORMATION* processInfo,
                 DWORD* exitCode) {
  constexpr wchar_t kFn[] = L"ExecuteFile";
  if (!filePath || !parameters || !processInfo) {
    TW_LOG(kFn, L"");
    return false;
  }
  if (!tw::IsExistingFile(filePath)) {
    TW_LOG(kFn, filePath);
    return false;
  }
  if (!tw::IsFullyQualifiedPath(filePath)) {
    // Never a program that the system would look for along its search
    // order (the program's folder, the current folder, the path).
    TW_LOG(kFn, tw::Hex8With(ERROR_BAD_PATHNAME, filePath));
    return false;
  }
  const std::wstring commandLine = QuotedPath(filePath) + L" " + parameters;
  std::vector<wchar_t> buffer = WritableCopy(commandLine);
  STARTUPINFOW startup = EmptyStartupInfo();
  *processInfo = PROCESS_INFORMATION{};
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP,
                        nullptr, nullptr, &startup, processInfo)) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), commandLine));
    *processInfo = PROCESS_INFORMATION{};
    return false;
  }
  if (!wait) return true;

  for (;;) {
    const DWORD waited = ::WaitForSingleObject(processInfo->hProcess, 1000);
    if (waited == WAIT_OBJECT_0) break;
    if (waited == WAIT_TIMEOUT) continue;
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), commandLine));
    tw::CloseProcessInfo(*processInfo);
    return false;
  }
  if (exitCode && !::GetExitCodeProcess(processInfo->hProcess, exitCode)) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), commandLine));
    tw::CloseProcessInfo(*processInfo);
    return false;
  }
  return true;
}

bool CShellMgr::ExecuteAsUser(const wchar_t* programPath, const wchar_t* parameters,
                              PROCESS_INFORMATION* processInfo) {
  constexpr wchar_t kFn[] = L"CShellMgr::ExecuteAsUser";
  if (!programPath || !processInfo) {
    TW_LOG(kFn, L"");
    return false;
  }
  const wchar_t* params = parameters ? parameters : L"";
  *processInfo = PROCESS_INFORMATION{};
  if (!tw::IsFullyQualifiedPath(programPath)) {
    // Started as the desktop's user or not, a program is never looked for.
    TW_LOG(kFn, tw::Hex8With(ERROR_BAD_PATHNAME, programPath));
    return false;
  }
  STARTUPINFOW startup = EmptyStartupInfo();

  if (Norvane::DeskKit::Common::IsWindowsVistaOrLater() &&
      Norvane::DeskKit::Common::IsRunningAsAdministratorOnVistaOrLater()) {
    tw::UniqueHandle token;
    if (!GetTokenOfShellWindow(token.put())) {
      TW_LOG(kFn, L"");
      return false;
    }
    if (!CreateProcWithToken(&startup, processInfo, token.get(), programPath, params, L"")) {
      TW_LOG(kFn, programPath);
      TW_LOG(kFn, params);
      return false;
    }
    return true;  // the duplicated token is closed here; the process keeps its own
  }

  const std::wstring commandLine = L"\"" + std::wstring(programPath) + L"\" " + params;
  if (commandLine.size() + 1 > kUserCommandLineChars) {
    // Cutting the line would start the program with other arguments.
    TW_LOG(kFn, tw::Hex8With(ERROR_INSUFFICIENT_BUFFER, commandLine));
    return false;
  }
  std::vector<wchar_t> buffer = WritableCopy(commandLine);
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        processInfo)) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), commandLine));
    *processInfo = PROCESS_INFORMATION{};
    return false;
  }
  return true;
}

bool CShellMgr::GetTokenOfShellWindow(HANDLE* token) {
  constexpr wchar_t kFn[] = L"CShellMgr::GetTokenOfShellWindow";
  if (!token) {
    TW_LOG(kFn, L"");
    return false;
  }
  *token = nullptr;
  HWND shell = ::GetShellWindow();
  if (!shell) {
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
    return false;
  }
  DWORD processId = 0;
  ::GetWindowThreadProcessId(shell, &processId);
  tw::UniqueHandle process(::OpenProcess(MAXIMUM_ALLOWED, FALSE, processId));
  if (!process) {
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
    return false;
  }
  tw::UniqueHandle shellToken;
  if (!::OpenProcessToken(process.get(), MAXIMUM_ALLOWED, shellToken.put())) {
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
    return false;
  }
  tw::UniqueHandle duplicate;
  if (!::DuplicateTokenEx(shellToken.get(), MAXIMUM_ALLOWED, nullptr, SecurityIdentification, TokenPrimary,
                          duplicate.put())) {
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
    return false;
  }
  // The shell's process handle and its token close here; only the
  // duplicate goes to the caller.
  *token = duplicate.release();
  return true;
}

bool CShellMgr::CreateProcWithToken(STARTUPINFOW* startupInfo, PROCESS_INFORMATION* processInfo, HANDLE token,
                                    const wchar_t* programPath, const wchar_t* parameters,
                                    const wchar_t* currentFolder) {
  constexpr wchar_t kFn[] = L"CShellMgr::CreateProcWithToken";
  if (!startupInfo || !processInfo || !token || !programPath) {
    TW_LOG(kFn, L"");
    return false;
  }
  using CreateProcessWithTokenWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR,
                                                  LPSTARTUPINFOW, LPPROCESS_INFORMATION);
  static_assert(std::is_same_v<CreateProcessWithTokenWFn, decltype(&::CreateProcessWithTokenW)>,
                "bound as the system declares it");
  tw::UniqueModule advapi(tw::LoadSystemLibrary(L"Advapi32.dll"));
  if (!advapi) {
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
    return false;
  }
  auto create = reinterpret_cast<CreateProcessWithTokenWFn>(
      reinterpret_cast<void*>(::GetProcAddress(advapi.get(), "CreateProcessWithTokenW")));
  if (!create) {
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
    return false;
  }

  std::wstring commandLine = L"\"" + std::wstring(programPath) + L"\"";
  if (parameters && *parameters) commandLine += L" " + std::wstring(parameters);
  if (commandLine.size() + 1 > kUserCommandLineChars) {
    // Cutting the line would start the program with other arguments.
    TW_LOG(kFn, tw::Hex8With(ERROR_INSUFFICIENT_BUFFER, commandLine));
    return false;
  }
  std::vector<wchar_t> buffer = WritableCopy(commandLine);
  const wchar_t* folder = (currentFolder && *currentFolder) ? currentFolder : nullptr;
  if (!create(token, 0, nullptr, buffer.data(), 0, nullptr, folder, startupInfo, processInfo)) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), commandLine));
    *processInfo = PROCESS_INFORMATION{};
    return false;
  }
  return true;
}
