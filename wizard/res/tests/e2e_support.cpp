#include "e2e_support.h"

#include <algorithm>
#include <set>

#include "res/resource.h"

namespace e2e {

bool StartToFirstStep(const Deployment& deployment, twdrive::WizardRun& run) {
  return run.Start(deployment.Exe()) && run.WaitMain() && run.WaitStep(twdrive::Step::kSelectDiscSet) &&
         run.WaitIdle();
}

bool MakeDiscs(twdrive::WizardRun& run, const std::wstring& set, const std::wstring& type,
               const std::vector<std::wstring>& skip, std::string* why) {
  auto fail = [&](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  if (!run.ChooseDiscSet(set)) {
    if (why) *why = "the disc set could not be chosen: " + twtest::Narrow(run.problem());
    return false;
  }
  if (!run.ChooseDiscType(type)) return fail("the disc type could not be chosen");
  if (!run.NextTo(twdrive::Step::kCheckDisc)) return fail("the check-disc step did not come");
  const std::vector<std::wstring> titles = run.DiscTitles();
  for (size_t i = 0; i < titles.size(); ++i) {
    if (std::find(skip.begin(), skip.end(), titles[i]) != skip.end() && !run.ClickCheckBox(static_cast<int>(i))) {
      return fail("a disc could not be unticked");
    }
  }
  HWND step = run.StepDialog();
  run.Next();
  for (;;) {
    HWND next = nullptr;
    twdrive::WaitUntil(
        [&] {
          const twdrive::Step current = run.CurrentStep();
          HWND dialog = run.StepDialog();
          if (dialog != step && (current == twdrive::Step::kMakeDisc || current == twdrive::Step::kFinish)) {
            next = dialog;
          }
          return next != nullptr;
        },
        60000);
    if (!next) return fail("no make-disc or finish step came");
    if (run.CurrentStep() == twdrive::Step::kFinish) return true;
    step = next;
    run.Next();
  }
}

HWND ToMakeDisc(twdrive::WizardRun& run, const std::wstring& set) {
  if (!run.ChooseDiscSet(set) || !run.NextTo(twdrive::Step::kCheckDisc)) return nullptr;
  return run.NextTo(twdrive::Step::kMakeDisc);
}

std::vector<std::wstring> ReportLines(const twdrive::WizardRun& run) {
  std::vector<std::wstring> lines;
  const std::wstring text = run.StepText(IDC_RESULT_LINES);
  for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

std::vector<std::wstring> LoggedFunctions(const tw::LogWatch& watch) {
  std::set<std::wstring> names;
  for (const tw::LogEntry& entry : watch.NewEntries()) names.insert(entry.function);
  return std::vector<std::wstring>(names.begin(), names.end());
}

}  // namespace e2e
