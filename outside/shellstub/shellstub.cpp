// shellstub.exe: stands in for the desktop shell where there is none (as
// under Wine). It creates a hidden window, registers it as the shell
// window, and runs until that window is closed (WM_CLOSE) or destroyed.
// Exit codes: 0 after a normal close, 1 when the shell window cannot be set
// (for example because another one is registered).
#include <windows.h>

#include <type_traits>

namespace {

LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ShellProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"StandInShellWindow";
  if (!::RegisterClassW(&windowClass)) return 1;
  HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"Stand-in desktop shell", WS_POPUP,
                                  0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;

  using SetShellWindowFn = BOOL(WINAPI*)(HWND);  // __stdcall, as user32 exports it
  static_assert(std::is_same_v<SetShellWindowFn, BOOL(__stdcall*)(HWND)>, "bound with user32's calling convention");
  auto setShellWindow = reinterpret_cast<SetShellWindowFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetShellWindow")));
  if (!setShellWindow || !setShellWindow(window)) {
    ::DestroyWindow(window);
    return 1;
  }
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
