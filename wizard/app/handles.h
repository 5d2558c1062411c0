// Small owners for Win32 handles: each type names its close function and
// the value that means "no handle", so a handle is closed on every path.
#pragma once

#include <windows.h>

#include <utility>

namespace tw {

template <typename T, typename Traits>
class Unique {
 public:
  Unique() noexcept = default;
  explicit Unique(T value) noexcept : value_(value) {}
  ~Unique() { reset(); }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : value_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }
  T release() noexcept { return std::exchange(value_, Traits::Invalid()); }
  void reset(T value = Traits::Invalid()) noexcept {
    T old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // Address for out-parameters; closes what is held first.
  T* put() noexcept {
    reset();
    return &value_;
  }

 private:
  T value_ = Traits::Invalid();
};

struct HandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FileTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
struct KeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY k) { ::RegCloseKey(k); }
};
struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static void Close(HMODULE m) { ::FreeLibrary(m); }
};
struct HookTraits {
  static HHOOK Invalid() { return nullptr; }
  static void Close(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
struct WindowTraits {
  static HWND Invalid() { return nullptr; }
  static void Close(HWND w) { ::DestroyWindow(w); }
};

using UniqueHandle = Unique<HANDLE, HandleTraits>;  // NULL means none
using UniqueFile = Unique<HANDLE, FileTraits>;      // INVALID_HANDLE_VALUE means none
using UniqueFind = Unique<HANDLE, FindTraits>;
using UniqueKey = Unique<HKEY, KeyTraits>;
using UniqueModule = Unique<HMODULE, ModuleTraits>;
using UniqueHook = Unique<HHOOK, HookTraits>;
using UniqueWindow = Unique<HWND, WindowTraits>;  // a window this code must destroy

// Runs a function at scope exit unless dismissed (undo on failure).
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() {
    if (active_) f_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  void Dismiss() { active_ = false; }

 private:
  F f_;
  bool active_ = true;
};

// Closes both handles of a PROCESS_INFORMATION and clears them.
inline void CloseProcessInfo(PROCESS_INFORMATION& pi) {
  if (pi.hThread) ::CloseHandle(pi.hThread);
  if (pi.hProcess) ::CloseHandle(pi.hProcess);
  pi.hThread = nullptr;
  pi.hProcess = nullptr;
}

// A started process: both handles of its PROCESS_INFORMATION are closed
// when the owner goes, or earlier with Close(); the ids are cleared with
// them.
class ProcessInfo {
 public:
  ProcessInfo() = default;
  ~ProcessInfo() { Close(); }
  ProcessInfo(const ProcessInfo&) = delete;
  ProcessInfo& operator=(const ProcessInfo&) = delete;
  // Closes what is held and hands out a zeroed record to fill.
  PROCESS_INFORMATION* put() {
    Close();
    return &info_;
  }
  const PROCESS_INFORMATION& get() const { return info_; }
  HANDLE process() const { return info_.hProcess; }
  void Close() {
    CloseProcessInfo(info_);
    info_ = PROCESS_INFORMATION{};
  }

 private:
  PROCESS_INFORMATION info_{};
};

}  // namespace tw
