// The progress window: runs one long operation on a worker thread while a
// small modal window with a running marquee keeps the wizard alive, and
// returns the operation's result as the window's result.
#pragma once

#include <windows.h>

#include <cstdint>

// The operation and its argument; owned by the caller, alive until the
// window has ended.
struct MiniPrgrssParam {
  int32_t (*Function)(uintptr_t argument) = nullptr;
  uintptr_t Argument = 0;
};

class MiniPrgrss {
 public:
  // Runs the window modally (template 31) over `owner`; the operation's
  // result, or -1 when it was not run.
  static INT_PTR Run(HINSTANCE instance, HWND owner, MiniPrgrssParam* param);

  static INT_PTR CALLBACK DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  // The worker thread's entry.
  static unsigned __stdcall DoFuncThread(void* param);
};
