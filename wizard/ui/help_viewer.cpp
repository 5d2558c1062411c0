#include "help_viewer.h"

#include <windows.h>
#include <shlwapi.h>

#include "app/core/paths.h"
#include "app/core/text.h"
#include "app/exec.h"
#include "app/handles.h"
#include "app/log.h"

namespace {

constexpr wchar_t kFn[] = L"CHelpViewer::OpenHelp";

// The Windows folder's explorer.exe by its full path; empty (logged) when
// the folder cannot be read.
std::wstring Explorer() {
  wchar_t windows[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length > MAX_PATH) {
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
    return std::wstring();
  }
  return tw::JoinPath(tw::WithoutTrailingBackslash(windows), L"explorer.exe");
}

// The program the user chose for ".htm" files, when the association names
// it by its full path; otherwise (no association, or one that names a
// program without its folder, which would be looked for) explorer.exe.
std::wstring Viewer() {
  wchar_t program[MAX_PATH + 1] = {};
  DWORD chars = MAX_PATH + 1;
  const HRESULT found =
      ::AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, L".htm", L"open", program, &chars);
  if (SUCCEEDED(found) && program[0]) {
    if (tw::IsFullyQualifiedPath(program)) return program;
    TW_LOG(kFn, tw::Hex8With(ERROR_BAD_PATHNAME, program));
  }
  return Explorer();
}

}  // namespace

void CHelpViewer::OpenHelp(const std::wstring& helpFilePath) {
  const std::wstring viewer = Viewer();
  if (viewer.empty()) {
    TW_LOG(kFn, helpFilePath);
    return;
  }
  tw::ProcessInfo started;
  CShellMgr shell;
  if (!shell.ExecuteAsUser(viewer.c_str(), helpFilePath.c_str(), started.put())) {
    TW_LOG(kFn, viewer);
    TW_LOG(kFn, helpFilePath);
  }
  // The viewer runs on by itself; `started` closes both handles.
}
