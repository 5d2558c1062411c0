#include "mini_prgrss.h"

#include <commctrl.h>
#include <process.h>

#include <atomic>

#include "app/guard.h"
#include "app/handles.h"
#include "app/log.h"
#include "res/resource.h"
#include "ui/autoplay_cancel.h"
#include "ui/core/messages.h"

namespace {

// The running progress window and the result it ends with; one at a time.
std::atomic<HWND> g_window{nullptr};  // read by the worker
INT_PTR g_result = -1;

constexpr INT_PTR kNotRun = -1;

BOOL OnInitDialog(HWND dialog, MiniPrgrssParam* param) {
  g_window = dialog;
  g_result = kNotRun;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  HWND bar = ::GetDlgItem(dialog, IDC_PROGRESS_BAR);
  ::SetWindowLongPtrW(bar, GWL_STYLE, ::GetWindowLongPtrW(bar, GWL_STYLE) | PBS_MARQUEE);
  ::SendMessageW(bar, PBM_SETMARQUEE, TRUE, 100);

  SECURITY_ATTRIBUTES security{sizeof(security), nullptr, TRUE};
  tw::UniqueHandle thread(reinterpret_cast<HANDLE>(
      ::_beginthreadex(&security, 0, MiniPrgrss::DoFuncThread, param, 0, nullptr)));
  if (!thread) {
    // No worker will ever report: end at once with "not run".
    TW_LOG(L"MiniPrgrss::DlgProc", L"");
    ::PostMessageW(dialog, tw::msg::kDestroyStep, 0, 0);
  }
  // The worker ends by itself after its report; its handle is not kept.
  return TRUE;
}

}  // namespace

INT_PTR MiniPrgrss::Run(HINSTANCE instance, HWND owner, MiniPrgrssParam* param) {
  return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PROGRESS), owner, DlgProc, reinterpret_cast<LPARAM>(param));
}

unsigned __stdcall MiniPrgrss::DoFuncThread(void* param) {
  const DWORD self = ::GetCurrentThreadId();
  const bool reported = TW_GUARDED(L"MiniPrgrss::DoFuncThread", false, [&] {
    CQLNAutoPlayCancel::Register(self);
    auto* record = static_cast<MiniPrgrssParam*>(param);
    if (record && record->Function) {
      const int32_t result = record->Function(record->Argument);
      ::PostMessageW(g_window.load(), tw::msg::kOperationDone, static_cast<WPARAM>(static_cast<uint32_t>(result)), 0);
    } else {
      TW_LOG(L"MiniPrgrss::DoFuncThread", L"");
      ::PostMessageW(g_window.load(), tw::msg::kOperationNotRun, 0, 0);
    }
    return true;
  });
  // An operation that threw (or a registration that did) still ends the
  // window, as "not run".
  if (!reported) ::PostMessageW(g_window.load(), tw::msg::kOperationNotRun, 0, 0);
  TW_GUARDED(L"MiniPrgrss::DoFuncThread", false, [&] {
    CQLNAutoPlayCancel::Unregister(self);
    return true;
  });
  return 0;
}

INT_PTR CALLBACK MiniPrgrss::DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(L"MiniPrgrss::DlgProc", INT_PTR{FALSE}, [&]() -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<MiniPrgrssParam*>(lParam));
      case tw::msg::kOperationDone:
        g_result = static_cast<INT_PTR>(static_cast<int32_t>(wParam));
        ::PostMessageW(dialog, tw::msg::kDestroyStep, 0, 0);
        return TRUE;
      case tw::msg::kOperationNotRun:
        g_result = kNotRun;
        TW_LOG(L"MiniPrgrss::DlgProc", L"");
        ::PostMessageW(dialog, tw::msg::kDestroyStep, 0, 0);
        return TRUE;
      case tw::msg::kDestroyStep:
        g_window = nullptr;
        ::EndDialog(dialog, g_result);
        return TRUE;
      default:
        return FALSE;
    }
  });
}
