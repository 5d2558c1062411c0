// The real wizard with the keyboard alone. Keys are typed with SendInput from
// this process, as a keyboard types them: they go to the wizard's window in
// front; no mouse event is ever made here. A whole disc set is made with
// keys (the maker's attention answered with Enter too); on every step Tab
// and Shift+Tab go round the controls in reading order with the focus
// shown; the mnemonics, Space on a disc's tick and on the banner's buttons,
// Enter, F1, Escape and Alt+F4 do what they say.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "app/core/text.h"
#include "e2e_support.h"
#include "res/resource.h"
#include "ui/core/access_rules.h"

namespace {

using twdrive::Step;
using twdrive::WizardRun;

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(deployment_.error(), "");
    ASSERT_TRUE(e2e::StartToFirstStep(deployment_, run_));
    ASSERT_TRUE(WaitFront());
    ASSERT_TRUE(run_.Settle());
  }

  HWND Focus() const { return twdrive::FocusOfThread(run_.Main()); }
  int FocusId() const { return ::GetDlgCtrlID(Focus()); }
  bool WaitFocus(int id, DWORD timeoutMs = 10000) const {
    return twdrive::WaitUntil([&] { return FocusId() == id; }, timeoutMs);
  }
  // The wizard is in front and idle, so that the next key reaches it.
  bool WaitFront() const {
    return twdrive::WaitUntil([&] { return ::GetForegroundWindow() == run_.Main(); }, 20000) && run_.WaitIdle();
  }
  // A key that moves the focus: typed, then waited for.
  bool Move(std::initializer_list<WORD> chord) const {
    HWND before = Focus();
    twdrive::TypeChord(chord);
    return twdrive::WaitUntil([&] { return Focus() != before; }, 5000) && run_.Settle();
  }
  bool FocusShown() const {
    const LRESULT state = ::SendMessageW(run_.Main(), WM_QUERYUISTATE, 0, 0);
    return (state & UISF_HIDEFOCUS) == 0;
  }
  // Tab goes once round `cycle` (starting where the focus is) and back to
  // its start; Shift+Tab goes round the other way.
  void ExpectTabCycle(const std::vector<int32_t>& cycle, const char* step) {
    SCOPED_TRACE(step);
    auto start = std::find(cycle.begin(), cycle.end(), FocusId());
    ASSERT_NE(start, cycle.end()) << "the focus is on " << FocusId();
    std::vector<int32_t> forward(start, cycle.end());
    forward.insert(forward.end(), cycle.begin(), start);
    forward.push_back(forward.front());
    std::vector<int32_t> seen{FocusId()}, back{FocusId()};
    for (size_t i = 1; i < forward.size(); ++i) {
      EXPECT_TRUE(Move({VK_TAB})) << "Tab did not move on from " << seen.back();
      seen.push_back(FocusId());
      EXPECT_TRUE(FocusShown()) << "the focus is hidden on " << seen.back();
    }
    EXPECT_EQ(seen, forward);
    for (size_t i = 1; i < forward.size(); ++i) {
      EXPECT_TRUE(Move({VK_SHIFT, VK_TAB}));
      back.push_back(FocusId());
    }
    std::reverse(forward.begin(), forward.end());
    EXPECT_EQ(back, forward);
  }
  tw::ui::access::TabContext Context(uint32_t step) const {
    tw::ui::access::TabContext c;
    c.step = step;
    c.closeEnabled = step != 2;
    c.backShown = step != 3;
    return c;
  }
  // Waits for the wizard's next step of that kind, in front with the focus
  // where the step puts it.
  HWND WaitStepInFront(Step step, HWND previous, int focusId, DWORD timeoutMs = 60000) {
    HWND dialog = run_.WaitStep(step, previous, timeoutMs);
    if (!dialog || !WaitFront() || !run_.Settle() || !WaitFocus(focusId)) return nullptr;
    return dialog;
  }

  // How many help pages of that name the wizard asked for since `watch`
  // began (with no desktop shell here, each request is logged).
  size_t HelpOpened(const tw::LogWatch& watch, const std::wstring& page) const {
    size_t opened = 0;
    for (const tw::LogEntry& e : watch.EntriesOf(L"CHelpViewer::OpenHelp")) {
      if (e.message.size() >= page.size() && e.message.compare(e.message.size() - page.size(), page.size(), page) == 0) {
        ++opened;
      }
    }
    return opened;
  }
  std::optional<twdrive::MessageBoxInfo> ExitQuestion() const {
    auto box = run_.WaitMessageBox();
    if (box && !twdrive::WaitUntil([&] { return ::GetForegroundWindow() == box->window; }, 10000)) return std::nullopt;
    return box;
  }

  e2e::Deployment deployment_;
  WizardRun run_;
};

TEST_F(Keyboard, AWholeDiscSetWithKeysAlone) {
  deployment_.Remove(L"QLNCmnDlg.ini");  // the attention waits for its answer
  ASSERT_TRUE(WaitFocus(IDC_DISC_SET_LIST));
  ExpectTabCycle(tw::ui::access::TabCycle(Context(0)), "select disc set");
  twdrive::TypeKey(VK_DOWN);  // "Drivers and Applications"
  twdrive::RemoteList sets(::GetDlgItem(run_.StepDialog(), IDC_DISC_SET_LIST));
  ASSERT_TRUE(twdrive::WaitUntil([&] { return (sets.State(1, LVIS_SELECTED) & LVIS_SELECTED) != 0; }, 5000));
  twdrive::TypeChord({VK_MENU, 'T'});  // the disc type's label: on to its box
  ASSERT_TRUE(WaitFocus(IDC_DISC_TYPE_COMBO));
  HWND types = ::GetDlgItem(run_.StepDialog(), IDC_DISC_TYPE_COMBO);
  twdrive::TypeKey(VK_DOWN);  // "DVD", after "Blu-ray Disc"
  ASSERT_TRUE(twdrive::WaitUntil(
      [&] { return twdrive::ComboText(types, twdrive::ComboSelection(types)) == L"DVD"; }, 5000));
  EXPECT_EQ(run_.DiscCountText(), L"2");
  HWND step = run_.StepDialog();
  twdrive::TypeChord({VK_MENU, 'N'});
  step = WaitStepInFront(Step::kCheckDisc, step, IDC_DISC_LIST);
  ASSERT_TRUE(step);
  ExpectTabCycle(tw::ui::access::TabCycle(Context(1)), "check discs");

  // Space turns the focused disc's tick over; Next follows the ticks.
  HWND next = run_.Button(IDC_NEXT);
  twdrive::TypeKey(VK_SPACE);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return run_.Ticks() == std::vector<bool>{false, true}; }, 5000));
  twdrive::TypeKey(VK_DOWN);
  twdrive::TypeKey(VK_SPACE);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return !::IsWindowEnabled(next); }, 5000)) << "nothing ticked, Next enabled";
  twdrive::TypeKey(VK_SPACE);
  twdrive::TypeKey(VK_UP);
  twdrive::TypeKey(VK_SPACE);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return run_.Ticks() == std::vector<bool>{true, true}; }, 5000));
  EXPECT_TRUE(::IsWindowEnabled(next));

  twdrive::TypeChord({VK_MENU, 'N'});
  HWND attention = twdrive::WaitTopWindow(run_.ProcessId(), L"#32770", L"", 20000);
  ASSERT_TRUE(twdrive::WaitUntil(
      [&] { return (attention = ::GetForegroundWindow()) != run_.Main() && ::GetDlgItem(attention, IDOK); }, 20000));
  twdrive::TypeKey(VK_RETURN);  // the attention's OK

  // Each disc: Enter on Start (where the step puts the focus).
  for (int disc = 0; disc < 2; ++disc) {
    step = WaitStepInFront(Step::kMakeDisc, step, IDC_NEXT);
    ASSERT_TRUE(step) << "disc " << disc;
    if (disc == 0) ExpectTabCycle(tw::ui::access::TabCycle(Context(2)), "make disc");
    ASSERT_EQ(FocusId(), IDC_NEXT);
    twdrive::TypeKey(VK_RETURN);
  }
  step = WaitStepInFront(Step::kFinish, step, IDC_NEXT);
  ASSERT_TRUE(step);
  ExpectTabCycle(tw::ui::access::TabCycle(Context(3)), "finish");  // the report box keeps no key
  EXPECT_EQ(e2e::ReportLines(run_), (std::vector<std::wstring>{L"Drivers: made and verified", L"Applications: made and verified"}));
  EXPECT_EQ(deployment_.Markers().size(), 2u);
  twdrive::TypeKey(VK_RETURN);  // OK
  EXPECT_EQ(run_.WaitExit(), 0u);
}

}  // namespace

namespace {

TEST_F(Keyboard, HelpClosingAndTheBannersButtons) {
  tw::LogWatch watch;
  ASSERT_TRUE(WaitFocus(IDC_DISC_SET_LIST));
  twdrive::TypeKey(VK_F1);
  EXPECT_TRUE(twdrive::WaitUntil([&] { return HelpOpened(watch, L"\\select_disc_set.htm") == 1; }, 10000));

  // Escape asks; Escape in the question keeps the wizard where it was.
  twdrive::TypeKey(VK_ESCAPE);
  auto box = ExitQuestion();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"Do you want to stop making recovery discs?\r\nDiscs that are already finished remain usable.");
  twdrive::TypeKey(VK_ESCAPE);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return !::IsWindow(box->window); }, 10000));
  ASSERT_TRUE(WaitFront() && run_.Settle());
  EXPECT_TRUE(run_.Running());
  EXPECT_EQ(run_.CurrentStep(), Step::kSelectDiscSet);

  // Back round to the banner's buttons: Space presses them as a click does.
  ASSERT_TRUE(WaitFocus(IDC_DISC_SET_LIST));
  for (int id : {IDC_CLOSE_BUTTON, IDC_MINIMISE_BUTTON, IDC_HELP_BUTTON}) {
    ASSERT_TRUE(Move({VK_SHIFT, VK_TAB}));
    ASSERT_EQ(FocusId(), id);
  }
  twdrive::TypeKey(VK_SPACE);
  EXPECT_TRUE(twdrive::WaitUntil([&] { return HelpOpened(watch, L"\\select_disc_set.htm") == 2; }, 10000));
  twdrive::TypeKey(VK_RETURN);  // Enter presses the focused button too
  EXPECT_TRUE(twdrive::WaitUntil([&] { return HelpOpened(watch, L"\\select_disc_set.htm") == 3; }, 10000));
  ASSERT_TRUE(Move({VK_TAB}));
  ASSERT_EQ(FocusId(), IDC_MINIMISE_BUTTON);
  twdrive::TypeKey(VK_SPACE);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return ::IsIconic(run_.Main()) != FALSE; }, 10000));
  ::ShowWindow(run_.Main(), SW_RESTORE);  // (the test brings it back; no key does on this desktop)
  ::SetForegroundWindow(run_.Main());
  ASSERT_TRUE(WaitFront() && run_.Settle());

  // The close button with Enter asks too; Alt+F4 asks, and Enter (OK) ends
  // the wizard as the user's leaving.
  // The focus comes back to one of the step's stops (under Wine the step's
  // first control); Shift+Tab goes on to the close button.
  const std::vector<int32_t> cycle = tw::ui::access::TabCycle(Context(0));
  ASSERT_TRUE(twdrive::WaitUntil([&] { return std::count(cycle.begin(), cycle.end(), FocusId()) == 1; }, 10000));
  for (size_t i = 0; i < cycle.size() && FocusId() != IDC_CLOSE_BUTTON; ++i) ASSERT_TRUE(Move({VK_SHIFT, VK_TAB}));
  ASSERT_EQ(FocusId(), IDC_CLOSE_BUTTON);
  twdrive::TypeKey(VK_RETURN);
  box = ExitQuestion();
  ASSERT_TRUE(box);
  twdrive::TypeKey(VK_ESCAPE);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return !::IsWindow(box->window); }, 10000));
  ASSERT_TRUE(WaitFront() && run_.Settle());
  twdrive::TypeChord({VK_MENU, VK_F4});
  box = ExitQuestion();
  ASSERT_TRUE(box);
  twdrive::TypeKey(VK_RETURN);
  EXPECT_EQ(run_.WaitExit(), 1u);
}

}  // namespace
