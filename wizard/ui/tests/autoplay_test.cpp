// The AutoPlay suppression on real windows and threads: the registered
// message is answered 1 for its sender while a thread is registered, and
// the window's own answer returns once it is unregistered.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/handles.h"
#include "test_support.h"
#include "testing/window_driver.h"
#include "ui/autoplay_cancel.h"

namespace {

constexpr LRESULT kOwnAnswer = 7;
std::atomic<int> g_delivered{0};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != 0 && message == CQLNAutoPlayCancel::MessageId()) {
    ++g_delivered;
    return kOwnAnswer;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// A window on the calling thread, destroyed again.
tw::UniqueWindow MakeWindow() { return twtest::MakeTestWindow(L"AutoPlayTestWindow", WindowProc); }

// Sends the message from another thread while this one keeps dispatching.
LRESULT SendFromOtherThread(HWND window) {
  std::atomic<bool> done{false};
  LRESULT answer = -1;
  std::thread sender([&] {
    answer = ::SendMessageW(window, CQLNAutoPlayCancel::MessageId(), 0, 0);
    done = true;
  });
  twdrive::WaitUntil([&] { return done.load(); }, 10000);
  sender.join();
  return answer;
}

// From another process: the helper program sends the message and exits with
// the answer.
DWORD SendFromOtherProcess(HWND window) {
  const std::wstring exe = twtest::HostPath(TW_SEND_MESSAGE_EXE);
  std::wstring command = L"\"" + exe + L"\" " + std::to_wstring(reinterpret_cast<uintptr_t>(window)) +
                         L" QueryCancelAutoPlay";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &pi)) {
    return 0xFFFFFFFF;
  }
  tw::ProcessInfo process;
  *process.put() = pi;
  twdrive::WaitUntil([&] { return ::WaitForSingleObject(process.process(), 0) == WAIT_OBJECT_0; }, 20000);
  DWORD code = 0xFFFFFFFF;
  ::GetExitCodeProcess(process.process(), &code);
  return code;
}

TEST(AutoPlay, RegisteredThreadAnswersOneToOtherThreadsAndProcesses) {
  const DWORD self = ::GetCurrentThreadId();
  tw::UniqueWindow window = MakeWindow();
  ASSERT_TRUE(window);
  ASSERT_EQ(CQLNAutoPlayCancel::Register(self), 0u);
  EXPECT_EQ(CQLNAutoPlayCancel::Register(self), 183u);  // once per thread
  ASSERT_NE(CQLNAutoPlayCancel::MessageId(), 0u);
  g_delivered = 0;
  EXPECT_EQ(SendFromOtherThread(window.get()), 1);
  EXPECT_EQ(SendFromOtherProcess(window.get()), 1u);
  // A call-window-procedure hook can answer the sender but cannot stop the
  // delivery: the window procedure still sees the message.
  EXPECT_EQ(g_delivered.load(), 2);

  EXPECT_TRUE(CQLNAutoPlayCancel::Unregister(self));
  EXPECT_EQ(SendFromOtherThread(window.get()), kOwnAnswer);
  EXPECT_EQ(SendFromOtherProcess(window.get()), static_cast<DWORD>(kOwnAnswer));
  EXPECT_FALSE(CQLNAutoPlayCancel::Unregister(self));  // one hook only: gone with the first
}

TEST(AutoPlay, UnknownThreadIsNotRegisteredAndNothingIsLogged) {
  tw::LogWatch watch;
  EXPECT_FALSE(CQLNAutoPlayCancel::Unregister(0x7FFFFFF0));
  CQLNAutoPlayCancel::RegisterWndMsg();
  EXPECT_EQ(CQLNAutoPlayCancel::RegisterWndMsg(), 183u);  // once per process
  EXPECT_EQ(watch.EntriesOf(L"CQLNAutoPlayCancel::Unregister").size(), 0u);
}

TEST(AutoPlay, ThreadsRegisteringTogetherKeepTheMapWhole) {
  // Threads that register and unregister themselves while the hooked test
  // thread keeps receiving messages.
  tw::UniqueWindow window = MakeWindow();
  ASSERT_EQ(CQLNAutoPlayCancel::Register(::GetCurrentThreadId()), 0u);
  std::atomic<bool> stop{false};
  std::atomic<int> failures{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 4; ++i) {
    workers.emplace_back([&] {
      const DWORD self = ::GetCurrentThreadId();
      while (!stop) {
        if (CQLNAutoPlayCancel::Register(self) != 0 || !CQLNAutoPlayCancel::Unregister(self)) ++failures;
      }
    });
  }
  for (int i = 0; i < 50; ++i) EXPECT_EQ(SendFromOtherThread(window.get()), 1);
  stop = true;
  for (std::thread& t : workers) t.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_TRUE(CQLNAutoPlayCancel::Unregister(::GetCurrentThreadId()));
}

}  // namespace
