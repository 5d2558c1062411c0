// The step manager: owns the wizard's state (the user's choices and what
// passes from step to step) and the records handed to the step dialogs,
// creates, replaces and destroys the one step dialog that lives at a time,
// and decides which step follows which. Everything runs on the
// user-interface thread.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "ui/core/wizard_tables.h"
#include "ui/step_params.h"

namespace TarnSet {
class CMgr;
}

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
  std::vector<tw::ui::ReadBack> ReadBacks;  // by disc of the run
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
