// The main window and step manager with stand-in step dialogs: the walk
// through the four steps and back, the buttons of each step, the step area,
// closing with its confirmation, the general error message, and starting
// over after the finish step.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

#include "app/settings.h"
#include "config/process_records.h"
#include "res/resource.h"
#include "test_support.h"
#include "testing/window_driver.h"
#include "ui/core/messages.h"
#include "ui/main_dlg.h"
#include "ui/step_manager.h"

namespace {

using Strings = std::vector<std::wstring>;
constexpr wchar_t kCaption[] = L"Frame Test Wizard";

// What the test reads of the step manager's state. The state belongs to
// the user-interface thread: the stand-in steps copy it there when the
// test sends them kReadState.
struct StateView {
  uint32_t currentStep = 0;
  uint32_t currentDisc = 0;
  int32_t discType = -1;
  std::wstring discSetName;
  uint32_t discCount = 0;
  uint32_t discListCount = 0;
};
constexpr UINT kReadState = tw::msg::kApp + 0x60;

// Stand-ins for the four steps: Next and Back go straight to the manager;
// the check step chooses two discs, the make step makes one per Next.
INT_PTR StandInCommon(HWND dialog, UINT message, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case kReadState: {
      const WizardState& s = CFuncMgr::State();
      *reinterpret_cast<StateView*>(lParam) =
          StateView{s.CurrentStep, s.CurrentDisc, s.DiscType, s.DiscSetName, s.DiscCount, s.DiscListCount};
      ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    }
    case tw::msg::kDestroyStep:
      ::DestroyWindow(dialog);
      return TRUE;
    case tw::msg::kNextPressed:
      ::PostMessageW(::GetParent(dialog), tw::msg::kGoNext, 0, 0);
      return TRUE;
    case tw::msg::kBackPressed:
      ::PostMessageW(::GetParent(dialog), tw::msg::kGoBack, 0, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
INT_PTR CALLBACK SelectStandIn(HWND d, UINT m, WPARAM, LPARAM l) {
  if (m == WM_INITDIALOG) {
    auto* p = reinterpret_cast<SlctDiscSetDlgParam*>(l);
    *p->DiscSetName = L"Set A";
    *p->DiscType = 1;
    *p->DiscListCount = 2;
    p->DiscList->reset(new DiscEntry[2]);
  }
  return StandInCommon(d, m, l);
}
INT_PTR CALLBACK CheckStandIn(HWND d, UINT m, WPARAM, LPARAM l) {
  if (m == WM_INITDIALOG) *reinterpret_cast<ChkDiscDlgParam*>(l)->DiscCount = 2;
  return StandInCommon(d, m, l);
}
MkDiscDlgParam* g_make = nullptr;
INT_PTR CALLBACK MakeStandIn(HWND d, UINT m, WPARAM, LPARAM l) {
  if (m == WM_INITDIALOG) g_make = reinterpret_cast<MkDiscDlgParam*>(l);
  if (m == tw::msg::kNextPressed && g_make) {
    *g_make->Result = 0;
    ++*g_make->CurrentDisc;
  }
  return StandInCommon(d, m, l);
}
INT_PTR CALLBACK FinishStandIn(HWND d, UINT m, WPARAM, LPARAM l) { return StandInCommon(d, m, l); }

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    tw::ProcessRecords& r = tw::Records();
    r.App = LangIni::AppData{kCaption, L"Makes discs.", L"One", L"Two", L"Three", L"Four", L"Help", L"Minimise", L"Close"};
    r.Messages.Msg_ExitApplication = L"Leave?";
    r.Messages.Msg_UnknownError = L"Unknown";
    r.Messages.Msg_GettingDiscSetInfoFailed = L"No sets";
    twtest::WriteTextFile(param_.LangIniPath,
                          L"[SelectDiscSet]\r\nNextButton=N0\r\nBackButton=B0\r\n[CheckDisc]\r\nNextButton=N1\r\n"
                          L"BackButton=B1\r\n[MakeDisc]\r\nNextButton=N2\r\nBackButton=B2\r\n[Finish]\r\nOkButton=OK\r\n");
    SetAction(1, 0);
    CFuncMgr::SetStepProcedures({SelectStandIn, CheckStandIn, MakeStandIn, FinishStandIn});
    CFuncMgr::ResetState();
  }
  void TearDown() override {
    if (ui_.joinable()) {
      ::PostMessageW(main_, tw::msg::kFinished, 0, 0);  // ends without asking
      ui_.join();
    }
  }

  void SetAction(int backVisible, int backToFirst) {
    twtest::WriteTextFile(param_.ActIniPath, L"[SelectDiscSet]\r\nBackButton_Visible=" + std::to_wstring(backVisible) +
                                                 L"\r\n[Finish]\r\nBackToFirstStep=" + std::to_wstring(backToFirst) +
                                                 L"\r\n", twtest::Encoding::Ansi);
  }

  void Run() {
    ui_ = std::thread([this] { result_ = MainDlg::Run(::GetModuleHandleW(nullptr), param_); });
    ASSERT_TRUE(twdrive::WaitUntil([&] { return (main_ = ::FindWindowW(L"#32770", kCaption)) != nullptr; }, 10000));
    ASSERT_TRUE(WaitStep(0));
  }
  std::optional<INT_PTR> WaitEnd() {
    if (!ui_.joinable() || !twdrive::WaitUntil([&] { return !::IsWindow(main_); }, 10000)) return std::nullopt;
    ui_.join();
    return result_.load();
  }

  bool WaitStep(uint32_t step) {
    return twdrive::WaitUntil(
        [&] {
          HWND child = Step();
          const std::optional<StateView> state = State();
          return state && state->currentStep == step && child && ::IsWindowVisible(child);
        },
        10000);
  }
  // The step manager's state, read on the window's thread through the
  // current step dialog; nothing while no step dialog answers.
  std::optional<StateView> State() const {
    HWND step = Step();
    StateView view;
    if (!step || ::SendMessageW(step, kReadState, 0, reinterpret_cast<LPARAM>(&view)) != 1) return std::nullopt;
    return view;
  }
  HWND Step() const { return ::FindWindowExW(main_, nullptr, L"#32770", nullptr); }
  void Press(int id) { twdrive::PressItem(main_, id); }
  bool Shown(int id) const { return (::GetWindowLongPtrW(::GetDlgItem(main_, id), GWL_STYLE) & WS_VISIBLE) != 0; }
  bool Enabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(main_, id)) != FALSE; }
  // Back's text when shown, Next's text, and whether close is enabled.
  Strings Buttons() const {
    return {Shown(IDC_BACK) ? twdrive::ItemText(main_, IDC_BACK) : L"-", twdrive::ItemText(main_, IDC_NEXT),
            Enabled(IDC_CLOSE_BUTTON) ? L"close" : L"no close"};
  }

  twtest::TempDir dir_;
  MainDlgInitParam param_{dir_ / L"act.ini", dir_ / L"lang.ini", dir_ / L"TarnSet.ini"};
  std::thread ui_;
  std::atomic<INT_PTR> result_{-5};
  HWND main_ = nullptr;
};

TEST_F(MainWindow, WalksTheStepsForwardAndBackWithEachStepsButtons) {
  twtest::MessageBoxRecorder boxes;
  Run();
  EXPECT_EQ(::GetWindowLongPtrW(main_, GWL_EXSTYLE) & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
  EXPECT_EQ(twdrive::ItemText(main_, IDC_TITLE), kCaption);
  EXPECT_EQ(twdrive::ItemText(main_, IDC_FUNC_DESCRIPTION), L"Makes discs.");
  EXPECT_FALSE(Shown(IDC_HELP_BUTTON));  // no help page for any step
  EXPECT_TRUE(Shown(IDC_MINIMISE_BUTTON) && Shown(IDC_CLOSE_BUTTON));
  RECT area{};
  ::GetWindowRect(Step(), &area);
  ::MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&area), 2);
  EXPECT_EQ(area.top, 120);
  EXPECT_EQ(area.bottom - area.top, 360);
  EXPECT_EQ(area.left, 0);

  // step: what to press, the step that follows, its buttons
  struct Move {
    int button;
    uint32_t step;
    Strings buttons;
  };
  const Move walk[] = {
      {IDC_NEXT, 1, {L"B1", L"N1", L"close"}}, {IDC_BACK, 0, {L"B0", L"N0", L"close"}},
      {IDC_NEXT, 1, {L"B1", L"N1", L"close"}}, {IDC_NEXT, 2, {L"B2", L"N2", L"no close"}},
      {IDC_NEXT, 2, {L"B2", L"N2", L"no close"}},  // the second disc
      {IDC_NEXT, 3, {L"-", L"OK", L"close"}},
  };
  EXPECT_TRUE(twdrive::WaitUntil([&] { return Buttons() == Strings{L"B0", L"N0", L"close"}; }, 5000));
  for (const Move& move : walk) {
    HWND before = Step();
    Press(move.button);
    ASSERT_TRUE(twdrive::WaitUntil([&] { return Step() != before; }, 10000));
    ASSERT_TRUE(WaitStep(move.step)) << move.step;
    EXPECT_TRUE(twdrive::WaitUntil([&] { return Buttons() == move.buttons; }, 5000)) << "step " << move.step;
  }
  const std::optional<StateView> state = State();
  ASSERT_TRUE(state);
  EXPECT_EQ(state->currentDisc, 2u);
  Press(IDC_NEXT);  // OK without starting over: the wizard ends with 0
  EXPECT_EQ(WaitEnd(), 0);
  EXPECT_TRUE(boxes.calls().empty());
}

TEST_F(MainWindow, FinishStartsOverWithTheChoiceKeptAndTheListCleared) {
  SetAction(0, 1);
  Run();
  // Back hidden by the action setting.
  EXPECT_TRUE(twdrive::WaitUntil([&] { return Buttons() == Strings{L"-", L"N0", L"close"}; }, 5000));
  for (uint32_t step : {1u, 2u, 2u, 3u, 0u}) {
    HWND before = Step();
    Press(IDC_NEXT);
    ASSERT_TRUE(twdrive::WaitUntil([&] { return Step() != before; }, 10000));
    ASSERT_TRUE(WaitStep(step));
  }
  const std::optional<StateView> s = State();
  ASSERT_TRUE(s);
  EXPECT_EQ(s->discType, 1);
  EXPECT_EQ(s->discSetName, L"Set A");
  EXPECT_EQ(s->discCount, 0u);
  EXPECT_EQ(s->currentDisc, 0u);
  EXPECT_EQ(s->discListCount, 2u);  // the stand-in's new list for the new run
}

TEST_F(MainWindow, CloseAsksAndCancelStays) {
  twtest::MessageBoxRecorder boxes({IDCANCEL, IDOK});
  Run();
  HWND step = Step();
  Press(IDC_CLOSE_BUTTON);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return boxes.calls().size() == 1; }, 10000));
  EXPECT_EQ(Step(), step);
  EXPECT_TRUE(::IsWindow(main_));
  const auto call = boxes.calls()[0];
  EXPECT_EQ(call.text, L"Leave?");
  EXPECT_EQ(call.caption, kCaption);
  EXPECT_EQ(call.type, static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION));
  ::PostMessageW(main_, WM_CLOSE, 0, 0);  // from elsewhere: asked the same way
  EXPECT_EQ(WaitEnd(), 1);
  EXPECT_EQ(boxes.calls().size(), 2u);
}

TEST_F(MainWindow, BackOnTheFirstStepEndsWithoutAsking) {
  twtest::MessageBoxRecorder boxes;
  Run();
  Press(IDC_BACK);
  EXPECT_EQ(WaitEnd(), 0);
  EXPECT_TRUE(boxes.calls().empty());
}

TEST_F(MainWindow, FatalErrorShowsTheGeneralMessageForItsCode) {
  struct Case {
    WPARAM code;
    LPARAM show;
    Strings texts;
    size_t logged;
  };
  using tw::msg::CodeOf;
  using tw::msg::FatalCode;
  const Case cases[] = {{CodeOf(FatalCode::kDiscSetInfo), 1, {L"No sets"}, 0},
                        {77, 1, {L"Unknown"}, 1},  // no such code
                        {CodeOf(FatalCode::kOwnMessage), 0, {}, 0}};
  for (const Case& c : cases) {
    CFuncMgr::ResetState();
    twtest::MessageBoxRecorder boxes;
    tw::LogWatch watch;
    Run();
    ::PostMessageW(main_, tw::msg::kFatalError, c.code, c.show);
    EXPECT_EQ(WaitEnd(), 2);
    Strings texts;
    for (const auto& call : boxes.calls()) {
      texts.push_back(call.text);
      EXPECT_EQ(call.type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    }
    EXPECT_EQ(texts, c.texts) << c.code;
    EXPECT_EQ(watch.EntriesOf(L"MainDlg::ShowErrorMessage").size(), c.logged);
  }
}

TEST_F(MainWindow, HelpAskedForWithoutAPageEndsTheWizard) {
  twtest::MessageBoxRecorder boxes;
  Run();
  ::PostMessageW(main_, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED), 0);
  EXPECT_EQ(WaitEnd(), 2);
  ASSERT_EQ(boxes.calls().size(), 1u);
  EXPECT_EQ(boxes.calls()[0].text, L"Unknown");
}

// The step area follows the resolution the wizard read; it ends where Back
// and Next begin (here the window itself is laid out at the test's real
// resolution, so the buttons come well above 180 + 540).
TEST_F(MainWindow, StepAreaFollowsTheScreenResolution) {
  twtest::SettingsGuard settings;
  tw::Settings().LogPixelsX = tw::Settings().LogPixelsY = 144;
  Run();
  RECT area{}, back{};
  ::GetWindowRect(Step(), &area);
  ::MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&area), 2);
  ::GetWindowRect(::GetDlgItem(main_, IDC_BACK), &back);
  ::MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&back), 2);
  EXPECT_EQ(area.top, 180);
  EXPECT_EQ(area.bottom, std::min<LONG>(180 + 540, back.top));
}

}  // namespace
