// The wizard's main window and its step manager. The main window is the
// only top-level window: a banner with title, description and the system
// buttons, the row of step boxes, the area in which one step dialog lives
// at a time, and Back and Next. The step manager owns the wizard's state
// and creates, replaces and destroys the step dialogs, which talk to the
// main window only by posted messages.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "steps/step_params.h"
#include "ui/core/wizard_tables.h"

namespace TarnSet {
class CMgr;
}

// What start-up hands the main window: the full paths of the action
// settings, language texts and disc-set files.
struct MainDlgInitParam {
  std::wstring ActIniPath;
  std::wstring LangIniPath;
  std::wstring TarnSetIniPath;
};

// The wizard's state, one per process, owned by the step manager.
struct WizardState {
  HWND CurrentDlg = nullptr;
  std::array<std::wstring, 4> HelpFilePath;
  std::array<bool, 4> HelpFileFound{};
  bool HelpLoaded = false;
  uint32_t CurrentStep = tw::ui::kStepSelectDiscSet;
  wchar_t OddLetter = 0;   // kept when the wizard starts over
  int32_t DiscType = -1;   // kept
  int32_t DiscSetIndex = 0;  // kept
  std::wstring DiscSetName;  // kept
  uint32_t DiscListCount = 0;
  DiscListOwner DiscList;
  uint32_t DiscCount = 0;
  DiscIndexOwner DiscListIndex;
  int32_t MakeResult = 0;
  uint32_t CurrentDisc = 0;
  int32_t ExitCode = 0;
};

// What the main window shows of its buttons for the current step.
struct StepControls {
  tw::ui::ButtonStates states;
  std::wstring backText;
  std::wstring nextText;
};

class CFuncMgr {
 public:
  // The procedure of each step's dialog (select disc set, check disc, make
  // disc, finish). Start-up installs the wizard's own; tests may install
  // others.
  static void SetStepProcedures(const std::array<DLGPROC, 4>& procedures);

  static HWND CreateDlg(HWND mainWindow, const std::wstring& langIniPath, const std::wstring& actIniPath,
                        TarnSet::CMgr* manager, const RECT& stepArea);
  // Moves to the step that follows and creates its dialog. Null on
  // failure. When the wizard ends instead (Back on the first step, OK on
  // the finish step) the current dialog is returned and stays until the
  // main window closes.
  static HWND GoNextStep(bool forward, HWND mainWindow, const std::wstring& langIniPath,
                         const std::wstring& actIniPath, TarnSet::CMgr* manager, const RECT& stepArea);
  static void NotifyGoNextStepRequest(bool forward);
  static void SetFirstFocus(HWND mainWindow);
  static bool GetSettngValiableCntrls(const std::wstring& langIniPath, const std::wstring& actIniPath,
                                      StepControls* out);
  static bool GetHelpFilePathOfStep(std::wstring* out);
  static void DestroyDlg();

  static WizardState& State();
  // Forgets everything: the state as at start (for a second run in one
  // process, as tests do).
  static void ResetState();
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
