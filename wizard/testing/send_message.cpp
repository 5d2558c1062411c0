// tw_send_message.exe WINDOW NAME: sends the registered window message NAME
// to WINDOW (a decimal handle) and exits with the answer. The AutoPlay tests
// use it as a sender in another process.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return -1;
  HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(argv[1], nullptr, 10)));
  const UINT message = ::RegisterWindowMessageW(argv[2]);
  DWORD_PTR answer = 0;
  if (!::SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, 10000, &answer)) return -2;
  return static_cast<int>(answer);
}
