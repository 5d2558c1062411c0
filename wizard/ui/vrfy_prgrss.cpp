#include "vrfy_prgrss.h"

#include <commctrl.h>
#include <process.h>

#include "app/core/text.h"
#include "app/guard.h"
#include "app/handles.h"
#include "app/log.h"
#include "res/resource.h"
#include "ui/autoplay_cancel.h"
#include "ui/core/messages.h"
#include "ui/core/progress_figures.h"

namespace {

constexpr wchar_t kFn[] = L"VrfyPrgrss::DlgProc";
constexpr wchar_t kWorkFn[] = L"VrfyPrgrss::WorkThread";
constexpr INT_PTR kNotRun = -1;
// The worker tells the window at most this often how far it is.
constexpr DWORD kNoticeMs = 100;

// The running window, its operation and what the worker reports; one
// window at a time.
struct WindowState {
  VrfyPrgrss::Param* param = nullptr;
  VrfyPrgrss::Reporter reporter;
  ULONGLONG started = 0;
  INT_PTR result = kNotRun;
};
WindowState* g_state = nullptr;  // set while a window runs (user-interface thread)

void ShowProgress(HWND dialog) {
  if (!g_state || !g_state->param) return;
  const VrfyPrgrss::Texts& texts = g_state->param->texts;
  const uint64_t done = g_state->reporter.done(), total = g_state->reporter.total();
  ::SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, tw::ui::Permille(done, total), 0);
  std::wstring bytes = tw::ReplaceAll(texts.bytes, L"%Done%", tw::ui::SizeText(done));
  bytes = tw::ReplaceAll(bytes, L"%Total%", tw::ui::SizeText(total));
  ::SetDlgItemTextW(dialog, IDC_VERIFY_BYTES, bytes.c_str());
  const auto left = tw::ui::SecondsLeft(done, total, ::GetTickCount64() - g_state->started);
  const std::wstring time =
      left ? tw::ReplaceAll(texts.timeLeft, L"%TimeLeft%", tw::ui::DurationText(*left)) : texts.timeUnknown;
  ::SetDlgItemTextW(dialog, IDC_VERIFY_TIME, time.c_str());
}

BOOL OnInitDialog(HWND dialog, VrfyPrgrss::Param* param) {
  g_state->param = param;
  g_state->reporter.Attach(dialog);
  g_state->started = ::GetTickCount64();
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  ::SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, 1000);
  if (param) {
    ::SetWindowTextW(dialog, param->texts.caption.c_str());
    ::SetDlgItemTextW(dialog, IDC_VERIFY_HEADING, param->texts.heading.c_str());
    ::SetDlgItemTextW(dialog, IDCANCEL, param->texts.cancel.c_str());
  }
  ShowProgress(dialog);
  tw::UniqueHandle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, VrfyPrgrss::WorkThread, param, 0, nullptr)));
  if (!thread) {
    // No worker will ever report: end at once with "not run".
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
    ::PostMessageW(dialog, tw::msg::kOperationNotRun, 0, 0);
  }
  // The worker ends by itself after its report; its handle is not kept.
  return TRUE;
}

INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, reinterpret_cast<VrfyPrgrss::Param*>(lParam));
    case tw::msg::kProgressChanged:
      ShowProgress(dialog);
      return TRUE;
    case WM_COMMAND:
      // The Cancel button, Escape, or closing the window: the worker stops
      // at its next block and reports.
      if (LOWORD(wParam) == IDCANCEL) {
        g_state->reporter.Cancel();
        ::EnableWindow(::GetDlgItem(dialog, IDCANCEL), FALSE);
      }
      return TRUE;
    case tw::msg::kOperationDone:
      g_state->result = static_cast<INT_PTR>(static_cast<int32_t>(wParam));
      ShowProgress(dialog);
      ::EndDialog(dialog, g_state->result);
      return TRUE;
    case tw::msg::kOperationNotRun:
      TW_LOG(kFn, L"");
      ::EndDialog(dialog, kNotRun);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void VrfyPrgrss::Reporter::Total(uint64_t bytes) {
  total_ = bytes;
  done_ = 0;
  Notify();
}

void VrfyPrgrss::Reporter::Advance(uint64_t bytes) {
  done_ += bytes;
  Notify();
}

void VrfyPrgrss::Reporter::Notify() {
  const DWORD now = ::GetTickCount();
  if (now - lastNotice_.load() < kNoticeMs && done_.load() < total_.load()) return;
  lastNotice_ = now;
  if (HWND window = window_.load()) ::PostMessageW(window, tw::msg::kProgressChanged, 0, 0);
}

INT_PTR VrfyPrgrss::Run(HINSTANCE instance, HWND owner, Param* param) {
  WindowState state;
  g_state = &state;
  // -1 also when the window could not be made, and so ran no worker.
  const INT_PTR result =
      ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_VERIFY_PROGRESS), owner, DlgProc, reinterpret_cast<LPARAM>(param));
  g_state = nullptr;
  return result;
}

unsigned __stdcall VrfyPrgrss::WorkThread(void* param) {
  const DWORD self = ::GetCurrentThreadId();
  // The window lives until this reports, so its state does too.
  WindowState* state = g_state;
  HWND window = state ? state->reporter.window() : nullptr;
  const bool reported = TW_GUARDED(kWorkFn, false, [&] {
    CQLNAutoPlayCancel::Register(self);
    auto* record = static_cast<Param*>(param);
    if (!record || !record->Function || !state) {
      TW_LOG(kWorkFn, L"");
      ::PostMessageW(window, tw::msg::kOperationNotRun, 0, 0);
      return true;
    }
    const int32_t result = record->Function(record->Argument, state->reporter);
    ::PostMessageW(window, tw::msg::kOperationDone, static_cast<WPARAM>(static_cast<uint32_t>(result)), 0);
    return true;
  });
  // An operation that threw still ends the window, as "not run".
  if (!reported) ::PostMessageW(window, tw::msg::kOperationNotRun, 0, 0);
  TW_GUARDED(kWorkFn, false, [&] {
    CQLNAutoPlayCancel::Unregister(self);
    return true;
  });
  return 0;
}

INT_PTR CALLBACK VrfyPrgrss::DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(kFn, INT_PTR{FALSE}, [&] { return g_state ? Handle(dialog, message, wParam, lParam) : FALSE; });
}
