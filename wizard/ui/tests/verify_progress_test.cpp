// The counting progress window: the operation runs on a worker thread that
// reports its bytes; the window shows them, Cancel reaches the worker, and
// the operation's result becomes the window's result.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "res/resource.h"
#include "test_support.h"
#include "testing/window_driver.h"
#include "ui/autoplay_cancel.h"
#include "ui/vrfy_prgrss.h"

namespace {

VrfyPrgrss::Texts TestTexts() {
  return {L"Checking the disc", L"Checking Disc 1", L"%Done% of %Total% checked", L"About %TimeLeft% left",
          L"Working out the time left", L"Stop"};
}

INT_PTR RunWindow(VrfyPrgrss::Param* param) { return VrfyPrgrss::Run(::GetModuleHandleW(nullptr), nullptr, param); }

// The window as the worker sees it: found by its caption in this process.
HWND FindWindowOfThisProcess() {
  for (HWND window : twdrive::TopWindows(::GetCurrentProcessId())) {
    if (twdrive::TextOf(window) == L"Checking the disc") return window;
  }
  return nullptr;
}

struct Shared {
  std::atomic<bool> sawCancel{false};
  std::wstring bytesShown, headingShown, cancelText;
  bool registered = false;
};

// Reports half of 4 MiB, waits until the window shows it, then waits for a
// Cancel (pressed below from another thread) and reports what it saw.
int32_t HalfThenWaitForCancel(uintptr_t argument, VrfyPrgrss::Reporter& reporter) {
  auto* shared = reinterpret_cast<Shared*>(argument);
  shared->registered = CQLNAutoPlayCancel::Register(::GetCurrentThreadId()) == 183;
  reporter.Total(4u << 20);
  reporter.Advance(2u << 20);
  HWND window = nullptr;
  twdrive::WaitUntil(
      [&] {
        window = FindWindowOfThisProcess();
        return window && twdrive::ItemText(window, IDC_VERIFY_BYTES) == L"2.0 MB of 4.0 MB checked";
      },
      10000);
  if (!window) return -2;
  shared->bytesShown = twdrive::ItemText(window, IDC_VERIFY_BYTES);
  shared->headingShown = twdrive::ItemText(window, IDC_VERIFY_HEADING);
  shared->cancelText = twdrive::ItemText(window, IDCANCEL);
  twdrive::PressItem(window, IDCANCEL);
  shared->sawCancel = twdrive::WaitUntil([&] { return reporter.Cancelled(); }, 10000);
  return 7;
}

int32_t Throws(uintptr_t, VrfyPrgrss::Reporter&) { throw std::runtime_error("drive gone"); }

TEST(CountingProgressWindow, ShowsTheBytesAndPassesCancelToTheWorker) {
  Shared shared;
  VrfyPrgrss::Param param{TestTexts(), HalfThenWaitForCancel, reinterpret_cast<uintptr_t>(&shared)};
  EXPECT_EQ(RunWindow(&param), 7);
  EXPECT_EQ(shared.bytesShown, L"2.0 MB of 4.0 MB checked");
  EXPECT_EQ(shared.headingShown, L"Checking Disc 1");
  EXPECT_EQ(shared.cancelText, L"Stop");
  EXPECT_TRUE(shared.sawCancel);
  EXPECT_TRUE(shared.registered) << "the worker answers AutoPlay while it reads";
}

TEST(CountingProgressWindow, MissingOperationOrOneThatThrowsEndsWithMinusOne) {
  tw::LogWatch watch;
  VrfyPrgrss::Param none{TestTexts(), nullptr, 0};
  EXPECT_EQ(RunWindow(&none), -1);
  VrfyPrgrss::Param throwing{TestTexts(), Throws, 0};
  EXPECT_EQ(RunWindow(&throwing), -1);
  EXPECT_EQ(twtest::LoggedMessages(watch, L"VrfyPrgrss::WorkThread"),
            (std::vector<std::wstring>{L"", L"exception: drive gone"}));
}

}  // namespace
