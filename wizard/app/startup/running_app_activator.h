// Brings an already running program of the backup product family (or
// another copy of the wizard) to the front, found by its executable path.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

class CRunningAppActivator {
 public:
  // `foreground`: the window that was in front when the check began, made
  // the foreground window again before the found one is brought up.
  explicit CRunningAppActivator(HWND foreground = nullptr);

  // True when one running conflicting program with a visible window was
  // found and brought to the front.
  bool Activate();

  static constexpr size_t kSlots = 12;

 private:
  struct Slot {
    DWORD processId = 0;
    bool inUse = false;
    uint32_t rowFlag = 0;
    HWND window = nullptr;
  };
  static BOOL CALLBACK CollectWindow(HWND window, LPARAM self);
  void BringToFront(HWND target) const;

  DWORD ownProcessId_;
  HWND foreground_;
  std::array<Slot, kSlots> slots_{};
};
