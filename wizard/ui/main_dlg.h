// The wizard's main window: the only top-level window, with a banner
// (title, description and the system buttons), the row of step boxes, the
// area in which one step dialog lives at a time, and Back and Next. The
// step manager (ui/step_manager.h) owns the wizard's state and the step
// dialogs, which talk to the main window only by posted messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/core/wizard_tables.h"

// What start-up hands the main window: the full paths of the action
// settings, language texts and disc-set files.
struct MainDlgInitParam {
  std::wstring ActIniPath;
  std::wstring LangIniPath;
  std::wstring TarnSetIniPath;
};

class MainDlg {
 public:
  // Runs the main window modally; its result (0 finished, 1 closed by the
  // user, 2 error).
  static INT_PTR Run(HINSTANCE instance, const MainDlgInitParam& param);

  static INT_PTR CALLBACK DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static void ShowErrorMessage(uint32_t errorCode, HWND owner);
  static void SetStepCtrls(HWND mainWindow, const std::wstring& langIniPath, const std::wstring& actIniPath);
  // Draws one step box with its look (current or other, last box or not).
  static void ShowPrcssStep(HDC dc, const tw::ui::Rect& box, bool current, bool last, const std::wstring& text);
};
