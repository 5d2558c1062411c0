// The counting progress window: runs one long operation that knows how many
// bytes it goes through (reading a disc back) on a worker thread, while a
// modal window shows a bar, the bytes done of the total, the time left and a
// Cancel button, and returns the operation's result as the window's result.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

class VrfyPrgrss {
 public:
  // The worker's side: what it has done so far, and whether the user asked
  // it to stop. Safe to call from the worker while the window reads it.
  class Reporter {
   public:
    void Total(uint64_t bytes);
    void Advance(uint64_t bytes);
    bool Cancelled() const { return cancelled_.load(); }

    uint64_t done() const { return done_.load(); }
    uint64_t total() const { return total_.load(); }
    void Cancel() { cancelled_ = true; }
    void Attach(HWND window) { window_ = window; }
    HWND window() const { return window_.load(); }

   private:
    void Notify();
    std::atomic<uint64_t> done_{0}, total_{0};
    std::atomic<bool> cancelled_{false};
    std::atomic<HWND> window_{nullptr};
    std::atomic<DWORD> lastNotice_{0};
  };

  // The window's texts: caption, heading, "%Done% of %Total%", "About
  // %TimeLeft% left", the text while the time left is not known yet, and
  // the Cancel button.
  struct Texts {
    std::wstring caption, heading, bytes, timeLeft, timeUnknown, cancel;
  };

  // The operation and its argument; owned by the caller, alive until the
  // window has ended.
  struct Param {
    Texts texts;
    int32_t (*Function)(uintptr_t argument, Reporter& reporter) = nullptr;
    uintptr_t Argument = 0;
  };

  // Runs the window modally over `owner`; the operation's result, or -1
  // when it was not run.
  static INT_PTR Run(HINSTANCE instance, HWND owner, Param* param);

  static INT_PTR CALLBACK DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  // The worker thread's entry.
  static unsigned __stdcall WorkThread(void* param);
};
