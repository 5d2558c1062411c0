// Keeps the shell's AutoPlay from popping up over the wizard when a disc is
// inserted: the shell asks the foreground window with the registered
// message "QueryCancelAutoPlay", and a hook on every registered thread
// answers 1 (cancel). No window is subclassed.
#pragma once

#include <windows.h>

#include <cstdint>

class CQLNAutoPlayCancel {
 public:
  // Installs the hook for a thread. 0 on success, 183 when the thread is
  // already registered, otherwise the system error of the failing call.
  static DWORD Register(DWORD threadId);
  // Removes the thread's hook; false when the thread was not registered.
  static bool Unregister(DWORD threadId);
  // Registers the message and lets lower-integrity senders reach us with
  // it. 0, 183 when the message is already registered, or the error.
  static DWORD RegisterWndMsg();
  // The call-window-procedure hook.
  static LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam);

  // The registered message's id (0 while not registered); for tests.
  static UINT MessageId();
};
