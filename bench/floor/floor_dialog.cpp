// The least a dialog program of ours does before a person can use it: a
// modal dialog from a template, holding one list view (control 1006, the id
// of the wizard's disc-set list) and a button. Built with the wizard's
// toolchain and manifest, it gives the start-up time that Wine itself sets,
// against which the benchmark measures the wizard.
#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  return static_cast<int>(::DialogBoxParamW(instance, MAKEINTRESOURCEW(100), nullptr, Procedure, 0));
}
