#include "step_manager.h"

#include "app/core/text.h"
#include "app/log.h"
#include "app/syshelpers.h"
#include "config/act_ini.h"
#include "config/lang_ini.h"
#include "config/process_records.h"
#include "res/resource.h"
#include "ui/access.h"
#include "ui/core/messages.h"

using tw::ui::kStepCheckDisc;
using tw::ui::kStepFinish;
using tw::ui::kStepMakeDisc;
using tw::ui::kStepSelectDiscSet;

namespace {

constexpr uint32_t kHelpIds[4] = {4000, 4001, 4002, 4004};
constexpr int kStepTemplates[4] = {IDD_SELECT_DISC_SET, IDD_CHECK_DISC, IDD_MAKE_DISC, IDD_FINISH};

// The wizard's state and the step records it hands out. At release the
// current step dialog is told to go, and the lists go with the state.
struct StepManagerState {
  WizardState state;
  std::array<DLGPROC, 4> procedures{};
  SlctDiscSetDlgParam selectParam;
  ChkDiscDlgParam checkParam;
  MkDiscDlgParam makeParam;
  FnshDlgParam finishParam;

  ~StepManagerState() {
    if (state.CurrentDlg && ::IsWindow(state.CurrentDlg)) ::SendMessageW(state.CurrentDlg, tw::msg::kDestroyStep, 0, 0);
  }
};

StepManagerState& Manager() {
  static StepManagerState manager;
  return manager;
}

// Fields 8 to 14: the disc list and everything made of it.
void ClearRunFields(WizardState& s) {
  s.DiscListCount = 0;
  s.DiscList.reset();
  s.DiscCount = 0;
  s.DiscListIndex.reset();
  s.MakeResult = 0;
  s.CurrentDisc = 0;
  s.ExitCode = 0;
  s.ReadBacks.clear();
}

void LoadHelpPaths(WizardState& s) {
  if (s.HelpLoaded) return;
  for (size_t i = 0; i < 4; ++i) s.HelpFileFound[i] = GetHelpFilePath(kHelpIds[i], &s.HelpFilePath[i]);
  s.HelpLoaded = true;
}

void FillStepParam(StepManagerState& m, const std::wstring& langIniPath, const std::wstring& actIniPath,
                   TarnSet::CMgr* manager) {
  WizardState& s = m.state;
  switch (s.CurrentStep) {
    case kStepSelectDiscSet:
      m.selectParam = SlctDiscSetDlgParam{actIniPath,     langIniPath, manager,           &s.DiscSetIndex, &s.DiscSetName,
                                          &s.OddLetter, &s.DiscType,  &s.DiscListCount, &s.DiscList};
      break;
    case kStepCheckDisc:
      m.checkParam = ChkDiscDlgParam{actIniPath,      langIniPath,       s.DiscType, s.DiscListCount,
                                     s.DiscList.get(), &s.DiscCount, &s.DiscListIndex};
      break;
    case kStepMakeDisc:
      m.makeParam = MkDiscDlgParam{actIniPath,           langIniPath,  s.OddLetter,     s.DiscType,
                                   s.DiscListCount,      s.DiscList.get(), s.DiscCount, s.DiscListIndex.get(),
                                   &s.MakeResult,        &s.CurrentDisc,   &s.ExitCode,
                                   &s.ReadBacks};
      break;
    default:
      m.finishParam = FnshDlgParam{langIniPath,        langIniPath, s.DiscSetName, s.DiscList.get(),
                                   s.DiscCount,        s.DiscListIndex.get(), s.MakeResult, s.CurrentDisc,
                                   s.ExitCode,         s.DiscListCount, s.ReadBacks};
      break;
  }
}

// The step's name in the row of step boxes: what a screen reader calls the
// step dialog.
std::wstring StepName(uint32_t step) {
  const LangIni::AppData& texts = tw::Records().App;
  const std::wstring* names[] = {&texts.Step1, &texts.Step2, &texts.Step3, &texts.Step4};
  return step < 4 ? *names[step] : std::wstring();
}

LPARAM StepParamOf(StepManagerState& m) {
  switch (m.state.CurrentStep) {
    case kStepSelectDiscSet:
      return reinterpret_cast<LPARAM>(&m.selectParam);
    case kStepCheckDisc:
      return reinterpret_cast<LPARAM>(&m.checkParam);
    case kStepMakeDisc:
      return reinterpret_cast<LPARAM>(&m.makeParam);
    default:
      return reinterpret_cast<LPARAM>(&m.finishParam);
  }
}

}  // namespace

WizardState& CFuncMgr::State() { return Manager().state; }

void CFuncMgr::ResetState() {
  StepManagerState& m = Manager();
  DestroyDlg();
  m.state = WizardState{};
}

void CFuncMgr::SetStepProcedures(const std::array<DLGPROC, 4>& procedures) { Manager().procedures = procedures; }

HWND CFuncMgr::CreateDlg(HWND mainWindow, const std::wstring& langIniPath, const std::wstring& actIniPath,
                         TarnSet::CMgr* manager, const RECT& stepArea) {
  constexpr wchar_t kFn[] = L"CFuncMgr::CreateDlg";
  StepManagerState& m = Manager();
  WizardState& s = m.state;
  if (s.CurrentStep > kStepFinish) {
    TW_LOG(kFn, tw::Hex8(s.CurrentStep));
    return nullptr;
  }
  if (s.CurrentStep == kStepSelectDiscSet) ClearRunFields(s);
  FillStepParam(m, langIniPath, actIniPath, manager);
  DestroyDlg();

  DLGPROC procedure = m.procedures[s.CurrentStep];
  HWND dialog = procedure ? ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kStepTemplates[s.CurrentStep]),
                                                 mainWindow, procedure, StepParamOf(m))
                          : nullptr;
  if (!dialog) {
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
    return nullptr;
  }
  s.CurrentDlg = dialog;
  tw::access::AnnotateTree(dialog, StepName(s.CurrentStep));
  ::ShowWindow(dialog, SW_SHOW);
  if (!::MoveWindow(dialog, stepArea.left, stepArea.top, stepArea.right - stepArea.left,
                    stepArea.bottom - stepArea.top, TRUE)) {
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
  }
  if (!::SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE)) TW_LOG(kFn, tw::Hex8(::GetLastError()));
  ::SetFocus(dialog);
  return dialog;
}

HWND CFuncMgr::GoNextStep(bool forward, HWND mainWindow, const std::wstring& langIniPath,
                          const std::wstring& actIniPath, TarnSet::CMgr* manager, const RECT& stepArea) {
  constexpr wchar_t kFn[] = L"CFuncMgr::GoNextStep";
  WizardState& s = Manager().state;
  const uint32_t backToFirst =
      s.CurrentStep == kStepFinish ? ActIni::CIniMgr::GetFnshData(actIniPath).BackToFirstStep : 0;
  const tw::ui::Transition next =
      tw::ui::NextStep(s.CurrentStep, forward, s.MakeResult, s.CurrentDisc, s.DiscCount, backToFirst);
  switch (next.kind) {
    case tw::ui::Transition::kInvalidStep:
      TW_LOG(kFn, tw::Hex8(s.CurrentStep));
      return nullptr;
    case tw::ui::Transition::kEndWizard:
      ::PostMessageW(mainWindow, tw::msg::kFinished, 0, 0);
      return s.CurrentDlg;
    case tw::ui::Transition::kNewStep:
      break;
  }
  s.CurrentStep = next.step;
  DestroyDlg();
  HWND dialog = CreateDlg(mainWindow, langIniPath, actIniPath, manager, stepArea);
  if (!dialog) TW_LOG(kFn, tw::Hex8(s.CurrentStep));
  return dialog;
}

void CFuncMgr::NotifyGoNextStepRequest(bool forward) {
  HWND dialog = Manager().state.CurrentDlg;
  if (!dialog) {
    TW_LOG(L"CFuncMgr::NotifyGoNextStepRequest", L"");
    return;
  }
  ::PostMessageW(dialog, forward ? tw::msg::kNextPressed : tw::msg::kBackPressed, 0, 0);
}

void CFuncMgr::SetFirstFocus(HWND mainWindow) {
  const WizardState& s = Manager().state;
  if (!s.CurrentDlg) {
    TW_LOG(L"CFuncMgr::SetFirstFocus", L"");
    return;
  }
  switch (s.CurrentStep) {
    case kStepSelectDiscSet:
      ::PostMessageW(s.CurrentDlg, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(::GetDlgItem(s.CurrentDlg, IDC_DISC_SET_LIST)), 1);
      break;
    case kStepCheckDisc:
      ::PostMessageW(s.CurrentDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(s.CurrentDlg, IDC_DISC_LIST)),
                     1);
      break;
    default:
      ::PostMessageW(mainWindow, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(mainWindow, IDC_NEXT)), 1);
      break;
  }
}

bool CFuncMgr::GetSettngValiableCntrls(const std::wstring& langIniPath, const std::wstring& actIniPath,
                                       StepControls* out) {
  constexpr wchar_t kFn[] = L"CFuncMgr::GetSettngValiableCntrls";
  WizardState& s = Manager().state;
  if (!out || s.CurrentStep > kStepFinish) {
    TW_LOG(kFn, tw::Hex8(s.CurrentStep));
    return false;
  }
  LoadHelpPaths(s);
  const bool helpFound = s.HelpFileFound[s.CurrentStep];
  std::wstring back, next, ok;
  bool backVisible = false;
  switch (s.CurrentStep) {
    case kStepSelectDiscSet: {
      const LangIni::SlctDiscSetData texts = LangIni::CIniMgr::GetSlctDiscSetData(langIniPath);
      back = texts.BackButton;
      next = texts.NextButton;
      backVisible = ActIni::CIniMgr::GetSlctDiscSetData(actIniPath).BackButton_Visible != 0;
      break;
    }
    case kStepCheckDisc: {
      const LangIni::ChkDiscData texts = LangIni::CIniMgr::GetChkDiscData(langIniPath);
      back = texts.BackButton;
      next = texts.NextButton;
      break;
    }
    case kStepMakeDisc: {
      const LangIni::MkDiscData texts = LangIni::CIniMgr::GetMkDiscData(langIniPath);
      back = texts.BackButton;
      next = texts.NextButton;
      break;
    }
    default:
      ok = LangIni::CIniMgr::GetFnshData(langIniPath).OkButton;
      break;
  }
  out->states = tw::ui::ButtonStatesOfStep(s.CurrentStep, helpFound, backVisible);
  auto textOf = [&](tw::ui::ButtonText which) {
    switch (which) {
      case tw::ui::ButtonText::kBack:
        return back;
      case tw::ui::ButtonText::kNext:
        return next;
      case tw::ui::ButtonText::kOk:
        return ok;
      default:
        return std::wstring();
    }
  };
  out->backText = textOf(out->states.backText);
  out->nextText = textOf(out->states.nextText);
  return true;
}

bool CFuncMgr::GetHelpFilePathOfStep(std::wstring* out) {
  constexpr wchar_t kFn[] = L"CFuncMgr::GetHelpFilePathOfStep";
  WizardState& s = Manager().state;
  if (!out || s.CurrentStep > kStepFinish) {
    TW_LOG(kFn, tw::Hex8(s.CurrentStep));
    return false;
  }
  LoadHelpPaths(s);
  if (!s.HelpFileFound[s.CurrentStep]) {
    TW_LOG(kFn, tw::Hex8(s.CurrentStep));
    return false;
  }
  *out = s.HelpFilePath[s.CurrentStep];
  return true;
}

void CFuncMgr::DestroyDlg() {
  WizardState& s = Manager().state;
  HWND dialog = s.CurrentDlg;
  s.CurrentDlg = nullptr;
  if (dialog) ::SendMessageW(dialog, tw::msg::kDestroyStep, 0, 0);
}
