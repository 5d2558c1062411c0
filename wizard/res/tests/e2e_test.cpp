// End-to-end runs of the real wizard (its test build) on the sample
// deployment, driven from outside through its windows: whole disc sets into
// the engine stand-in's virtual disc, a second run, abort, failure with
// Retry and Cancel, going back to the first step, the close button, power.
#include <gtest/gtest.h>

#include "app/core/text.h"
#include "e2e_support.h"
#include "res/resource.h"

namespace {

using e2e::Deployment;
using twdrive::Step;
using twdrive::WizardRun;
using Strings = std::vector<std::wstring>;

// The English sample texts the runs below expect.
constexpr wchar_t kAppName[] = L"Recovery Disc Creator";

class WizardEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(deployment_.error(), ""); }

  // Starts the wizard and waits for its first step.
  void Start() { ASSERT_TRUE(e2e::StartToFirstStep(deployment_, run_)) << "the first step did not appear"; }

  void Make(const std::wstring& set, const std::wstring& type, const Strings& skip = {}) {
    std::string why;
    ASSERT_TRUE(e2e::MakeDiscs(run_, set, type, skip, &why)) << why;
  }

  // OK on the finish step ends the wizard with 0.
  void FinishWithOk() {
    run_.Next();
    EXPECT_EQ(run_.WaitExit(), 0u);
  }

  Strings ReportLines() const { return e2e::ReportLines(run_); }

  Deployment deployment_;
  tw::LogWatch watch_;
  WizardRun run_;
};

TEST_F(WizardEndToEnd, ImageSetThenASecondRunOffersOnlyTheMissingDisc) {
  Start();
  EXPECT_EQ(run_.DiscSets(), (Strings{L"Recovery Media", L"Drivers and Applications", L"Support Tools"}));
  EXPECT_EQ(run_.DriveText(), L"Blu-ray writer (E:)");
  ASSERT_TRUE(run_.ChooseDiscSet(L"Recovery Media")) << run_.problem();
  ASSERT_TRUE(run_.ChooseDiscType(L"DVD"));
  EXPECT_EQ(run_.DiscCountText(), L"4");
  // The image needs three DVDs; the boot disc is left for the second run.
  Make(L"Recovery Media", L"DVD", {L"Boot Disc"});
  EXPECT_EQ(run_.StepText(IDC_RESULT_HEADING), L"The disc set \"Recovery Media\" has been made.\r\nKeep the discs in a safe place.");
  EXPECT_EQ(ReportLines(), (Strings{L"Recovery Disc 1: made and verified", L"Recovery Disc 2: made and verified",
                                  L"Recovery Disc 3: made and verified"}));
  EXPECT_EQ(deployment_.Markers(),
            (Strings{L"Set1_DVD_Recovery1.flg", L"Set1_DVD_Recovery2.flg", L"Set1_DVD_Recovery3.flg"}));
  EXPECT_EQ(deployment_.EngineRuns(), 3u);
  EXPECT_TRUE(deployment_.TemporaryJobFiles().empty());
  EXPECT_FALSE(deployment_.KeepAwakeHeld());
  FinishWithOk();

  WizardRun second;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment_, second));
  ASSERT_TRUE(second.ChooseDiscSet(L"Recovery Media")) << second.problem();
  ASSERT_TRUE(second.ChooseDiscType(L"DVD"));
  EXPECT_EQ(second.DiscCountText(), L"1");
  ASSERT_TRUE(second.NextTo(Step::kCheckDisc));
  EXPECT_EQ(second.DiscTitles(), (Strings{L"Boot Disc"}));
  EXPECT_EQ(second.Ticks(), (std::vector<bool>{true}));
  second.CloseButton();
  auto box = second.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, kAppName);
  EXPECT_EQ(twdrive::Answer(*box, IDOK), true);
  EXPECT_EQ(second.WaitExit(), 1u);
  EXPECT_EQ(e2e::LoggedFunctions(watch_), Strings{});
}

TEST_F(WizardEndToEnd, CancelInTheEngineWindowAbortsTheSetAndDeletesTheJobFiles) {
  deployment_.SetEngine(L"DelayMs", L"20000");
  Start();
  HWND make = e2e::ToMakeDisc(run_, L"Drivers and Applications");
  ASSERT_TRUE(make);
  run_.Next();
  HWND engine = twdrive::WaitTopWindow(0, L"KSCOREProgressWindow", L"", 20000);
  ASSERT_TRUE(engine) << "the engine's window did not appear";
  EXPECT_TRUE(deployment_.KeepAwakeHeld());
  // The wizard steps aside while the engine works: off the task bar. (Wine
  // shows the minimised window again in its normal size when it is shown.)
  const LONG_PTR during = ::GetWindowLongPtrW(run_.Main(), GWL_EXSTYLE);
  EXPECT_TRUE((during & WS_EX_TOOLWINDOW) && !(during & WS_EX_APPWINDOW));
  twdrive::PressItem(engine, IDCANCEL);
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  // Back in front and in the task bar, whatever the outcome.
  const LONG_PTR after = ::GetWindowLongPtrW(run_.Main(), GWL_EXSTYLE);
  EXPECT_TRUE(::IsWindowVisible(run_.Main()) && !::IsIconic(run_.Main()));
  EXPECT_TRUE((after & WS_EX_APPWINDOW) && !(after & WS_EX_TOOLWINDOW));
  EXPECT_EQ(ReportLines(), (Strings{L"Drivers: stopped", L"Applications: stopped"}));
  EXPECT_TRUE(deployment_.Markers().empty());
  EXPECT_TRUE(deployment_.TemporaryJobFiles().empty());
  EXPECT_FALSE(deployment_.KeepAwakeHeld());
  FinishWithOk();
  EXPECT_EQ(e2e::LoggedFunctions(watch_), Strings{});
}

TEST_F(WizardEndToEnd, FailureThenRetryMakesTheDiscWithTheSameFiles) {
  deployment_.SetEngine(L"FailOnce", L"320");
  Start();
  HWND make = e2e::ToMakeDisc(run_, L"Support Tools");
  ASSERT_TRUE(make);
  EXPECT_NE(run_.StepText(IDC_STEP_DESCRIPTION).find(L"Support Tools"), std::wstring::npos);
  run_.Next();
  auto box = run_.WaitMessageBox(30000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, kAppName);
  EXPECT_EQ(box->text, L"Support Tools could not be made.\r\nCheck the disc and the drive, then try again.");
  EXPECT_EQ(box->buttons, (std::vector<int>{IDCANCEL, IDRETRY}));
  const Strings files = deployment_.TemporaryJobFiles();
  EXPECT_EQ(files.size(), 2u);
  ASSERT_TRUE(twdrive::Answer(*box, IDRETRY));
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  EXPECT_EQ(ReportLines(), Strings{L"Support Tools: made and verified"});
  EXPECT_EQ(deployment_.EngineRuns(), 2u);
  EXPECT_EQ(deployment_.Markers(), Strings{L"Set4_DVD_Tools.flg"});
  EXPECT_TRUE(deployment_.TemporaryJobFiles().empty());
  FinishWithOk();
  const auto entries = watch_.EntriesOf(L"MkDiscDlg::DlgProc");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].message.substr(0, 10), L"0x00000140");
}

TEST_F(WizardEndToEnd, FailureThenCancelReportsTheFailedDiscByItsExitCode) {
  deployment_.SetEngine(L"ExitCode", L"116");
  Start();
  HWND make = e2e::ToMakeDisc(run_, L"Drivers and Applications");
  ASSERT_TRUE(make);
  run_.Next();
  auto box = run_.WaitMessageBox(30000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"Drivers could not be made.\r\nCheck the disc and the drive, then try again.");
  ASSERT_TRUE(twdrive::Answer(*box, IDCANCEL));
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  EXPECT_EQ(run_.StepText(IDC_RESULT_HEADING),
            L"The disc set \"Drivers and Applications\" could not be made completely.\r\nThe discs not yet made can "
            L"be made later.");
  EXPECT_EQ(ReportLines(), (Strings{L"Drivers: failed while writing", L"Applications: not made"}));
  EXPECT_TRUE(deployment_.Markers().empty());
  // After a failure the job files stay for the maker's support staff.
  EXPECT_EQ(deployment_.TemporaryJobFiles().size(), 2u);
  FinishWithOk();
  EXPECT_EQ(e2e::LoggedFunctions(watch_), Strings{L"MkDiscDlg::DlgProc"});
}

TEST_F(WizardEndToEnd, BackToFirstStepStartsOverWithTheChoiceKept) {
  deployment_.SetAction(L"Finish", L"BackToFirstStep", L"1");
  Start();
  Make(L"Support Tools", L"DVD");
  HWND finish = run_.StepDialog();
  run_.Next();
  ASSERT_TRUE(run_.WaitStep(Step::kSelectDiscSet, finish));
  EXPECT_EQ(run_.DiscTypes(), Strings{L"DVD"});
  EXPECT_EQ(run_.DiscCountText(), L"0");  // made already
  run_.Next();  // nothing left to make: the user is told and stays
  auto box = run_.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"All discs of this set have already been made.\r\nChoose another disc set or disc type.");
  ASSERT_TRUE(twdrive::Answer(*box, IDOK));
  EXPECT_EQ(run_.CurrentStep(), Step::kSelectDiscSet);
  run_.Back();  // Back on the first step ends the wizard without asking
  EXPECT_EQ(run_.WaitExit(), 0u);
  EXPECT_EQ(e2e::LoggedFunctions(watch_), Strings{});
}

TEST_F(WizardEndToEnd, CloseButtonAsksAndCancelKeepsTheWizardWhereItWas) {
  Start();
  ASSERT_TRUE(run_.ChooseDiscSet(L"Support Tools")) << run_.problem();
  HWND first = run_.StepDialog();
  run_.CloseButton();
  auto box = run_.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"Do you want to stop making recovery discs?\r\nDiscs that are already finished remain usable.");
  EXPECT_EQ(box->buttons, (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_TRUE(box->hasIcon);
  ASSERT_TRUE(twdrive::Answer(*box, IDCANCEL));
  EXPECT_EQ(run_.StepDialog(), first);
  EXPECT_EQ(run_.DiscCountText(), L"1");
  run_.CloseButton();
  box = run_.WaitMessageBox();
  ASSERT_TRUE(box);
  ASSERT_TRUE(twdrive::Answer(*box, IDOK));
  EXPECT_EQ(run_.WaitExit(), 1u);
}

TEST_F(WizardEndToEnd, BatteryPowerAsksUntilMainsOrCancel) {
  deployment_.SetPower(false);
  Start();
  HWND make = e2e::ToMakeDisc(run_, L"Support Tools");
  ASSERT_TRUE(make);
  run_.Next();
  auto box = run_.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"The computer is running on battery power.\r\nConnect the AC adapter before making discs.");
  EXPECT_EQ(box->buttons, (std::vector<int>{IDOK, IDCANCEL}));
  ASSERT_TRUE(twdrive::Answer(*box, IDCANCEL));  // stays waiting for Next
  EXPECT_EQ(run_.StepDialog(), make);
  EXPECT_EQ(deployment_.EngineRuns(), 0u);
  run_.Next();
  box = run_.WaitMessageBox();
  ASSERT_TRUE(box);
  ASSERT_TRUE(twdrive::Answer(*box, IDOK));  // still on battery: asked again
  box = run_.WaitMessageBox();
  ASSERT_TRUE(box);
  deployment_.SetPower(true);
  ASSERT_TRUE(twdrive::Answer(*box, IDOK));
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  EXPECT_EQ(deployment_.EngineRuns(), 1u);
  FinishWithOk();
}

}  // namespace
