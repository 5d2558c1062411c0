// tarncheck: checks a Tarnwright deployment and prints a report, or prints
// the wizard's log ring. See README.md beside this file.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/core/log_format.h"
#include "app/core/text.h"
#include "app/log.h"
#include "app/log_reader.h"
#include "app/msgbox.h"
#include "app/syshelpers.h"
#include "check.h"
#include "core/args.h"
#include "core/log_table.h"

namespace {

// A console gets the text as it is; a file or pipe gets UTF-8 with CR LF
// line ends, so that every language's texts survive redirection.
void Print(const std::wstring& text) {
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE || text.empty()) return;
  DWORD written = 0;
  DWORD mode = 0;
  if (::GetConsoleMode(out, &mode)) {
    ::WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  std::wstring crlf;
  crlf.reserve(text.size() + text.size() / 16);
  for (wchar_t c : text) {
    if (c == L'\n') crlf += L'\r';
    crlf += c;
  }
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, crlf.data(), static_cast<int>(crlf.size()), nullptr, 0, nullptr,
                                         nullptr);
  if (size <= 0) return;
  std::string bytes(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, crlf.data(), static_cast<int>(crlf.size()), &bytes[0], size, nullptr, nullptr);
  ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// No message box may wait for a person during a check: the wizard's code
// shows one when an image piece is larger than a disc, and the report says
// so in words instead.
int NoMessageBox(HWND, const wchar_t*, const wchar_t*, UINT) { return IDOK; }

int PrintLog(const std::wstring& since) {
  const std::wstring path = tw::LogFilePath();
  std::vector<tw::LogEntry> entries;
  for (const tw::NumberedLogEntry& numbered : tw::ReadLogRing()) entries.push_back(numbered.entry);
  if (!since.empty()) entries = tc::EntriesSince(entries, since);
  if (entries.empty()) {
    Print(L"No log entries" + std::wstring(since.empty() ? L"" : L" from " + since + L" on") + L" in " +
          (path.empty() ? std::wstring(L"the wizard's log") : path) + L".\n");
    return tc::kExitClean;
  }
  Print(tc::FormatLogTable(entries));
  return tc::kExitClean;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
  full.resize(length);
  if (full.size() > 3) full = tw::WithoutTrailingBackslash(full);
  return full;
}

int Run(const std::vector<std::wstring>& args) {
  const tc::Options options = tc::ParseArgs(args);
  switch (options.mode) {
    case tc::Options::kHelp:
      Print(tc::UsageText());
      return tc::kExitClean;
    case tc::Options::kBad:
      Print(L"tarncheck: " + options.error + L"\n\n" + tc::UsageText());
      return tc::kExitUsage;
    case tc::Options::kLog:
      return PrintLog(options.since);
    case tc::Options::kCheck:
      break;
  }
  std::wstring folder;
  if (options.folder.empty()) {
    wchar_t own[MAX_PATH + 1] = {};
    if (GetModuleFolderPath(::GetModuleHandleW(nullptr), own) != 0) {
      Print(L"tarncheck: the folder of tarncheck.exe cannot be read; name the deployment folder.\n");
      return tc::kExitUsage;
    }
    folder = own;
  } else {
    folder = FullPath(options.folder);
  }
  tw::SetMessageBoxHandler(NoMessageBox);
  tc::Report report;
  tc::CheckDeployment(folder, report);
  Print(report.Render());
  return report.ExitCode();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return Run(args);
  } catch (const std::exception& e) {
    Print(L"tarncheck: the check stopped: " + std::wstring(e.what(), e.what() + std::char_traits<char>::length(e.what())) +
          L"\n");
  } catch (...) {
    Print(L"tarncheck: the check stopped on an unexpected error.\n");
  }
  return tc::kExitUsage;
}
