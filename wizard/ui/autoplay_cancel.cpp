#include "autoplay_cancel.h"

#include <map>
#include <type_traits>
#include <utility>

#include "app/core/text.h"
#include "app/guard.h"
#include "app/handles.h"
#include "app/library_search.h"
#include "app/log.h"
#include "app/syshelpers.h"

namespace {

// Process-wide state, built before the program's entry and torn down
// after it: the lock, the message id and the hook of every thread.
class AutoPlayState {
 public:
  AutoPlayState() { ::InitializeCriticalSection(&lock_); }
  ~AutoPlayState() {
    hooks.clear();  // unhooks every thread still registered
    ::DeleteCriticalSection(&lock_);
  }
  AutoPlayState(const AutoPlayState&) = delete;
  AutoPlayState& operator=(const AutoPlayState&) = delete;

  class Lock {
   public:
    explicit Lock(AutoPlayState& state) : cs_(&state.lock_) { ::EnterCriticalSection(cs_); }
    ~Lock() { ::LeaveCriticalSection(cs_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    CRITICAL_SECTION* cs_;
  };

  UINT messageId = 0;
  std::map<DWORD, tw::UniqueHook> hooks;

 private:
  CRITICAL_SECTION lock_;
};

AutoPlayState g_state;

}  // namespace

UINT CQLNAutoPlayCancel::MessageId() {
  AutoPlayState::Lock lock(g_state);
  return g_state.messageId;
}

DWORD CQLNAutoPlayCancel::RegisterWndMsg() {
  constexpr wchar_t kFn[] = L"CQLNAutoPlayCancel::RegisterWndMsg";
  AutoPlayState::Lock lock(g_state);
  if (g_state.messageId != 0) {
    TW_LOG(kFn, tw::Hex8(ERROR_ALREADY_EXISTS));
    return ERROR_ALREADY_EXISTS;
  }
  const UINT id = ::RegisterWindowMessageW(L"QueryCancelAutoPlay");
  if (id == 0) {
    const DWORD error = ::GetLastError();
    TW_LOG(kFn, tw::Hex8(error));
    return error;
  }
  g_state.messageId = id;
  // An elevated wizard only hears lower-integrity senders (the shell) once
  // the message is let through the filter. Platforms without the filter
  // let everything through.
  tw::UniqueModule user32(tw::LoadSystemLibrary(L"User32.dll"));
  if (!user32) {
    const DWORD error = ::GetLastError();
    TW_LOG(kFn, tw::Hex8(error));
    return error;
  }
  using FilterFn = BOOL(WINAPI*)(UINT, DWORD);
  static_assert(std::is_same_v<FilterFn, decltype(&::ChangeWindowMessageFilter)>, "bound as the system declares it");
  auto filter = reinterpret_cast<FilterFn>(
      reinterpret_cast<void*>(::GetProcAddress(user32.get(), "ChangeWindowMessageFilter")));
  if (filter && !filter(id, 1 /* MSGFLT_ADD */)) {
    const DWORD error = ::GetLastError();
    TW_LOG(kFn, tw::Hex8(error));
    return error;  // the id stays: a later Register does not retry the filter
  }
  return 0;
}

DWORD CQLNAutoPlayCancel::Register(DWORD threadId) {
  constexpr wchar_t kFn[] = L"CQLNAutoPlayCancel::Register";
  AutoPlayState::Lock lock(g_state);
  if (g_state.messageId == 0) {
    const DWORD result = RegisterWndMsg();
    if (result != 0) {
      TW_LOG(kFn, tw::Hex8(result));
      return result;
    }
  }
  if (g_state.hooks.count(threadId)) return ERROR_ALREADY_EXISTS;
  tw::UniqueHook hook(::SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, nullptr, threadId));
  if (!hook) {
    const DWORD error = ::GetLastError();
    TW_LOG(kFn, tw::Hex8(error));
    return error;
  }
  g_state.hooks.emplace(threadId, std::move(hook));
  return 0;
}

bool CQLNAutoPlayCancel::Unregister(DWORD threadId) {
  constexpr wchar_t kFn[] = L"CQLNAutoPlayCancel::Unregister";
  AutoPlayState::Lock lock(g_state);
  auto it = g_state.hooks.find(threadId);
  if (it == g_state.hooks.end()) return false;
  if (!::UnhookWindowsHookEx(it->second.release())) TW_LOG(kFn, tw::Hex8(::GetLastError()));
  g_state.hooks.erase(it);
  return true;
}

LRESULT CALLBACK CQLNAutoPlayCancel::CallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(L"CQLNAutoPlayCancel::CallWndProc", LRESULT{0}, [&]() -> LRESULT {
    HHOOK hook = nullptr;
    {
      // The map may change on another thread at this very moment: read it
      // under the same lock as Register and Unregister.
      AutoPlayState::Lock lock(g_state);
      const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
      if (code == HC_ACTION && call && g_state.messageId != 0 && call->message == g_state.messageId) {
        ::ReplyMessage(1);
        return 1;
      }
      auto it = g_state.hooks.find(::GetCurrentThreadId());
      if (it == g_state.hooks.end()) return 0;
      hook = it->second.get();
    }
    return ::CallNextHookEx(hook, code, wParam, lParam);
  });
}
