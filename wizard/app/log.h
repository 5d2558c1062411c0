// The machine-wide diagnostic log: a ring of 1000 entries in an INI file
// below the common application data folder.
#pragma once

#include <cstdint>
#include <string>

// Relative path every caller passes, and the module name of every entry.
constexpr const wchar_t kLogRelPath[] = L"Norvane\\Quillon\\Tarnwright\\Tarnwright.log";
constexpr const wchar_t kLogModule[] = L"Tarnwright.exe";

// Writes one entry. Never reports anything: any failure drops the entry.
void WriteLog(const wchar_t* relativePath, const wchar_t* moduleName, const wchar_t* functionName,
              uint32_t sourceLine, const wchar_t* message);

namespace tw {
inline void Log(const wchar_t* function, uint32_t line, const std::wstring& message) {
  ::WriteLog(kLogRelPath, kLogModule, function, line, message.c_str());
}
// Full path of the log file ("" when the shell folder is unavailable).
std::wstring LogFilePath();
}  // namespace tw

// One entry under the caller's qualified name with the current source line:
//   TW_LOG(L"CFuncMgr::GoNextStep", tw::Hex8(GetLastError()));
#define TW_LOG(function, message) ::tw::Log(function, static_cast<uint32_t>(__LINE__), message)
