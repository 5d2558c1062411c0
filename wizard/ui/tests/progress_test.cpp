// The progress window: the operation runs on a worker thread and its result
// becomes the window's result; a missing record or an operation that throws
// ends the window with -1 and a log entry.
#include <gtest/gtest.h>

#include <stdexcept>

#include "test_support.h"
#include "ui/autoplay_cancel.h"
#include "ui/mini_prgrss.h"

namespace {

int32_t Immediate(uintptr_t argument) { return static_cast<int32_t>(argument); }

int32_t Throws(uintptr_t) { throw std::runtime_error("disk gone"); }

// Whether the worker thread was registered with the AutoPlay suppression
// while the operation ran.
int32_t RegisteredWhileRunning(uintptr_t) {
  return CQLNAutoPlayCancel::Register(::GetCurrentThreadId()) == 183 ? 1 : 0;
}

INT_PTR RunProgress(MiniPrgrssParam* param) { return MiniPrgrss::Run(::GetModuleHandleW(nullptr), nullptr, param); }

TEST(ProgressWindow, ReturnsTheOperationsResult) {
  for (uintptr_t value : {uintptr_t{1}, uintptr_t{0}, uintptr_t{42}, uintptr_t{0xFFFFFFFE}}) {
    MiniPrgrssParam param{Immediate, value};
    EXPECT_EQ(RunProgress(&param), static_cast<INT_PTR>(static_cast<int32_t>(value)));
  }
  MiniPrgrssParam param{RegisteredWhileRunning, 0};
  EXPECT_EQ(RunProgress(&param), 1);
}

TEST(ProgressWindow, MissingRecordOrThrowingOperationEndsWithMinusOne) {
  tw::LogWatch watch;
  EXPECT_EQ(RunProgress(nullptr), -1);
  EXPECT_EQ(twtest::LoggedMessages(watch, L"MiniPrgrss::DoFuncThread"), std::vector<std::wstring>{L""});
  MiniPrgrssParam throwing{Throws, 0};
  EXPECT_EQ(RunProgress(&throwing), -1);
  EXPECT_EQ(twtest::LoggedMessages(watch, L"MiniPrgrss::DoFuncThread"),
            (std::vector<std::wstring>{L"", L"exception: disk gone"}));
  // Both endings are logged by the window too.
  EXPECT_EQ(twtest::LoggedMessages(watch, L"MiniPrgrss::DlgProc").size(), 2u);
}

}  // namespace
