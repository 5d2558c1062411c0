// Opens a help page in the user's program for ".htm" files, started as the
// desktop's user rather than with the wizard's administrator rights.
#pragma once

#include <string>

class CHelpViewer {
 public:
  // Failures are logged only; nothing is shown and nothing is waited for.
  static void OpenHelp(const std::wstring& helpFilePath);
};
