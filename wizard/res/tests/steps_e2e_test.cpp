// The steps' own rules on the real wizard: what the first step offers for
// each drive and set, the check list's ticks and order, the description and
// marker files of the make-disc step, and the engine outcomes it turns into
// abort or failure.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

#include "app/core/text.h"
#include "e2e_support.h"
#include "res/resource.h"

namespace {

using e2e::Deployment;
using twdrive::Step;
using twdrive::WizardRun;
using Strings = std::vector<std::wstring>;

class StepsEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(deployment_.error(), ""); }
  void Start() { ASSERT_TRUE(e2e::StartToFirstStep(deployment_, run_)); }
  Strings ReportLines() const { return e2e::ReportLines(run_); }
  // Answers the next message box with `button` and returns its text.
  std::wstring AnswerBox(int button) {
    auto box = run_.WaitMessageBox(30000);
    if (!box) return L"(no message box)";
    twdrive::Answer(*box, button);
    return box->text;
  }

  Deployment deployment_;
  WizardRun run_;
};

TEST_F(StepsEndToEnd, DiscTypesFollowTheDriveAndTheSetAndTheKeyboard) {
  deployment_.SetDrives(L"F,E", L"101,102");  // DVD writers only
  Start();
  EXPECT_EQ(run_.DriveText(), L"DVD writer (F:)");
  EXPECT_EQ(run_.DiscTypes(), Strings{L"DVD"});
  EXPECT_EQ(run_.DiscCountText(), L"4");
  // The arrow key moves the set like a click does: types and count follow.
  HWND list = ::GetDlgItem(run_.StepDialog(), IDC_DISC_SET_LIST);
  ::PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return run_.DiscCountText() == L"2"; }, 5000));
  ::PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return run_.DiscCountText() == L"1"; }, 5000));
  // A click on the empty part of the list keeps the choice. The click must
  // land on the list; a Tab typed after it is handled only after the click
  // (input is handled in order), so once the Tab has moved the focus on,
  // the click's outcome is there to read.
  twdrive::RemoteList remote(list);
  const auto last = remote.ItemRect(2, LVIR_BOUNDS);
  ASSERT_TRUE(last);
  const POINT empty{last->left + 20, last->bottom + 30};
  ASSERT_EQ(::WindowFromPoint(empty), list);
  twdrive::ClickAt(empty);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return twdrive::FocusOfThread(list) == list; }, 5000));
  twdrive::TypeKey(VK_TAB);
  ASSERT_TRUE(twdrive::WaitUntil([&] { return twdrive::FocusOfThread(list) != list; }, 5000));
  EXPECT_TRUE(remote.State(2, LVIS_SELECTED) & LVIS_SELECTED);
  EXPECT_EQ(run_.DiscCountText(), L"1");
  run_.Back();
  EXPECT_EQ(run_.WaitExit(), 0u);
}

TEST_F(StepsEndToEnd, SingleDriveIsShownReadOnlyAndSetsWithoutBdTasksOfferOnlyDvd) {
  deployment_.SetAction(L"SelectDiscSet", L"CanSelectODD", L"0");
  deployment_.SetDrives(L"E,F", L"101,201");
  Start();
  HWND step = run_.StepDialog();
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(step, IDC_DRIVE_EDIT)));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(step, IDC_DRIVE_COMBO)));
  EXPECT_EQ(run_.DriveText(), L"Blu-ray writer (E:)");
  EXPECT_EQ(run_.DiscTypes(), (Strings{L"Blu-ray Disc", L"DVD"}));  // sorted by text
  ASSERT_TRUE(run_.ChooseDiscSet(L"Support Tools")) << run_.problem();
  EXPECT_EQ(run_.DiscTypes(), Strings{L"DVD"});
  run_.Back();
  EXPECT_EQ(run_.WaitExit(), 0u);
}

TEST_F(StepsEndToEnd, WithoutSetsOrWritersTheWizardSaysSoAndEnds) {
  struct Case {
    const char* name;
    std::function<void(const Deployment&)> arrange;
    std::wstring text;
  };
  const Case cases[] = {
      {"no disc set",
       [](const Deployment& d) { twtest::WriteTextFile(d.Program() + L"\\TarnSet.ini", L"[Nothing]\r\n"); },
       L"No recovery disc set is defined for this computer.\r\nThe program will now close."},
      {"no writer, ten times", [](const Deployment& d) { d.SetDrives(L"", L""); },
       L"No drive that can write discs was found.\r\nConnect a DVD or Blu-ray writer and start again."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Deployment deployment;
    ASSERT_EQ(deployment.error(), "");
    c.arrange(deployment);
    WizardRun run;
    ASSERT_TRUE(run.Start(deployment.Exe()));
    auto box = run.WaitMessageBox(20000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, c.text);
    ASSERT_TRUE(twdrive::Answer(*box, IDOK));
    EXPECT_EQ(run.WaitExit(), 2u);  // without a second message
  }
}

TEST_F(StepsEndToEnd, TicksByBoxTextAndRightClickKeepTheSetsOrder) {
  Start();
  ASSERT_TRUE(run_.ChooseDiscSet(L"Recovery Media")) << run_.problem();
  ASSERT_TRUE(run_.ChooseDiscType(L"Blu-ray Disc"));
  ASSERT_TRUE(run_.NextTo(Step::kCheckDisc));
  EXPECT_EQ(run_.DiscTitles(), (Strings{L"Boot Disc", L"Recovery Disc 1"}));
  HWND next = run_.Button(IDC_NEXT);
  ASSERT_TRUE(run_.ClickCheckBox(0));
  ASSERT_TRUE(run_.ClickLabel(1));
  EXPECT_EQ(run_.Ticks(), (std::vector<bool>{false, false}));
  EXPECT_TRUE(twdrive::WaitUntil([&] { return !::IsWindowEnabled(next); }, 5000));
  ASSERT_TRUE(run_.ClickLabel(1, true));  // a right click ticks too
  ASSERT_TRUE(run_.ClickCheckBox(0));     // ticked last, still made first
  EXPECT_TRUE(twdrive::WaitUntil([&] { return ::IsWindowEnabled(next) != FALSE; }, 5000));
  // Back from the make-disc step and Next again rebuild the list of discs.
  HWND make = run_.NextTo(Step::kMakeDisc);
  ASSERT_TRUE(make);
  EXPECT_NE(run_.StepText(IDC_STEP_DESCRIPTION).find(L"Boot Disc"), std::wstring::npos);
  run_.Back();
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make));
  EXPECT_EQ(ReportLines(), (Strings{L"Boot Disc: stopped", L"Recovery Disc 1: stopped"}));
  run_.Next();
  EXPECT_EQ(run_.WaitExit(), 0u);
}

TEST_F(StepsEndToEnd, DescriptionFilesOfTwoAndZeroBytes) {
  const std::wstring description = L"C:\\Recovery\\Messages\\SupportTools.txt";
  twtest::WriteBytes(description, "\xFF\xFE");
  Start();
  ASSERT_TRUE(e2e::ToMakeDisc(run_, L"Support Tools"));
  EXPECT_EQ(run_.StepText(IDC_STEP_DESCRIPTION), L"");
  run_.Back();
  ASSERT_TRUE(run_.WaitStep(Step::kFinish));
  run_.Next();
  EXPECT_EQ(run_.WaitExit(), 0u);

  twtest::WriteBytes(description, "");
  tw::LogWatch watch;
  WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment_, run));
  ASSERT_TRUE(run.ChooseDiscSet(L"Support Tools")) << run.problem();
  ASSERT_TRUE(run.NextTo(Step::kCheckDisc));
  run.Next();
  auto box = run.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"An unexpected error occurred.\r\nThe program will now close.");
  twdrive::Answer(*box, IDOK);
  EXPECT_EQ(run.WaitExit(), 2u);
  EXPECT_EQ(watch.EntriesOf(L"MkDiscDlg::ShowDescriptionOfBrningDisc").size(), 1u);
}

TEST_F(StepsEndToEnd, EngineOutcomes) {
  struct Case {
    const char* name;
    std::wstring setting, value;
    int answer;  // to the making-failed message, 0 when none comes
    Strings report;
    size_t jobFilesLeft;
  };
  const Case cases[] = {
      {"aborted by the engine", L"ExitCode", L"311", 0, {L"Support Tools: stopped"}, 0},
      {"an unknown code, cancelled", L"ExitCode", L"9999", IDCANCEL, {L"Support Tools: failed for an unknown reason"}, 2},
      {"a crash, cancelled", L"Crash", L"1", IDCANCEL, {L"Support Tools: failed for an unknown reason"}, 2},
      {"verifying failed, cancelled", L"CorruptAfterWrite", L"1", IDCANCEL, {L"Support Tools: failed while verifying"}, 2},
      {"not installed (100), cancelled", L"ExitCode", L"100", IDCANCEL,
       {L"Support Tools: failed (the disc writing software was not found)"}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Deployment deployment;
    ASSERT_EQ(deployment.error(), "");
    deployment.SetEngine(c.setting.c_str(), c.value);
    WizardRun run;
    ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
    HWND make = e2e::ToMakeDisc(run, L"Support Tools");
    ASSERT_TRUE(make);
    run.Next();
    if (c.answer) {
      auto box = run.WaitMessageBox(30000);
      ASSERT_TRUE(box);
      twdrive::Answer(*box, c.answer);
    }
    ASSERT_TRUE(run.WaitStep(Step::kFinish, make, 30000));
    EXPECT_EQ(e2e::ReportLines(run), c.report);
    EXPECT_EQ(deployment.TemporaryJobFiles().size(), c.jobFilesLeft);
    EXPECT_TRUE(deployment.Markers().empty());
    run.Next();
    EXPECT_EQ(run.WaitExit(), 0u);
  }
}

TEST_F(StepsEndToEnd, MarkerThatCannotBeMadeFailsTheDisc) {
  twtest::RemoveTree(L"C:\\Recovery\\Done");
  twtest::WriteBytes(L"C:\\Recovery\\Done", "a file where the markers' folder should be");
  tw::LogWatch watch;
  Start();
  HWND make = e2e::ToMakeDisc(run_, L"Support Tools");
  ASSERT_TRUE(make);
  run_.Next();
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  EXPECT_EQ(ReportLines(), Strings{L"Support Tools: failed for an unknown reason"});
  EXPECT_EQ(twtest::LoggedMessages(watch, L"MkDiscDlg::DlgProc"), Strings{L"C:\\Recovery\\Done\\Set4_DVD_Tools.flg"});
  run_.Next();
  EXPECT_EQ(run_.WaitExit(), 0u);
  ::DeleteFileW(L"C:\\Recovery\\Done");
}

}  // namespace
