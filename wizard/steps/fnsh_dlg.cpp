#include "fnsh_dlg.h"

#include <memory>
#include <vector>

#include "app/core/text.h"
#include "app/guard.h"
#include "app/log.h"
#include "config/lang_ini.h"
#include "res/resource.h"
#include "steps/core/step_rules.h"
#include "steps/step_common.h"
#include "ui/dialog_designer.h"
#include "ui/step_params.h"

namespace {

constexpr wchar_t kFn[] = L"FnshDlg::DlgProc";

FnshDlgParam* g_context = nullptr;
LangIni::FnshData g_texts;
std::unique_ptr<CDialogDesigner> g_designer;

// Titles of the run's discs in order; an index that names no entry of the
// disc list gives an empty title and a log entry instead of a read past it.
std::vector<std::wstring> RunTitles(const wchar_t* report) {
  std::vector<std::wstring> titles;
  const FnshDlgParam* c = g_context;
  for (uint32_t i = 0; c && i < c->DiscCount; ++i) {
    const int32_t index = c->DiscListIndex ? c->DiscListIndex[i] : -1;
    if (!c->DiscList || index < 0 || static_cast<uint32_t>(index) >= c->DiscListCount) {
      TW_LOG(report, tw::Hex8Pair(i, static_cast<uint32_t>(index)));
      titles.emplace_back();
      continue;
    }
    titles.push_back(c->DiscList[index].Title);
  }
  return titles;
}

void ShowReport(HWND dialog, tw::steps::ReportKind kind, int iconId, const wchar_t* report) {
  HICON icon = static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0, LR_SHARED));
  if (icon) {
    ::SendDlgItemMessageW(dialog, IDC_RESULT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  } else {
    TW_LOG(report, tw::Hex8(::GetLastError()));
  }
  const FnshDlgParam* c = g_context;
  const tw::steps::Report r = tw::steps::BuildReport(g_texts, kind, c ? c->DiscSetName : std::wstring(),
                                                     RunTitles(report), c ? c->CurrentDisc : 0, c ? c->ExitCode : 0,
                                                     c ? c->ReadBacks : std::vector<tw::ui::ReadBack>());
  ::SetDlgItemTextW(dialog, IDC_RESULT_HEADING, r.heading.c_str());
  ::SetDlgItemTextW(dialog, IDC_RESULT_DETAIL, r.detail.c_str());
  ::SetDlgItemTextW(dialog, IDC_RESULT_LINES, r.lines.c_str());
}

INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!g_designer) g_designer = std::make_unique<CDialogDesigner>();
  INT_PTR common = FALSE;
  if (tw::steps::HandleCommonMessage(dialog, message, wParam, *g_designer, &common)) return common;
  switch (message) {
    case WM_INITDIALOG: {
      g_context = reinterpret_cast<FnshDlgParam*>(lParam);
      g_texts = g_context ? LangIni::CIniMgr::GetFnshData(g_context->LangIniPath) : LangIni::FnshData{};
      for (int id : {IDC_RESULT_HEADING, IDC_RESULT_DETAIL, IDC_RESULT_LINES}) {
        tw::steps::SetFont(dialog, id, g_designer->Font(3));
      }
      const auto kind = tw::steps::ReportKindOf(g_context ? g_context->Result : -1);
      if (!kind) {
        TW_LOG(kFn, tw::Hex8(static_cast<uint32_t>(g_context ? g_context->Result : -1)));
        tw::steps::PostFatal(dialog, tw::msg::FatalCode::kUnknown);
        return TRUE;
      }
      switch (*kind) {
        case tw::steps::ReportKind::kSuccess:
          FnshDlg::ShowSuccessResult(dialog);
          break;
        case tw::steps::ReportKind::kFailure:
          FnshDlg::ShowFailureResult(dialog);
          break;
        case tw::steps::ReportKind::kAbort:
          FnshDlg::ShowAbortResult(dialog);
          break;
      }
      return TRUE;
    }
    case tw::msg::kNextPressed:
      tw::steps::PostToMain(dialog, tw::msg::kGoNext);
      return TRUE;
    case tw::msg::kBackPressed:
      tw::steps::PostToMain(dialog, tw::msg::kGoBack);
      return TRUE;
    case WM_DESTROY:
      g_context = nullptr;
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK FnshDlg::DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(kFn, INT_PTR{FALSE}, [&] { return Handle(dialog, message, wParam, lParam); });
}

void FnshDlg::ShowSuccessResult(HWND dialog) {
  ShowReport(dialog, tw::steps::ReportKind::kSuccess, IDI_RESULT_SUCCESS, L"FnshDlg::ShowSuccessResult");
}
void FnshDlg::ShowAbortResult(HWND dialog) {
  ShowReport(dialog, tw::steps::ReportKind::kAbort, IDI_RESULT_ABORT, L"FnshDlg::ShowAbortResult");
}
void FnshDlg::ShowFailureResult(HWND dialog) {
  ShowReport(dialog, tw::steps::ReportKind::kFailure, IDI_RESULT_FAILURE, L"FnshDlg::ShowFailureResult");
}
