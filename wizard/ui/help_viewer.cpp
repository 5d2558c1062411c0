#include "help_viewer.h"

#include <windows.h>
#include <shlwapi.h>

#include "app/exec.h"
#include "app/handles.h"
#include "app/log.h"

void CHelpViewer::OpenHelp(const std::wstring& helpFilePath) {
  constexpr wchar_t kFn[] = L"CHelpViewer::OpenHelp";
  wchar_t program[MAX_PATH + 1] = {};
  DWORD chars = MAX_PATH + 1;
  const HRESULT found =
      ::AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, L".htm", L"open", program, &chars);
  const std::wstring viewer = SUCCEEDED(found) && program[0] ? program : L"explorer.exe";

  tw::ProcessInfo started;
  CShellMgr shell;
  if (!shell.ExecuteAsUser(viewer.c_str(), helpFilePath.c_str(), started.put())) {
    TW_LOG(kFn, viewer);
    TW_LOG(kFn, helpFilePath);
  }
  // The viewer runs on by itself; `started` closes both handles.
}
