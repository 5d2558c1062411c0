// One wizard process made to start over again and again leaves nothing
// behind: after a warm-up round, further rounds (the steps back and forth,
// Back on the make-disc step, a disc that fails once and is made on Retry,
// OK back to the first step) change neither the live counts of the test
// build's handle and GDI owners nor the process's windows, and its kernel
// handles and GDI objects come to rest (the soak in bench/ runs the same
// for long).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cstdio>
#include <string>

#include "e2e_support.h"
#include "testing/process_figures.h"

namespace {

using twdrive::Step;
using twdrive::WizardRun;

struct Figures {
  std::optional<twdrive::OwnerCounts> owners;
  unsigned windows = 0;
  std::optional<DWORD> handles, gdi;
};

Figures Read(DWORD processId) {
  Figures f;
  f.owners = twdrive::ReadOwnerCounts(processId);
  f.windows = twdrive::CountWindows(processId).total();
  if (const auto handles = twdrive::CountHandles(processId)) f.handles = handles->count;
  f.gdi = twdrive::GuiResources(processId, GR_GDIOBJECTS);
  if (!f.gdi) f.gdi = twdrive::WineGdiTableCount(processId);
  return f;
}

void Round(const e2e::Deployment& deployment, WizardRun& run) {
  ASSERT_TRUE(run.ChooseDiscSet(L"Support Tools")) << run.problem();
  ASSERT_TRUE(run.NextTo(Step::kCheckDisc));
  HWND check = run.StepDialog();
  run.Back();
  ASSERT_TRUE(run.WaitStep(Step::kSelectDiscSet, check));
  ASSERT_TRUE(run.NextTo(Step::kCheckDisc));
  HWND make = run.NextTo(Step::kMakeDisc);
  ASSERT_TRUE(make);
  run.Back();  // gives the set up: the finish step reports the disc not made
  HWND finish = run.WaitStep(Step::kFinish, make);
  ASSERT_TRUE(finish);
  run.Next();
  ASSERT_TRUE(run.WaitStep(Step::kSelectDiscSet, finish));
  ASSERT_TRUE(run.WaitIdle());

  ASSERT_TRUE(run.NextTo(Step::kCheckDisc));
  make = run.NextTo(Step::kMakeDisc);
  ASSERT_TRUE(make);
  deployment.ClearEngineTests();
  deployment.SetEngine(L"FailOnce", L"320");
  run.Next();
  const auto box = run.WaitMessageBox(30000);
  ASSERT_TRUE(box);
  ASSERT_TRUE(twdrive::Answer(*box, IDRETRY));
  finish = run.WaitStep(Step::kFinish, make, 30000);
  ASSERT_TRUE(finish);
  ASSERT_EQ(e2e::ReportLines(run), std::vector<std::wstring>{L"Support Tools: made and verified"});
  for (const std::wstring& marker : deployment.Markers()) ::DeleteFileW((L"C:\\Recovery\\Done\\" + marker).c_str());
  run.Next();
  ASSERT_TRUE(run.WaitStep(Step::kSelectDiscSet, finish));
  ASSERT_TRUE(run.WaitIdle());
}

std::string Series(const std::vector<Figures>& seen) {
  std::string text;
  for (const Figures& f : seen) {
    text += "\n  handles " + (f.handles ? std::to_string(*f.handles) : std::string("-")) + ", GDI objects " +
            (f.gdi ? std::to_string(*f.gdi) : std::string("-"));
  }
  return text;
}

bool SameSystemCounts(const Figures& a, const Figures& b) { return a.handles == b.handles && a.gdi == b.gdi; }

TEST(WizardLeaks, RoundsInOneProcessLeaveNoOwnersWindowsHandlesOrGdiObjectsBehind) {
  e2e::Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  deployment.SetAction(L"Finish", L"BackToFirstStep", L"1");
  WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  ASSERT_NO_FATAL_FAILURE(Round(deployment, run));  // every step and dialog once: their lasting objects made
  ASSERT_TRUE(run.WaitSettled());
  const Figures warm = Read(run.ProcessId());
  ASSERT_TRUE(warm.owners) << "the test build publishes its owners' counts";
  ASSERT_GT(twdrive::Total(*warm.owners), 0);
  ASSERT_TRUE(warm.handles);

  // The wizard's own owners and windows stay exactly; Wine's handles and
  // GDI objects may still grow a little while its caches fill (a shared
  // icon's bitmaps the first time it is drawn), but then stay: two rounds
  // in a row that change neither show that nothing piles up per round.
  std::vector<Figures> seen{warm};
  bool plateau = false;
  for (int round = 0; round < 6 && !plateau; ++round) {
    ASSERT_NO_FATAL_FAILURE(Round(deployment, run));
    ASSERT_TRUE(run.WaitSettled());
    seen.push_back(Read(run.ProcessId()));
    const Figures& now = seen.back();
    ASSERT_EQ(now.owners, warm.owners) << "after the warm-up: " << twdrive::Describe(*warm.owners)
                                       << "\nnow: " << twdrive::Describe(now.owners.value_or(twdrive::OwnerCounts{}));
    ASSERT_EQ(now.windows, warm.windows);
    plateau = seen.size() >= 3 && SameSystemCounts(now, seen[seen.size() - 2]) &&
              SameSystemCounts(now, seen[seen.size() - 3]);
  }
  EXPECT_TRUE(plateau) << "kernel handles or GDI objects still grew after " << seen.size()
                       << " rounds:" << Series(seen);
  run.Back();  // Back on the first step ends the wizard
  EXPECT_EQ(run.WaitExit(), 0u);
}

}  // namespace
