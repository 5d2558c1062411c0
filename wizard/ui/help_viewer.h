// Opens a help page in the user's program for ".htm" files, started as the
// desktop's user rather than with the wizard's administrator rights. The
// program is started by its full path: an association that names it
// without a folder (which would have it looked for) is passed over, with
// a log entry, for the Windows folder's explorer.exe.
#pragma once

#include <string>

class CHelpViewer {
 public:
  // Failures are logged only; nothing is shown and nothing is waited for.
  static void OpenHelp(const std::wstring& helpFilePath);
};
