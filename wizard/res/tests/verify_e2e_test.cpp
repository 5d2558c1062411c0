// Every made disc read back before it counts as made: the real wizard (its
// test build) with the engine stand-in spoiling a disc after a run it calls
// a success, as a bad blank or a failing drive would.
#include <gtest/gtest.h>

#include "app/core/text.h"
#include "e2e_support.h"
#include "res/resource.h"

namespace {

using e2e::Deployment;
using twdrive::Step;
using twdrive::WizardRun;
using Strings = std::vector<std::wstring>;

constexpr wchar_t kChecking[] = L"Checking the disc";

class VerifyEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(deployment_.error(), ""); }

  // Starts the wizard and goes to the make-disc step of `set` (every disc
  // ticked), then presses its Start.
  HWND StartMaking(const std::wstring& set) {
    EXPECT_TRUE(e2e::StartToFirstStep(deployment_, run_));
    HWND make = e2e::ToMakeDisc(run_, set);
    EXPECT_TRUE(make);
    if (make) run_.Next();
    return make;
  }

  // Presses Start on every make-disc step that follows, to the report.
  bool MakeTheRest(HWND step) {
    for (;;) {
      HWND next = nullptr;
      twdrive::WaitUntil(
          [&] {
            HWND dialog = run_.StepDialog();
            const Step current = run_.CurrentStep();
            if (dialog != step && (current == Step::kMakeDisc || current == Step::kFinish)) next = dialog;
            return next != nullptr;
          },
          60000);
      if (!next) return false;
      if (run_.CurrentStep() == Step::kFinish) return true;
      step = next;
      run_.Next();
    }
  }

  std::vector<std::wstring> LoggedByTheStep() const { return twtest::LoggedMessages(watch_, L"MkDiscDlg::DlgProc"); }

  // The step logged one entry for the disc, and it starts as given.
  void ExpectOneEntryStarting(const std::wstring& start) const {
    const Strings logged = LoggedByTheStep();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].substr(0, start.size()), start) << twtest::Narrow(logged[0]);
  }

  // The file the engine spoiled, as the wizard reads it through drive E:.
  std::wstring SpoiledOnDisc() const {
    const std::wstring file = deployment_.EngineState(L"SpoiledFile");
    return file.rfind(Deployment::Disc(), 0) == 0 ? L"E:" + file.substr(Deployment::Disc().size()) : file;
  }

  void FinishWithOk() {
    run_.Next();
    EXPECT_EQ(run_.WaitExit(), 0u);
  }

  Deployment deployment_;
  tw::LogWatch watch_;
  WizardRun run_;
};

TEST_F(VerifyEndToEnd, DamagedDiscIsNotMarkedAndRetryWritesItAgain) {
  deployment_.SetEngine(L"SpoilOnce", L"damage");
  HWND make = StartMaking(L"Drivers and Applications");
  ASSERT_TRUE(make);
  auto box = run_.WaitMessageBox(60000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text,
            L"Drivers was written, but the disc does not match the recovery data or cannot be read.\r\nInsert a new "
            L"blank disc and choose Retry to write it again, or choose Cancel.");
  EXPECT_EQ(box->buttons, (std::vector<int>{IDCANCEL, IDRETRY}));
  EXPECT_TRUE(deployment_.Markers().empty()) << "no marker for a disc that differs";
  EXPECT_EQ(deployment_.TemporaryJobFiles().size(), 2u) << "kept for the next try";
  const std::wstring at = deployment_.EngineState(L"SpoiledAt");
  EXPECT_NE(at, L"0") << "a byte in the middle of the file";
  EXPECT_EQ(LoggedByTheStep(), Strings{L"differs at byte " + at + L": " + SpoiledOnDisc()});
  ASSERT_TRUE(twdrive::Answer(*box, IDRETRY));
  ASSERT_TRUE(MakeTheRest(make));
  EXPECT_EQ(e2e::ReportLines(run_), (Strings{L"Drivers: made and verified", L"Applications: made and verified"}));
  EXPECT_EQ(deployment_.EngineRuns(), 3u) << "the first disc twice, the second once";
  EXPECT_EQ(deployment_.Markers(), (Strings{L"Set2_BD_Applications.flg", L"Set2_BD_Drivers.flg"}));
  EXPECT_TRUE(deployment_.TemporaryJobFiles().empty());
  FinishWithOk();
}

TEST_F(VerifyEndToEnd, MissingFileThenCancelReportsTheDiscAsNotMatching) {
  deployment_.SetEngine(L"SpoilOnce", L"remove");
  HWND make = StartMaking(L"Drivers and Applications");
  ASSERT_TRUE(make);
  auto box = run_.WaitMessageBox(60000);
  ASSERT_TRUE(box);
  ASSERT_TRUE(twdrive::Answer(*box, IDCANCEL));
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  EXPECT_EQ(e2e::ReportLines(run_), (Strings{L"Drivers: written, but the disc did not match when it was checked",
                                             L"Applications: not made"}));
  EXPECT_TRUE(deployment_.Markers().empty());
  ExpectOneEntryStarting(L"missing: E:\\");
  FinishWithOk();
}

TEST_F(VerifyEndToEnd, FileCutShortIsFoundBeforeItsBytes) {
  deployment_.SetEngine(L"SpoilOnce", L"short");
  HWND make = StartMaking(L"Drivers and Applications");
  ASSERT_TRUE(make);
  auto box = run_.WaitMessageBox(60000);
  ASSERT_TRUE(box);
  ExpectOneEntryStarting(L"size ");
  const Strings logged = LoggedByTheStep();
  EXPECT_NE(logged.at(0).find(L" instead of "), std::wstring::npos);
  EXPECT_EQ(logged.at(0).substr(logged.at(0).find(L": ") + 2), SpoiledOnDisc());
  ASSERT_TRUE(twdrive::Answer(*box, IDCANCEL));
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  EXPECT_TRUE(deployment_.Markers().empty());
  FinishWithOk();
}

TEST_F(VerifyEndToEnd, DriveWithoutTheDiscAsksForItAndReadsItAgain) {
  deployment_.SetEngine(L"SpoilOnce", L"eject");
  HWND make = StartMaking(L"Support Tools");
  ASSERT_TRUE(make);
  auto box = run_.WaitMessageBox(60000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text,
            L"There is no disc in the drive, so Support Tools cannot be checked.\r\nPut the disc back into the drive "
            L"and choose Retry, or choose Cancel.");
  EXPECT_EQ(box->buttons, (std::vector<int>{IDCANCEL, IDRETRY}));
  // The user puts the disc back.
  ASSERT_TRUE(::MoveFileW((Deployment::Disc() + L".ejected").c_str(), Deployment::Disc().c_str()));
  ASSERT_TRUE(twdrive::Answer(*box, IDRETRY));
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  EXPECT_EQ(e2e::ReportLines(run_), Strings{L"Support Tools: made and verified"});
  EXPECT_EQ(deployment_.EngineRuns(), 1u) << "the disc is read again, not written again";
  EXPECT_EQ(deployment_.Markers(), Strings{L"Set4_DVD_Tools.flg"});
  ExpectOneEntryStarting(L"no disc ");
  FinishWithOk();
}

// The read-back window: its texts, the computer kept awake while it reads,
// and Cancel, which stops the reading and fails the disc unless the user
// writes it again.
TEST_F(VerifyEndToEnd, CancelInTheCheckingWindowStopsTheReadingAndFailsTheDisc) {
  ::WritePrivateProfileStringW(L"Verify", L"MsPerMiB", L"8000",
                               (deployment_.Program() + L"\\TestBuild.ini").c_str());
  HWND make = StartMaking(L"Recovery Media");
  ASSERT_TRUE(make);
  HWND window = twdrive::WaitTopWindow(run_.ProcessId(), L"#32770", kChecking, 60000);
  ASSERT_TRUE(window);
  EXPECT_EQ(twdrive::ItemText(window, IDC_VERIFY_HEADING), L"Checking Boot Disc against the recovery data...");
  EXPECT_TRUE(twdrive::WaitUntil([&] { return deployment_.KeepAwakeHeld(); }, 10000));
  EXPECT_TRUE(twdrive::WaitUntil(
      [&] { return twdrive::ItemText(window, IDC_VERIFY_BYTES).find(L" of ") != std::wstring::npos; }, 10000));
  twdrive::PressItem(window, IDCANCEL);
  auto box = run_.WaitMessageBox(30000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text.substr(0, 20), L"Boot Disc was writte");
  EXPECT_FALSE(deployment_.KeepAwakeHeld()) << "released with the reading";
  ASSERT_TRUE(twdrive::Answer(*box, IDCANCEL));
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  EXPECT_TRUE(deployment_.Markers().empty());
  ExpectOneEntryStarting(L"stopped by the user at:");
  FinishWithOk();
}

// An ISO disc's sectors are compared with its image.
TEST_F(VerifyEndToEnd, IsoDiscWithDamagedSectorsIsFound) {
  deployment_.SetEngine(L"SpoilOnce", L"damage");
  HWND make = StartMaking(L"Support Tools");
  ASSERT_TRUE(make);
  auto box = run_.WaitMessageBox(60000);
  ASSERT_TRUE(box) << "the damaged sectors are found";
  EXPECT_EQ(LoggedByTheStep(), Strings{L"differs at byte " + deployment_.EngineState(L"SpoiledAt") + L": E:"});
  ASSERT_TRUE(twdrive::Answer(*box, IDCANCEL));
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 30000));
  EXPECT_TRUE(deployment_.Markers().empty());
  FinishWithOk();
}

// A drive that cannot be read raw (as under Wine) leaves an ISO disc as the
// engine said, with a log entry saying why it was not verified.
TEST_F(VerifyEndToEnd, IsoDiscOfADriveThatCannotBeReadRawIsLoggedAsNotVerified) {
  deployment_.SetRawDrive(false);
  HWND make = StartMaking(L"Support Tools");
  ASSERT_TRUE(make);
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 60000));
  EXPECT_EQ(e2e::ReportLines(run_), Strings{L"Support Tools: made"});
  EXPECT_EQ(deployment_.Markers(), Strings{L"Set4_DVD_Tools.flg"});
  EXPECT_EQ(LoggedByTheStep(), Strings{L"not verified: the drive cannot be read raw (0x00000001): E:"});
  FinishWithOk();
}

TEST_F(VerifyEndToEnd, WithoutTheSettingTheEnginesWordCounts) {
  deployment_.SetAction(L"OpticalDisc", L"VerifyDisc", L"0");
  deployment_.SetEngine(L"SpoilOnce", L"damage");
  HWND make = StartMaking(L"Support Tools");
  ASSERT_TRUE(make);
  ASSERT_TRUE(run_.WaitStep(Step::kFinish, make, 60000));
  EXPECT_EQ(e2e::ReportLines(run_), Strings{L"Support Tools: made"});
  EXPECT_EQ(deployment_.Markers(), Strings{L"Set4_DVD_Tools.flg"});
  EXPECT_TRUE(LoggedByTheStep().empty());
  FinishWithOk();
}

}  // namespace
