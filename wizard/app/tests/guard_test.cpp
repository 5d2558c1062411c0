// The edge between Windows and our code, and the handle owners: what is
// thrown inside a procedure never reaches the system, and what an owner
// holds is closed exactly once.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/guard.h"
#include "app/handles.h"
#include "app/log_reader.h"
#include "test_support.h"

namespace {

constexpr wchar_t kFn[] = L"GuardTest::Proc";
constexpr UINT kThrowStd = WM_APP + 40;
constexpr UINT kThrowOther = WM_APP + 41;

LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kThrowStd) throw std::runtime_error("broken step");
  if (message == kThrowOther) throw 7;
  if (message == WM_APP + 42) return 42;
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK GuardedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(kFn, LRESULT{0}, [&] { return Handle(window, message, wParam, lParam); });
}

struct SendCall {
  HWND target;
  LRESULT answer;
};

DWORD WINAPI SendFromThread(void* p) {
  auto* call = static_cast<SendCall*>(p);
  call->answer = ::SendMessageW(call->target, kThrowOther, 0, 0);
  return 0;
}

DWORD WINAPI ThrowingThread(void*) {
  return TW_GUARDED(L"GuardTest::Thread", DWORD{3}, []() -> DWORD { throw std::bad_alloc(); });
}

bool IsOpenHandle(HANDLE h) {
  DWORD flags = 0;
  return ::GetHandleInformation(h, &flags) != FALSE;
}

TEST(Guard, ExceptionsInAWindowProcedureBecomeTheNeutralAnswerAndOneLogEntryEach) {
  twtest::EnsureLogParentFolder();
  tw::UniqueWindow window = twtest::MakeTestWindow(L"TwGuardTestWindow", GuardedProc);
  ASSERT_TRUE(window);
  tw::LogWatch watch;

  EXPECT_EQ(::SendMessageW(window.get(), WM_APP + 42, 0, 0), 42);
  EXPECT_EQ(::SendMessageW(window.get(), kThrowStd, 0, 0), 0);
  // From another thread the message crosses the system's own dispatch.
  SendCall call{window.get(), -1};
  tw::UniqueHandle thread(::CreateThread(nullptr, 0, SendFromThread, &call, 0, nullptr));
  ASSERT_TRUE(thread);
  // Pump while the other thread's message is delivered to this one.
  HANDLE waitOn = thread.get();
  while (::MsgWaitForMultipleObjects(1, &waitOn, FALSE, 10000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  EXPECT_EQ(call.answer, 0);
  EXPECT_TRUE(::IsWindow(window.get()));
  EXPECT_EQ(twtest::LoggedMessages(watch, kFn), (std::vector<std::wstring>{L"exception: broken step", L"exception"}));
}

TEST(Guard, AThreadEntryThatThrowsEndsWithItsNeutralCode) {
  twtest::EnsureLogParentFolder();
  tw::LogWatch watch;
  tw::UniqueHandle thread(::CreateThread(nullptr, 0, ThrowingThread, nullptr, 0, nullptr));
  ASSERT_TRUE(thread);
  ASSERT_EQ(::WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(::GetExitCodeThread(thread.get(), &code));
  EXPECT_EQ(code, 3u);
  ASSERT_EQ(twtest::LoggedMessages(watch, L"GuardTest::Thread").size(), 1u);
}

TEST(Handles, OwnersCloseWhatTheyHoldExactlyOnce) {
  HANDLE first = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE second = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    tw::UniqueHandle a(first);
    tw::UniqueHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_TRUE(IsOpenHandle(first));
    b.reset(second);  // closes the first, keeps the second
    EXPECT_FALSE(IsOpenHandle(first));
    EXPECT_TRUE(IsOpenHandle(second));
    HANDLE kept = b.release();
    EXPECT_EQ(kept, second);
  }
  EXPECT_TRUE(IsOpenHandle(second));  // released, so not closed
  ::CloseHandle(second);

  // A failed file open is INVALID_HANDLE_VALUE, which the file owner never closes.
  tw::UniqueFile missing(::CreateFileW(L"C:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing);
}

TEST(Handles, AProcessRecordIsClosedWhenRefilledAndWhenItGoes) {
  HANDLE process = nullptr;
  HANDLE thread = nullptr;
  {
    tw::ProcessInfo info;
    PROCESS_INFORMATION* pi = info.put();
    pi->hProcess = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    pi->hThread = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    pi->dwProcessId = 12;
    process = pi->hProcess;
    thread = pi->hThread;
    PROCESS_INFORMATION* again = info.put();
    EXPECT_FALSE(IsOpenHandle(process));
    EXPECT_FALSE(IsOpenHandle(thread));
    EXPECT_EQ(again->hProcess, nullptr);
    EXPECT_EQ(again->dwProcessId, 0u);
    again->hProcess = process = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
  EXPECT_FALSE(IsOpenHandle(process));

  int undone = 0;
  {
    tw::ScopeExit undo([&] { ++undone; });
  }
  {
    tw::ScopeExit kept([&] { ++undone; });
    kept.Dismiss();
  }
  EXPECT_EQ(undone, 1);
}

}  // namespace
