// tw_hold_window.exe TITLE [MUTEX]: shows a window with the title, holds the
// named mutex (when given) and runs until the window is closed. The start-up
// tests run it, built for either bitness, under the name of a program of the
// backup product family, to see the wizard bring it to the front.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 1;
  HANDLE mutex = argc > 2 ? ::CreateMutexW(nullptr, FALSE, argv[2]) : nullptr;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"TwHoldWindow";
  ::RegisterClassW(&windowClass);
  HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                  300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!window) return 2;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  if (mutex) ::CloseHandle(mutex);
  return 0;
}
