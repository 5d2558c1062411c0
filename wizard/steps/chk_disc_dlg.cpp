#include "chk_disc_dlg.h"

#include <commctrl.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "app/core/text.h"
#include "app/guard.h"
#include "app/handles.h"
#include "app/library_search.h"
#include "app/log.h"
#include "app/settings.h"
#include "app/syshelpers.h"
#include "config/lang_ini.h"
#include "res/resource.h"
#include "steps/core/step_rules.h"
#include "steps/step_common.h"
#include "ui/autoplay_cancel.h"
#include "ui/core/wizard_tables.h"
#include "ui/dialog_designer.h"
#include "ui/step_params.h"

namespace {

constexpr wchar_t kFn[] = L"ChkDiscDlg::DlgProc";
constexpr UINT kUnticked = 1;
constexpr UINT kTicked = 2;

ChkDiscDlgParam* g_context = nullptr;
bool g_following = false;  // the list's tick changes enable Next (after set-up)
LangIni::ChkDiscData g_texts;
std::unique_ptr<CDialogDesigner> g_designer;

UINT StateImageOf(HWND list, int item) {
  const LRESULT state = ::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK);
  return static_cast<UINT>((state & LVIS_STATEIMAGEMASK) >> 12);
}

void SetStateImage(HWND list, int item, UINT image) {
  LVITEMW state{};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(image);
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void SetSelection(HWND list, int item, UINT state) {
  LVITEMW change{};
  change.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  change.state = state;
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&change));
}

std::vector<bool> Ticks(HWND list) {
  const LRESULT count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  std::vector<bool> ticks;
  for (LRESULT i = 0; i < count; ++i) ticks.push_back(StateImageOf(list, static_cast<int>(i)) != kUnticked);
  return ticks;
}

void OnClick(HWND dialog, UINT code) {
  HWND list = ::GetDlgItem(dialog, IDC_DISC_LIST);
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(list, &cursor);
  LVHITTESTINFO hit{};
  hit.pt = cursor;
  const int item = static_cast<int>(::SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (item < 0 || !(hit.flags & LVHT_ONITEM)) return;
  // The list view toggles a check box only for the left button; a right
  // click on the box toggles by program like one on the text.
  const bool leftClick = code == NM_CLICK || code == NM_DBLCLK;
  uint32_t ticked = 0;
  if ((hit.flags & LVHT_ONITEMSTATEICON) && leftClick) {
    const LRESULT count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    const int current =
        static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
    if (current >= 0 && current < count) SetSelection(list, current, 0);
    SetSelection(list, item, LVIS_SELECTED | LVIS_FOCUSED);
    ticked = tw::steps::TickedAfterClick(Ticks(list), static_cast<size_t>(item), true);
  } else {
    SetStateImage(list, item, StateImageOf(list, item) == kUnticked ? kTicked : kUnticked);
    ticked = tw::steps::TickedAfterClick(Ticks(list), static_cast<size_t>(item), false);
  }
  ::EnableWindow(::GetDlgItem(::GetParent(dialog), IDC_NEXT), ticked > 0 ? TRUE : FALSE);
}

// A tick turned over by the keyboard (Space on the focused disc) or by a
// screen reader enables or disables Next as a click does.
void OnItemChanged(HWND dialog, const NMLISTVIEW& change) {
  if (!g_following || !(change.uChanged & LVIF_STATE) ||
      !((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)) {
    return;
  }
  size_t ticked = 0;
  for (bool tick : Ticks(::GetDlgItem(dialog, IDC_DISC_LIST))) ticked += tick ? 1 : 0;
  ::EnableWindow(::GetDlgItem(::GetParent(dialog), IDC_NEXT), ticked > 0 ? TRUE : FALSE);
}

void OnNext(HWND dialog) {
  ChkDiscDlgParam* c = g_context;
  if (!c || !c->DiscCount || !c->DiscListIndex) {
    TW_LOG(kFn, L"");
    tw::steps::PostFatal(dialog, tw::msg::FatalCode::kUnknown);
    return;
  }
  *c->DiscCount = 0;
  c->DiscListIndex->reset();
  DiscIndexOwner indices(static_cast<int32_t*>(std::calloc(c->DiscListCount ? c->DiscListCount : 1, sizeof(int32_t))));
  if (!indices) {
    TW_LOG(kFn, tw::Hex8(c->DiscListCount));
    tw::steps::PostFatal(dialog, tw::msg::FatalCode::kUnknown);
    return;
  }
  HWND list = ::GetDlgItem(dialog, IDC_DISC_LIST);
  const LRESULT count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  uint32_t ticked = 0;
  for (LRESULT i = 0; i < count && ticked < c->DiscListCount; ++i) {
    if (StateImageOf(list, static_cast<int>(i)) == kUnticked) continue;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    if (!::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) continue;
    // An index that does not name an entry of the disc list is never stored.
    if (item.lParam < 0 || static_cast<uint32_t>(item.lParam) >= c->DiscListCount) continue;
    indices.get()[ticked++] = static_cast<int32_t>(item.lParam);
  }
  *c->DiscCount = ticked;
  *c->DiscListIndex = std::move(indices);
  if (ticked == 0) {
    TW_LOG(kFn, L"");
    return;
  }
  if (ChkDiscDlg::ShowAttntnToFormatDisc(dialog)) {
    tw::steps::PostToMain(dialog, tw::msg::kGoNext);
  } else {
    TW_LOG(kFn, L"");
    tw::steps::PostFatal(dialog, tw::msg::FatalCode::kUnknown);
  }
}

INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!g_designer) g_designer = std::make_unique<CDialogDesigner>();
  INT_PTR common = FALSE;
  if (tw::steps::HandleCommonMessage(dialog, message, wParam, *g_designer, &common)) return common;
  switch (message) {
    case WM_INITDIALOG: {
      g_context = reinterpret_cast<ChkDiscDlgParam*>(lParam);
      CQLNAutoPlayCancel::Register(::GetCurrentThreadId());
      INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
      ::InitCommonControlsEx(&controls);
      g_texts = g_context ? LangIni::CIniMgr::GetChkDiscData(g_context->LangIniPath) : LangIni::ChkDiscData{};
      tw::steps::SetFont(dialog, IDC_STEP_DESCRIPTION, g_designer->Font(3));
      tw::steps::SetFont(dialog, IDC_DISC_LIST, g_designer->Font(3));
      tw::steps::SetFont(dialog, IDC_ATTENTION, g_designer->Font(4));
      ::SetDlgItemTextW(dialog, IDC_STEP_DESCRIPTION, g_texts.StepDescription.c_str());
      ::SetDlgItemTextW(dialog, IDC_ATTENTION, g_texts.StepAttention.c_str());
      if (g_context) ChkDiscDlg::SetDiscList(dialog, g_context->DiscListCount, g_context->DiscList);
      g_following = true;
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (!header || header->idFrom != IDC_DISC_LIST) return FALSE;
      if (header->code == NM_CLICK || header->code == NM_DBLCLK || header->code == NM_RCLICK ||
          header->code == NM_RDBLCLK) {
        OnClick(dialog, header->code);
      } else if (header->code == LVN_ITEMCHANGED) {
        OnItemChanged(dialog, *reinterpret_cast<const NMLISTVIEW*>(lParam));
      }
      return FALSE;
    }
    case tw::msg::kNextPressed:
      OnNext(dialog);
      return TRUE;
    case tw::msg::kBackPressed:
      tw::steps::PostToMain(dialog, tw::msg::kGoBack);
      return TRUE;
    case WM_DESTROY:
      g_context = nullptr;
      g_following = false;
      CQLNAutoPlayCancel::Unregister(::GetCurrentThreadId());
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK ChkDiscDlg::DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(kFn, INT_PTR{FALSE}, [&] { return Handle(dialog, message, wParam, lParam); });
}

void ChkDiscDlg::SetDiscList(HWND dialog, uint32_t count, const DiscEntry* discList) {
  HWND list = ::GetDlgItem(dialog, IDC_DISC_LIST);
  const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
  ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  std::vector<std::wstring> titles;
  for (uint32_t i = 0; discList && i < count; ++i) titles.push_back(discList[i].Title);
  std::vector<int> items;
  const int widest = tw::steps::FillSingleColumnList(list, titles, L"ChkDiscDlg::SetDiscList", &items);
  for (int index : items) {
    if (index >= 0) SetStateImage(list, index, kTicked);
  }
  RECT client{};
  ::GetClientRect(list, &client);
  const int32_t dpiX = tw::Settings().LogPixelsX;
  tw::steps::SetSingleColumnWidth(list, tw::steps::CheckListColumnWidth(client.right, widest, tw::ui::Scale(25, dpiX),
                                                                         tw::ui::Scale(20, dpiX)));
  SetSelection(list, 0, LVIS_SELECTED | LVIS_FOCUSED);
}

bool ChkDiscDlg::ShowAttntnToFormatDisc(HWND dialog) {
  constexpr wchar_t kOp[] = L"ChkDiscDlg::ShowAttntnToFormatDisc";
  std::wstring path;
  switch (FindCommonDialogLibrary(&path)) {
    case LibraryLookup::kNoInstallFolder:
      TW_LOG(kOp, L"");
      return false;
    case LibraryLookup::kMissing:
      TW_LOG(kOp, path);
      return false;
    case LibraryLookup::kFound:
      break;
  }
  tw::UniqueModule library(tw::LoadLibraryByFullPath(path));
  if (!library) {
    TW_LOG(kOp, tw::Hex8With(::GetLastError(), path));
    return false;
  }
  using AttentionFn = int(WINAPI*)(HWND);  // __stdcall, as the library exports it
  static_assert(std::is_same_v<AttentionFn, int(__stdcall*)(HWND)>, "bound with the library's calling convention");
  auto show = reinterpret_cast<AttentionFn>(
      reinterpret_cast<void*>(::GetProcAddress(library.get(), kAttentionExportName)));
  if (!show) {
    TW_LOG(kOp, tw::Hex8(::GetLastError()));
    return false;
  }
  const int answer = show(dialog);
  if (answer != 1) {
    TW_LOG(kOp, tw::Hex8(static_cast<uint32_t>(answer)));
    return false;
  }
  return true;
}
