// The banner's bitmap buttons on a real parent window: a click is delivered
// once, every bitmap button answers 0 while one is being delivered, a
// release outside the button sends nothing, and a hidden button leaves no
// hole in the row.
#include <gtest/gtest.h>

#include <vector>

#include "app/handles.h"
#include "res/resource.h"
#include "test_support.h"
#include "ui/dialog_designer.h"

namespace {

struct Recorded {
  std::vector<int> commands;
  std::vector<LRESULT> answersDuringClick;  // from every bitmap button
};
Recorded g_recorded;
CSystemBtn* g_buttons = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    g_recorded.commands.push_back(LOWORD(wParam));
    for (size_t i = 0; i < 3 && g_buttons; ++i) {
      g_recorded.answersDuringClick.push_back(::SendMessageW(g_buttons->Button(i).Window(), WM_GETDLGCODE, 0, 0));
    }
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

class BitmapButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = twtest::MakeTestWindow(L"BitmapButtonParent", ParentProc, WS_OVERLAPPEDWINDOW, 400, 200);
    ASSERT_TRUE(parent_);
    const std::array<SystemButtonRow, 3> rows = {{
        {IDC_HELP_BUTTON, IDB_HELP_NORMAL, IDB_HELP_FOCUSED, IDB_HELP_PRESSED, IDB_HELP_DISABLED},
        {IDC_MINIMISE_BUTTON, IDB_MINIMISE_NORMAL, IDB_MINIMISE_FOCUSED, IDB_MINIMISE_PRESSED, IDB_MINIMISE_DISABLED},
        {IDC_CLOSE_BUTTON, IDB_CLOSE_NORMAL, IDB_CLOSE_FOCUSED, IDB_CLOSE_PRESSED, IDB_CLOSE_DISABLED},
    }};
    buttons_ = std::make_unique<CSystemBtn>();
    ASSERT_TRUE(buttons_->Create(::GetModuleHandleW(nullptr), parent_.get(), rows));
    buttons_->SetLayout(300, 10, 10);
    g_buttons = buttons_.get();
    g_recorded = Recorded{};
  }
  void TearDown() override { g_buttons = nullptr; }

  int LeftOf(size_t i) {
    RECT r{};
    ::GetWindowRect(buttons_->Button(i).Window(), &r);
    ::MapWindowPoints(nullptr, parent_.get(), reinterpret_cast<POINT*>(&r), 2);
    return r.left;
  }

  tw::UniqueWindow parent_;
  std::unique_ptr<CSystemBtn> buttons_;
};

TEST_F(BitmapButtons, ClickIsDeliveredOnceWhileEveryButtonAnswersZero) {
  buttons_->Arrange(true, true, true, true, true, true);
  HWND close = buttons_->Button(2).Window();
  EXPECT_EQ(buttons_->Button(2).GetWidth(), 38);
  ::SendMessageW(close, BM_CLICK, 0, 0);
  ::SendMessageW(close, WM_KEYDOWN, VK_SPACE, 0);
  ::SendMessageW(close, WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(g_recorded.commands, (std::vector<int>{IDC_CLOSE_BUTTON, IDC_CLOSE_BUTTON}));
  EXPECT_EQ(g_recorded.answersDuringClick, std::vector<LRESULT>(6, 0));
  EXPECT_TRUE(CSystemBmpBtn::ClickFlag());
  // Outside a click the buttons answer as buttons do.
  EXPECT_NE(::SendMessageW(close, WM_GETDLGCODE, 0, 0), 0);
}

TEST_F(BitmapButtons, ReleaseOutsideTheButtonSendsNoCommand) {
  buttons_->Arrange(true, true, true, true, true, true);
  HWND help = buttons_->Button(0).Window();
  ::SendMessageW(help, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(help, WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
  ::SendMessageW(help, WM_KEYUP, VK_SPACE, 0);  // nothing pressed any more
  EXPECT_TRUE(g_recorded.commands.empty());
}

TEST_F(BitmapButtons, HiddenButtonLeavesNoHole) {
  buttons_->Arrange(true, true, true, true, true, true);
  EXPECT_EQ(LeftOf(2), 262);
  EXPECT_EQ(LeftOf(1), 214);
  EXPECT_EQ(LeftOf(0), 166);
  buttons_->Arrange(true, true, false, false, true, false);
  EXPECT_EQ(LeftOf(0), 214);  // next to close
  EXPECT_FALSE(::GetWindowLongPtrW(buttons_->Button(1).Window(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(::IsWindowEnabled(buttons_->Button(2).Window()));
}

}  // namespace
