// QLNCmnDlg.dll, stand-in for the backup product's common dialog library.
// Its one export shows the attention that the disc will be formatted and
// returns 1 when the user goes on (OK), 2 when the user stops (Cancel), 0
// when the dialog cannot be shown. Settings in QLNCmnDlg.ini beside it:
//
//   [AttentionToDiscFormat]
//   Answer=1          ; answer with this number without showing anything
//   CloseAfterMs=1500 ; show the dialog, then choose OK by itself
//
// With neither key the dialog waits for the user.
#include <windows.h>

#include <type_traits>

#include "common/standin.h"
#include "qlncmndlg_res.h"

namespace {

HMODULE g_module = nullptr;
constexpr UINT_PTR kCloseTimer = 1;

INT_PTR HandleAttention(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      if (lParam > 0) ::SetTimer(dialog, kCloseTimer, static_cast<UINT>(lParam), nullptr);
      return TRUE;
    case WM_TIMER:
      if (wParam == kCloseTimer) {
        ::KillTimer(dialog, kCloseTimer);
        ::EndDialog(dialog, IDOK);
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK AttentionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return standin::AtEdge<INT_PTR>(FALSE, [&] { return HandleAttention(dialog, message, wParam, lParam); });
}

int ShowAttention(HWND owner) {
  const std::wstring ini = standin::ModuleFolder(g_module) + L"\\QLNCmnDlg.ini";
  if (standin::HasIniKey(ini, L"AttentionToDiscFormat", L"Answer")) {
    return static_cast<int>(standin::IniNumber(ini, L"AttentionToDiscFormat", L"Answer", 0));
  }
  const unsigned long closeAfter = standin::IniNumber(ini, L"AttentionToDiscFormat", L"CloseAfterMs", 0);
  const INT_PTR chosen = ::DialogBoxParamW(g_module, MAKEINTRESOURCEW(IDD_ATTENTION_FORMAT), owner, AttentionProc,
                                           static_cast<LPARAM>(closeAfter));
  if (chosen == IDOK) return 1;
  if (chosen == IDCANCEL) return 2;
  return 0;
}

}  // namespace

// The export the wizard binds by this exact name, __stdcall as the maker's
// library has it. 0 (the dialog could not be shown) when anything throws.
extern "C" int __stdcall ShowAttentionToDiscFormatDlg(HWND owner) {
  return standin::AtEdge(0, [&] { return ShowAttention(owner); });
}
static_assert(std::is_same_v<decltype(&ShowAttentionToDiscFormatDlg), int(WINAPI*)(HWND)>, "the interface is __stdcall");

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
