#include "slct_disc_set_dlg.h"

#include <commctrl.h>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "app/core/text.h"
#include "app/guard.h"
#include "app/log.h"
#include "app/settings.h"
#include "burn/brn_app_cnctor.h"
#include "config/act_ini.h"
#include "config/lang_ini.h"
#include "config/tarnset.h"
#include "res/resource.h"
#include "steps/core/step_rules.h"
#include "steps/step_common.h"
#include "ui/autoplay_cancel.h"
#include "ui/core/wizard_tables.h"
#include "ui/dialog_designer.h"
#include "ui/step_params.h"

using tw::steps::PostFatal;

namespace {

constexpr wchar_t kFn[] = L"SlctDiscSetDlg::DlgProc";
constexpr uint32_t kDriveSlots = 26;
constexpr int kDriveListTries = 10;
constexpr DWORD kDriveListWaitMs = 500;

using tw::msg::FatalCode;

// The step's state while its dialog exists; one dialog at a time.
struct SelectState {
  SlctDiscSetDlgParam* param = nullptr;
  std::vector<OddInfo> drives;  // room for 26; `driveCount` filled
  uint32_t driveCount = 0;
  int listSelection = -1;
  int currentDrive = 0;
  bool canSelectOdd = true;
  bool following = false;  // the list follows selection changes (after set-up)
  LangIni::SlctDiscSetData texts;
  LangIni::DriveData driveTexts;
};
SelectState g_state;

// Built on the first message and kept for the life of the process.
std::unique_ptr<CExCmbx> g_driveCombo;
std::unique_ptr<CDialogDesigner> g_designer;

LRESULT ItemData(HWND combo, LRESULT item) { return ::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(item), 0); }

int ListSelection(HWND list) {
  return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Selects an item and gives it the list's focus, so that the arrow keys
// move on from there.
void SelectListItem(HWND list, int item) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
  ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

// The drive list (the user chooses) or the read-only box (one drive).
void ShowDriveChoice(HWND dialog, bool list) {
  HWND combo = ::GetDlgItem(dialog, IDC_DRIVE_COMBO);
  HWND edit = ::GetDlgItem(dialog, IDC_DRIVE_EDIT);
  ::ShowWindow(combo, list ? SW_SHOW : SW_HIDE);
  ::EnableWindow(combo, list ? TRUE : FALSE);
  ::ShowWindow(edit, list ? SW_HIDE : SW_SHOW);
  ::EnableWindow(edit, list ? FALSE : TRUE);
}

bool FetchNames(TarnSet::CMgr* manager, std::array<std::wstring, 100>* names) {
  return manager && manager->GetInfoData(names->data());
}

// The set's tasks of a disc type, up to 100.
bool FetchTasks(TarnSet::CMgr* manager, int32_t setIndex, int32_t discType, std::vector<TarnSet::TaskData>* tasks,
                uint32_t* count) {
  if (!manager || setIndex < 0) return false;
  *count = manager->GetTaskCountInInfo(static_cast<uint32_t>(setIndex), discType);
  tasks->assign(tw::tarnset::kMaxTasks, TarnSet::TaskData{});
  if (*count > tasks->size()) return false;
  return *count == 0 || manager->GetTaskData(static_cast<uint32_t>(setIndex), discType, tasks->data());
}

// Follows a new selection of the disc-set list: its disc types and count.
void FollowListSelection(HWND dialog) {
  SelectState& s = g_state;
  HWND list = ::GetDlgItem(dialog, IDC_DISC_SET_LIST);
  const int selected = ListSelection(list);
  if (selected < 0) {
    // A click on the empty part of the list keeps the previous choice.
    if (s.listSelection >= 0) SelectListItem(list, s.listSelection);
    return;
  }
  if (selected == s.listSelection) return;
  s.listSelection = selected;
  HWND types = ::GetDlgItem(dialog, IDC_DISC_TYPE_COMBO);
  ::SendMessageW(types, CB_RESETCONTENT, 0, 0);
  if (!SlctDiscSetDlg::SetDiscTypeCmbBox(s.listSelection, dialog, s.param->LangIniPath, s.param->Manager,
                                         g_driveCombo.get(), s.canSelectOdd, s.drives.data(), s.driveCount)) {
    TW_LOG(kFn, tw::Hex8(static_cast<uint32_t>(s.listSelection)));
    PostFatal(dialog, FatalCode::kDiscSetInfo);
  }
  ::SendMessageW(types, CB_SETCURSEL, 0, 0);
  SlctDiscSetDlg::UpdateNeedDiscCount(dialog, s.param->Manager);
}

void OnDriveChange(HWND dialog) {
  SelectState& s = g_state;
  const int drive = g_driveCombo->GetSelectedItemData(::GetDlgItem(dialog, IDC_DRIVE_COMBO));
  if (drive == s.currentDrive) return;
  s.currentDrive = drive;
  if (!SlctDiscSetDlg::SetDiscTypeCmbBox(s.listSelection, dialog, s.param->LangIniPath, s.param->Manager,
                                         g_driveCombo.get(), s.canSelectOdd, s.drives.data(), s.driveCount)) {
    TW_LOG(kFn, tw::Hex8(static_cast<uint32_t>(s.listSelection)));
    PostFatal(dialog, FatalCode::kDiscSetInfo);
  }
  SlctDiscSetDlg::UpdateNeedDiscCount(dialog, s.param->Manager);
}

// How one part of the set-up ended: go on, or end the wizard with a fatal
// code. `show` is false when the part has shown its own message; `stop` is
// false for the one failure after which the set-up carries on.
struct SetUpOutcome {
  bool fatal = false;
  FatalCode code = FatalCode::kUnknown;
  bool show = true;
  bool stop = true;
};
constexpr SetUpOutcome kGoOn{};
SetUpOutcome Fatal(FatalCode code) { return SetUpOutcome{true, code, true, true}; }
SetUpOutcome OwnMessageShown() { return SetUpOutcome{true, FatalCode::kOwnMessage, false, true}; }

// Without the disc-set model there is nothing to choose from.
SetUpOutcome CheckModel(HWND, SlctDiscSetDlgParam* param) {
  if (param && param->Manager) return kGoOn;
  TW_LOG(kFn, L"");
  return Fatal(FatalCode::kDiscSetInfo);
}

// The marks, the controls, the texts and the drive switch of the settings.
SetUpOutcome PrepareControls(HWND dialog, SlctDiscSetDlgParam* param) {
  SelectState& s = g_state;
  param->Manager->ChkWrittenDiscs();
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  ::SendDlgItemMessageW(dialog, IDC_DISC_SET_LIST, LVM_DELETEALLITEMS, 0, 0);
  ::SendDlgItemMessageW(dialog, IDC_DRIVE_COMBO, CB_RESETCONTENT, 0, 0);
  ::SendDlgItemMessageW(dialog, IDC_DISC_TYPE_COMBO, CB_RESETCONTENT, 0, 0);

  s.texts = LangIni::CIniMgr::GetSlctDiscSetData(param->LangIniPath);
  s.driveTexts = LangIni::CIniMgr::GetDriveData(param->LangIniPath);
  s.canSelectOdd = ActIni::CIniMgr::GetSlctDiscSetData(param->ActIniPath).CanSelectODD != 0;

  for (int id : {IDC_STEP_DESCRIPTION, IDC_DISC_SET_LABEL, IDC_DISC_SET_LIST, IDC_DRIVE_LABEL, IDC_DRIVE_COMBO,
                 IDC_DRIVE_EDIT, IDC_DISC_TYPE_LABEL, IDC_DISC_TYPE_COMBO, IDC_DISC_COUNT_LABEL, IDC_DISC_COUNT}) {
    tw::steps::SetFont(dialog, id, g_designer->Font(3));
  }
  ::SetDlgItemTextW(dialog, IDC_STEP_DESCRIPTION, s.texts.StepDescription.c_str());
  ::SetDlgItemTextW(dialog, IDC_DISC_SET_LABEL, s.texts.DiscSet.c_str());
  ::SetDlgItemTextW(dialog, IDC_DRIVE_LABEL, s.texts.ODD.c_str());
  ::SetDlgItemTextW(dialog, IDC_DISC_TYPE_LABEL, s.texts.DiscType.c_str());
  ::SetDlgItemTextW(dialog, IDC_DISC_COUNT_LABEL, s.texts.DiscCount.c_str());
  return kGoOn;
}

// The disc-set list, with the previous choice selected. A list that cannot
// be filled is reported, and the set-up carries on.
SetUpOutcome FillDiscSets(HWND dialog, SlctDiscSetDlgParam* param) {
  SelectState& s = g_state;
  TarnSet::CMgr* manager = param->Manager;
  if (manager->InfoCount == 0) {
    tw::steps::ShowAppMessage(dialog, s.texts.Msg_NoDiscSetData, MB_OK | MB_ICONERROR);
    return OwnMessageShown();
  }
  std::array<std::wstring, 100> names;
  if (!FetchNames(manager, &names)) {
    TW_LOG(kFn, L"");
    return Fatal(FatalCode::kDiscSetInfo);
  }
  SetUpOutcome outcome = kGoOn;
  if (!SlctDiscSetDlg::SetDiscSetList(names.data(), dialog, manager->InfoCount, *param->DiscSetIndex)) {
    TW_LOG(kFn, L"");
    outcome = Fatal(FatalCode::kUnknown);
    outcome.stop = false;
  }
  s.listSelection = ListSelection(::GetDlgItem(dialog, IDC_DISC_SET_LIST));
  return outcome;
}

// The writers the burning product lists; an empty answer is asked again
// for a while, since a drive may still be coming up.
SetUpOutcome ListDrives(HWND dialog, SlctDiscSetDlgParam*) {
  SelectState& s = g_state;
  CBrnAppCnctor connector;
  if (!connector.IsReady) {
    TW_LOG(kFn, L"");
    return Fatal(FatalCode::kNoBurnApp);
  }
  s.drives.assign(kDriveSlots, OddInfo{});
  for (int attempt = 1;; ++attempt) {
    s.driveCount = kDriveSlots;
    if (!connector.GetOddsInfo(s.drives.data(), &s.driveCount)) {
      TW_LOG(kFn, L"");
      return Fatal(FatalCode::kDriveInfo);
    }
    if (s.driveCount > 0) return kGoOn;
    if (attempt == kDriveListTries) {
      tw::steps::ShowAppMessage(dialog, s.texts.Msg_NoUsableODD, MB_OK | MB_ICONERROR);
      return OwnMessageShown();
    }
    ::Sleep(kDriveListWaitMs);
  }
}

// The drive list (with the previous drive chosen) or the one drive shown.
SetUpOutcome ShowDrives(HWND dialog, SlctDiscSetDlgParam* param) {
  const bool shown = g_state.canSelectOdd ? SlctDiscSetDlg::ShowOddSelection(dialog, *param->OddLetter)
                                          : SlctDiscSetDlg::ShowOneOddAsAvailable(dialog);
  if (!shown) {
    TW_LOG(kFn, L"");
    return Fatal(FatalCode::kUnknown);
  }
  return kGoOn;
}

// The disc types of the chosen set and drive, with the previous type chosen.
SetUpOutcome FillDiscTypes(HWND dialog, SlctDiscSetDlgParam* param) {
  SelectState& s = g_state;
  if (!SlctDiscSetDlg::SetDiscTypeCmbBox(s.listSelection, dialog, param->LangIniPath, param->Manager, g_driveCombo.get(),
                                         s.canSelectOdd, s.drives.data(), s.driveCount)) {
    TW_LOG(kFn, tw::Hex8(static_cast<uint32_t>(s.listSelection)));
    return Fatal(FatalCode::kDiscSetInfo);
  }
  HWND types = ::GetDlgItem(dialog, IDC_DISC_TYPE_COMBO);
  if (*param->DiscType == -1) {
    ::SendMessageW(types, CB_SETCURSEL, 0, 0);
    return kGoOn;
  }
  const LRESULT count = ::SendMessageW(types, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT data = ItemData(types, i);
    if (data == CB_ERR) {
      TW_LOG(kFn, tw::Hex8Pair(static_cast<uint32_t>(i), static_cast<uint32_t>(data)));
      return Fatal(FatalCode::kUnknown);
    }
    if (data == *param->DiscType) {
      ::SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      break;
    }
  }
  return kGoOn;
}

// Sets the step up part by part; the first part that ends the wizard
// stops the set-up, and only here is the fatal message posted.
BOOL OnInitDialog(HWND dialog, SlctDiscSetDlgParam* param) {
  SelectState& s = g_state;
  s = SelectState{};
  s.param = param;
  CQLNAutoPlayCancel::Register(::GetCurrentThreadId());
  using Part = SetUpOutcome (*)(HWND, SlctDiscSetDlgParam*);
  for (Part part : {CheckModel, PrepareControls, FillDiscSets, ListDrives, ShowDrives, FillDiscTypes}) {
    const SetUpOutcome outcome = part(dialog, param);
    if (outcome.fatal) PostFatal(dialog, outcome.code, outcome.show);
    if (outcome.fatal && outcome.stop) return TRUE;
  }
  SlctDiscSetDlg::UpdateNeedDiscCount(dialog, param->Manager);
  s.following = true;
  return TRUE;
}

// The chosen set, drive and disc type, written into the selection; the
// fatal code when one of them cannot be read.
std::optional<FatalCode> StoreChoice(HWND dialog, SlctDiscSetDlgParam* p) {
  SelectState& s = g_state;
  int32_t setIndex = 0;
  if (!SlctDiscSetDlg::GetSelectedDiscSetIndex(dialog, &setIndex)) {
    TW_LOG(kFn, L"");
    return FatalCode::kUnknown;
  }
  std::array<std::wstring, 100> names;
  if (!FetchNames(p->Manager, &names) || setIndex < 0 || static_cast<size_t>(setIndex) >= names.size()) {
    TW_LOG(kFn, tw::Hex8(static_cast<uint32_t>(setIndex)));
    return FatalCode::kDiscSetInfo;
  }
  *p->DiscSetIndex = setIndex;
  *p->DiscSetName = names[static_cast<size_t>(setIndex)];

  const int drive = s.canSelectOdd ? g_driveCombo->GetSelectedItemData(::GetDlgItem(dialog, IDC_DRIVE_COMBO)) : 0;
  if (drive < 0 || static_cast<uint32_t>(drive) >= s.driveCount) {
    TW_LOG(kFn, tw::Hex8Pair(s.driveCount, static_cast<uint32_t>(drive)));
    return FatalCode::kDiscSetInfo;
  }
  *p->OddLetter = s.drives[static_cast<size_t>(drive)].DriveLetter;

  HWND types = ::GetDlgItem(dialog, IDC_DISC_TYPE_COMBO);
  const LRESULT typeItem = ::SendMessageW(types, CB_GETCURSEL, 0, 0);
  if (typeItem == CB_ERR) {
    TW_LOG(kFn, L"");
    return FatalCode::kDiscSetInfo;
  }
  const LRESULT discType = ItemData(types, typeItem);
  if (discType == CB_ERR) {
    TW_LOG(kFn, tw::Hex8Pair(static_cast<uint32_t>(typeItem), static_cast<uint32_t>(discType)));
    return FatalCode::kUnknown;
  }
  *p->DiscType = static_cast<int32_t>(discType);
  return std::nullopt;
}

// The discs of the stored choice still to make, written into the
// selection; `listed` stays false when every disc is made already (the
// user is told so and stays on the step).
std::optional<FatalCode> StoreDiscList(SlctDiscSetDlgParam* p, bool* listed) {
  const int32_t setIndex = *p->DiscSetIndex;
  std::vector<TarnSet::TaskData> tasks;
  uint32_t taskCount = 0;
  if (!FetchTasks(p->Manager, setIndex, *p->DiscType, &tasks, &taskCount)) {
    TW_LOG(kFn, tw::Hex8(static_cast<uint32_t>(setIndex)));
    return FatalCode::kDiscSetInfo;
  }
  uint32_t total = 0;
  if (!SlctDiscSetDlg::GetTotalDiscCount(setIndex, *p->DiscType, p->Manager, &total)) {
    TW_LOG(kFn, tw::Hex8Pair(static_cast<uint32_t>(setIndex), static_cast<uint32_t>(*p->DiscType)));
    return FatalCode::kDiscSetInfo;
  }
  tw::steps::DiscList built = tw::steps::BuildDiscList(tasks.data(), taskCount, total);
  if (built.overflow || built.entries.size() != total) {
    // The marks and the remaining counts disagree: never more entries than
    // the total, and never an entry that no disc filled.
    TW_LOG(kFn, tw::Hex8Pair(total, static_cast<uint32_t>(built.entries.size())));
  }
  if (built.entries.empty()) {
    tw::steps::ShowAppMessage(nullptr, g_state.texts.Msg_AlreadyWritten, MB_OK | MB_ICONINFORMATION);
    return std::nullopt;
  }
  DiscListOwner list(new DiscEntry[built.entries.size()]);
  for (size_t i = 0; i < built.entries.size(); ++i) list[i] = std::move(built.entries[i]);
  *p->DiscListCount = static_cast<uint32_t>(built.entries.size());
  *p->DiscList = std::move(list);
  *listed = true;
  return std::nullopt;
}

void OnNext(HWND dialog) {
  SlctDiscSetDlgParam* p = g_state.param;
  if (!p || !p->Manager) {
    TW_LOG(kFn, L"");
    PostFatal(dialog, FatalCode::kUnknown);
    return;
  }
  *p->DiscSetIndex = 0;
  *p->OddLetter = 0;
  *p->DiscType = -1;
  *p->DiscListCount = 0;
  p->DiscList->reset();

  bool listed = false;
  std::optional<FatalCode> failed = StoreChoice(dialog, p);
  if (!failed) failed = StoreDiscList(p, &listed);
  if (failed) {
    PostFatal(dialog, *failed);
  } else if (listed) {
    tw::steps::PostToMain(dialog, tw::msg::kGoNext);
  }
}

INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!g_designer) g_designer = std::make_unique<CDialogDesigner>();
  if (!g_driveCombo) g_driveCombo = std::make_unique<CExCmbx>();
  INT_PTR common = FALSE;
  if (tw::steps::HandleCommonMessage(dialog, message, wParam, *g_designer, &common)) return common;
  SelectState& s = g_state;
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, reinterpret_cast<SlctDiscSetDlgParam*>(lParam));
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (!header || header->idFrom != IDC_DISC_SET_LIST || !s.following || !s.param) return FALSE;
      switch (header->code) {
        case NM_CLICK:
        case NM_DBLCLK:
        case NM_RCLICK:
        case NM_RDBLCLK:
          FollowListSelection(dialog);
          break;
        case LVN_ITEMCHANGED: {
          // A selection moved with the keyboard is followed like a click.
          const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
          if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
              !(change->uOldState & LVIS_SELECTED)) {
            FollowListSelection(dialog);
          }
          break;
        }
        default:
          break;
      }
      return FALSE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (!s.following || !s.param || (code != CBN_SELCHANGE && code != CBN_EDITCHANGE)) return FALSE;
      if (id == IDC_DRIVE_COMBO) OnDriveChange(dialog);
      if (id == IDC_DISC_TYPE_COMBO) SlctDiscSetDlg::UpdateNeedDiscCount(dialog, s.param->Manager);
      return TRUE;
    }
    case tw::msg::kNextPressed:
      OnNext(dialog);
      return TRUE;
    case tw::msg::kBackPressed:
      tw::steps::PostToMain(dialog, tw::msg::kGoBack);
      return TRUE;
    case WM_DESTROY:
      s.drives.clear();
      s.drives.shrink_to_fit();
      s.param = nullptr;
      s.driveCount = 0;
      s.following = false;
      CQLNAutoPlayCancel::Unregister(::GetCurrentThreadId());
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK SlctDiscSetDlg::DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(kFn, INT_PTR{FALSE}, [&] { return Handle(dialog, message, wParam, lParam); });
}

bool SlctDiscSetDlg::SetDiscSetList(const std::wstring* names, HWND dialog, uint32_t count, int32_t selectedIndex) {
  constexpr wchar_t kOp[] = L"SlctDiscSetDlg::SetDiscSetList";
  HWND list = ::GetDlgItem(dialog, IDC_DISC_SET_LIST);
  ::SetWindowLongPtrW(list, GWL_STYLE, ::GetWindowLongPtrW(list, GWL_STYLE) | LVS_SHOWSELALWAYS);
  ::SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  const std::vector<std::wstring> texts(names, names ? names + count : names);
  const int widest = tw::steps::FillSingleColumnList(list, texts, kOp);
  RECT client{};
  ::GetClientRect(list, &client);
  tw::steps::SetSingleColumnWidth(
      list, tw::steps::DiscSetColumnWidth(client.right, widest, tw::ui::Scale(20, tw::Settings().LogPixelsX)));

  const LRESULT items = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  if (items <= 0) {
    TW_LOG(kOp, L"");
    return false;
  }
  int target = 0;
  for (LRESULT i = 0; i < items; ++i) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    if (::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam == selectedIndex) {
      target = static_cast<int>(i);
      break;
    }
  }
  SelectListItem(list, target);
  return true;
}

bool SlctDiscSetDlg::ShowOneOddAsAvailable(HWND dialog) {
  constexpr wchar_t kOp[] = L"SlctDiscSetDlg::ShowOneOddAsAvailable";
  SelectState& s = g_state;
  if (s.driveCount == 0 || s.drives.empty()) {
    TW_LOG(kOp, L"");
    return false;
  }
  ShowDriveChoice(dialog, false);
  HWND edit = ::GetDlgItem(dialog, IDC_DRIVE_EDIT);
  s.currentDrive = 0;
  const OddInfo& drive = s.drives[0];
  const std::wstring root = std::wstring(1, drive.DriveLetter) + L":";
  CBrnAppCnctor connector;
  if (!connector.IsReady) {
    TW_LOG(kOp, L"");
    return false;
  }
  const auto type = tw::steps::SingleDriveTypeText(drive, s.driveTexts);
  if (!type) {
    TW_LOG(kOp, root);
    return false;
  }
  const std::wstring text = tw::steps::DriveDisplayText(s.driveTexts.DriveNameOutputFormat, *type, root);
  ::SetWindowTextW(edit, text.c_str());
  return true;
}

bool SlctDiscSetDlg::ShowOddSelection(HWND dialog, wchar_t letter) {
  constexpr wchar_t kOp[] = L"SlctDiscSetDlg::ShowOddSelection";
  SelectState& s = g_state;
  if (s.driveCount == 0 || s.drives.empty()) {
    TW_LOG(kOp, L"");
    return false;
  }
  ShowDriveChoice(dialog, true);
  HWND combo = ::GetDlgItem(dialog, IDC_DRIVE_COMBO);
  const std::wstring format = tw::steps::DriveMessageFormat(s.driveTexts.DriveNameOutputFormat);
  uint32_t chosen = 0;
  for (uint32_t i = 0; i < s.driveCount && i < s.drives.size(); ++i) {
    const OddInfo& drive = s.drives[i];
    const std::wstring root = std::wstring(1, drive.DriveLetter) + L":\\";
    const std::wstring type = tw::steps::ListedDriveTypeText(drive, s.driveTexts);
    if (!g_driveCombo->AddItem(combo, root, type, format, static_cast<LPARAM>(i))) {
      TW_LOG(kOp, tw::Hex8With(::GetLastError(), root));
      return false;
    }
    if (letter != 0 && drive.DriveLetter == letter) chosen = i;
  }
  g_driveCombo->SelectByItemData(combo, static_cast<LPARAM>(chosen));
  s.currentDrive = static_cast<int>(chosen);
  return true;
}

bool SlctDiscSetDlg::SetDiscTypeCmbBox(int32_t setIndex, HWND dialog, const std::wstring& langIniPath,
                                       TarnSet::CMgr* manager, CExCmbx* driveCombo, bool canSelectDrive,
                                       const OddInfo* drives, uint32_t driveCount) {
  constexpr wchar_t kOp[] = L"SlctDiscSetDlg::SetDiscTypeCmbBox";
  HWND types = ::GetDlgItem(dialog, IDC_DISC_TYPE_COMBO);
  ::SendMessageW(types, CB_RESETCONTENT, 0, 0);
  const uint32_t dvdTasks = manager ? manager->GetTaskCountInInfo(static_cast<uint32_t>(setIndex), 0) : 0;
  if (dvdTasks == 0) {
    TW_LOG(kOp, tw::Hex8(static_cast<uint32_t>(setIndex)));
    return false;
  }
  const int drive = canSelectDrive && driveCombo ? driveCombo->GetSelectedItemData(::GetDlgItem(dialog, IDC_DRIVE_COMBO)) : 0;
  if (!drives || drive < 0 || static_cast<uint32_t>(drive) >= driveCount) {
    TW_LOG(kOp, tw::Hex8Pair(driveCount, static_cast<uint32_t>(drive)));
    return false;
  }
  const LangIni::OptclDiscData names = LangIni::CIniMgr::GetOptclDiscData(langIniPath);
  const uint32_t bdTasks = manager->GetTaskCountInInfo(static_cast<uint32_t>(setIndex), 1);
  const tw::steps::DiscTypeChoice offered = tw::steps::DiscTypesOffered(dvdTasks, bdTasks, drives[drive].BdWritable);
  auto add = [&](const std::wstring& text, LPARAM data) {
    const LRESULT item = ::SendMessageW(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (item >= 0) ::SendMessageW(types, CB_SETITEMDATA, static_cast<WPARAM>(item), data);
  };
  add(names.DVD1, 0);
  if (offered.bd) add(names.BD1, 1);
  ::SendMessageW(types, CB_SETCURSEL, 0, 0);
  return true;
}

void SlctDiscSetDlg::UpdateNeedDiscCount(HWND dialog, TarnSet::CMgr* manager) {
  constexpr wchar_t kOp[] = L"SlctDiscSetDlg::UpdateNeedDiscCount";
  HWND types = ::GetDlgItem(dialog, IDC_DISC_TYPE_COMBO);
  const LRESULT item = ::SendMessageW(types, CB_GETCURSEL, 0, 0);
  const LRESULT discType = item == CB_ERR ? CB_ERR : ItemData(types, item);
  if (discType == CB_ERR) {
    TW_LOG(kOp, tw::Hex8Pair(static_cast<uint32_t>(item), static_cast<uint32_t>(discType)));
    PostFatal(dialog, FatalCode::kUnknown);
    return;
  }
  uint32_t total = 0;
  const int32_t setIndex = g_state.listSelection;
  if (!GetTotalDiscCount(setIndex, static_cast<int32_t>(discType), manager, &total)) {
    TW_LOG(kOp, tw::Hex8Pair(static_cast<uint32_t>(setIndex), static_cast<uint32_t>(discType)));
    PostFatal(dialog, FatalCode::kUnknown);
    return;
  }
  ::SetDlgItemTextW(dialog, IDC_DISC_COUNT, tw::Dec(total).c_str());
}

bool SlctDiscSetDlg::GetTotalDiscCount(int32_t setIndex, int32_t discType, TarnSet::CMgr* manager, uint32_t* count) {
  constexpr wchar_t kOp[] = L"SlctDiscSetDlg::GetTotalDiscCount";
  std::vector<TarnSet::TaskData> tasks;
  uint32_t taskCount = 0;
  if (!count || !FetchTasks(manager, setIndex, discType, &tasks, &taskCount)) {
    TW_LOG(kOp, tw::Hex8(static_cast<uint32_t>(setIndex)));
    return false;
  }
  *count = tw::steps::TotalDiscCount(tasks.data(), taskCount);
  return true;
}

bool SlctDiscSetDlg::GetSelectedDiscSetIndex(HWND dialog, int32_t* index) {
  HWND list = ::GetDlgItem(dialog, IDC_DISC_SET_LIST);
  const LRESULT items = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  if (items <= 0 || !index) {
    TW_LOG(L"SlctDiscSetDlg::GetSelectedDiscSetIndex", L"");
    return false;
  }
  for (LRESULT i = 0; i < items; ++i) {
    const LRESULT state = ::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED | LVIS_FOCUSED);
    if (state & (LVIS_SELECTED | LVIS_FOCUSED)) {
      LVITEMW item{};
      item.mask = LVIF_PARAM;
      item.iItem = static_cast<int>(i);
      if (!::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return false;
      *index = static_cast<int32_t>(item.lParam);
      return true;
    }
  }
  return false;
}
