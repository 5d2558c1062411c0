// Small owners for Win32 handles: each type names its close function and
// the value that means "no handle", so a handle is closed on every path.
// In the test build every owner also keeps a live count of what it holds
// (app/owner_count.h).
#pragma once

#include <windows.h>

#include <utility>

#ifdef TW_TEST_BUILD
#include "app/owner_count.h"
#endif

namespace tw {

#ifdef TW_TEST_BUILD
// What put() hands out in the test build: converts to the address to write
// through, and tells the owner once the call that wrote it has returned
// (at the end of the full expression), so that the value gets counted.
template <typename Owner, typename P>
class WrittenThrough {
 public:
  WrittenThrough(Owner& owner, P* address) noexcept : owner_(owner), address_(address) {}
  ~WrittenThrough() { owner_.CountWritten(); }
  WrittenThrough(const WrittenThrough&) = delete;
  WrittenThrough& operator=(const WrittenThrough&) = delete;
  operator P*() const noexcept { return address_; }

 private:
  Owner& owner_;
  P* address_;
};
#endif

template <typename T, typename Traits>
class Unique {
 public:
  Unique() noexcept = default;
  explicit Unique(T value) noexcept : value_(value) { Count(value_, true); }
  ~Unique() { reset(); }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) {
      reset();
      value_ = std::exchange(other.value_, Traits::Invalid());
    }
    return *this;
  }

  T get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }
  // Hands the value away: the owner no longer closes (nor counts) it.
  T release() noexcept {
    Count(value_, false);
    return std::exchange(value_, Traits::Invalid());
  }
  void reset(T value = Traits::Invalid()) noexcept {
    T old = std::exchange(value_, value);
    Count(value, true);
    if (old != Traits::Invalid()) {
      Count(old, false);
      Traits::Close(old);
    }
  }
  // Address for out-parameters; closes what is held first.
#ifdef TW_TEST_BUILD
  WrittenThrough<Unique, T> put() noexcept {
    reset();
    return {*this, &value_};
  }
  void CountWritten() noexcept { Count(value_, true); }
#else
  T* put() noexcept {
    reset();
    return &value_;
  }
#endif

 private:
  static void Count([[maybe_unused]] T value, [[maybe_unused]] bool opened) noexcept {
#ifdef TW_TEST_BUILD
    if (value == Traits::Invalid()) return;
    if (opened) {
      owners::Opened(owners::KindOf<Traits>::value);
    } else {
      owners::Closed(owners::KindOf<Traits>::value);
    }
#endif
  }

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

#ifdef TW_TEST_BUILD
}  // namespace tw
namespace tw::owners {
template <> struct KindOf<HandleTraits> { static constexpr Kind value = kHandle; };
template <> struct KindOf<FileTraits> { static constexpr Kind value = kFile; };
template <> struct KindOf<FindTraits> { static constexpr Kind value = kFind; };
template <> struct KindOf<KeyTraits> { static constexpr Kind value = kKey; };
template <> struct KindOf<ModuleTraits> { static constexpr Kind value = kModule; };
template <> struct KindOf<HookTraits> { static constexpr Kind value = kHook; };
template <> struct KindOf<WindowTraits> { static constexpr Kind value = kWindow; };
}  // namespace tw::owners
namespace tw {
#endif

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
#ifdef TW_TEST_BUILD
  WrittenThrough<ProcessInfo, PROCESS_INFORMATION> put() {
    Close();
    return {*this, &info_};
  }
  void CountWritten() noexcept {
    if (info_.hProcess) owners::Opened(owners::kProcess);
  }
#else
  PROCESS_INFORMATION* put() {
    Close();
    return &info_;
  }
#endif
  const PROCESS_INFORMATION& get() const { return info_; }
  HANDLE process() const { return info_.hProcess; }
  void Close() {
#ifdef TW_TEST_BUILD
    if (info_.hProcess) owners::Closed(owners::kProcess);
#endif
    CloseProcessInfo(info_);
    info_ = PROCESS_INFORMATION{};
  }

 private:
  PROCESS_INFORMATION info_{};
};

}  // namespace tw
