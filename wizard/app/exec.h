// Starting other programs: elevated as the wizard itself runs, or as the
// user who owns the desktop shell (for a help browser without
// administrator rights).
#pragma once

#include <windows.h>

// Starts `filePath` with `parameters` elevated, without a console window.
// The path must be a full path to an existing file: a program is never
// looked for along the system's search order. The command line is the
// path in double quotes, a blank and the parameters. With `wait` the call returns after the program has ended and
// stores its exit code in `exitCode` when that is given. The handles in
// `processInfo` stay open for the caller to close.
bool ExecuteFile(const wchar_t* filePath, const wchar_t* parameters, bool wait, PROCESS_INFORMATION* processInfo,
                 DWORD* exitCode);

// Programs started without the wizard's elevation. Has no data of its own.
class CShellMgr {
 public:
  // Starts the program (a full path, never looked for) as the desktop
  // shell's user (on Vista and later while elevated), otherwise directly. Returns once it has started; the
  // caller closes the handles in `processInfo`.
  bool ExecuteAsUser(const wchar_t* programPath, const wchar_t* parameters, PROCESS_INFORMATION* processInfo);

  // A primary token duplicated from the process that owns the shell's
  // desktop window; the caller closes it.
  bool GetTokenOfShellWindow(HANDLE* token);

  // Starts `"programPath" parameters` with the token. An empty current
  // folder leaves the platform's default.
  bool CreateProcWithToken(STARTUPINFOW* startupInfo, PROCESS_INFORMATION* processInfo, HANDLE token,
                           const wchar_t* programPath, const wchar_t* parameters, const wchar_t* currentFolder);
};
