// The last step: a report of the run (success, abort or failure) with an
// icon, a heading naming the disc set and one line per disc.
#pragma once

#include <windows.h>

class FnshDlg {
 public:
  static INT_PTR CALLBACK DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static void ShowSuccessResult(HWND dialog);
  static void ShowAbortResult(HWND dialog);
  static void ShowFailureResult(HWND dialog);
};
