#include "e2e_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <optional>
#include <set>

#include "app/core/text.h"
#include "res/resource.h"
#include "testing/test_build.h"
#include "ui/core/access_rules.h"
#include "ui/core/text_fit.h"
#include "ui/core/wizard_tables.h"

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

std::vector<twdrive::AccessibleEntry> WalkStep(const twdrive::WizardRun& run, const std::wstring& label) {
  // Let the step finish painting and focusing before it is read.
  run.WaitIdle();
  const std::vector<twdrive::AccessibleEntry> entries = twdrive::WalkAccessibility(run.Main());
  std::string printed = "== accessibility walk: " + tw::ToUtf8(label) + "\n";
  for (const twdrive::AccessibleEntry& entry : entries) {
    printed += tw::ToUtf8(twdrive::FormatEntry(entry)) + "\n";
    EXPECT_FALSE(twdrive::IsUnnamedFocusable(entry)) << "on " << twtest::Narrow(label) << ": "
                                                     << twtest::Narrow(twdrive::FormatEntry(entry));
  }
  std::fwrite(printed.data(), 1, printed.size(), stdout);
  std::fflush(stdout);
  // The texts that carry mnemonics: static texts and buttons (a labelled
  // control repeats its label's).
  std::vector<std::wstring> keys;
  for (const twdrive::AccessibleEntry& entry : entries) {
    if (entry.child == 0 && !entry.shortcut.empty() &&
        (entry.roleNumber == ROLE_SYSTEM_STATICTEXT || entry.roleNumber == ROLE_SYSTEM_PUSHBUTTON)) {
      keys.push_back(L"&" + entry.shortcut.substr(entry.shortcut.size() - 1));
    }
  }
  EXPECT_EQ(tw::ui::access::DuplicateMnemonics(keys), std::vector<wchar_t>{}) << "on " << twtest::Narrow(label);
  return entries;
}

namespace {
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
}  // namespace

ScopedLogPixels::ScopedLogPixels(DWORD dpi) {
  DWORD size = sizeof(previous_);
  had_ = ::RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &previous_, &size) ==
         ERROR_SUCCESS;
  ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
}

ScopedLogPixels::~ScopedLogPixels() {
  if (had_) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &previous_, sizeof(previous_));
  } else {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
  }
}

namespace {

std::vector<std::wstring> Split(const std::wstring& line, wchar_t separator) {
  std::vector<std::wstring> fields;
  size_t start = 0;
  for (size_t end; (end = line.find(separator, start)) != std::wstring::npos; start = end + 1) {
    fields.push_back(line.substr(start, end - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

std::optional<MeasuredText> ParseMeasure(const std::wstring& line) {
  const std::vector<std::wstring> f = Split(line, L'\t');
  if (f.size() != 14) return std::nullopt;
  auto n = [&](size_t i) { return static_cast<LONG>(std::wcstol(f[i].c_str(), nullptr, 10)); };
  MeasuredText m;
  m.parentId = n(0);
  m.id = n(1);
  m.className = f[2];
  m.rect = RECT{n(4), n(5), n(6), n(7)};
  m.room = SIZE{n(8), n(9)};
  m.needed = SIZE{n(10), n(11)};
  m.singleLine = n(12) != 0;
  m.text = f[13];
  return m;
}

}  // namespace

std::vector<MeasuredText> MeasureTexts(const twdrive::WizardRun& run, const Deployment& deployment) {
  std::vector<MeasuredText> texts;
  const std::wstring file = deployment.Program() + L"\\TestMeasure.txt";
  ::DeleteFileW(file.c_str());
  tw::UniqueHandle settled(::CreateEventW(nullptr, TRUE, FALSE, twtest::SettleEventName(run.ProcessId()).c_str()));
  if (!settled || !run.Settle() || !::ResetEvent(settled.get()) ||
      !::PostMessageW(run.Main(), ::RegisterWindowMessageW(twtest::kMeasureMessage), 0, 0) ||
      !twdrive::WaitUntil([&] { return ::WaitForSingleObject(settled.get(), 0) == WAIT_OBJECT_0; }, 10000)) {
    return texts;
  }
  const std::string bytes = twtest::ReadBytes(file);
  std::wstring content(bytes.size() / 2, L'\0');
  if (!content.empty()) std::memcpy(&content[0], bytes.data(), content.size() * 2);
  if (!content.empty() && content[0] == 0xFEFF) content.erase(0, 1);
  for (const std::wstring& line : Split(content, L'\n')) {
    std::wstring trimmed = line;
    if (!trimmed.empty() && trimmed.back() == L'\r') trimmed.pop_back();
    if (const auto m = ParseMeasure(trimmed)) texts.push_back(*m);
  }
  return texts;
}

std::vector<std::string> FitProblems(const std::vector<MeasuredText>& texts, const std::string& where) {
  std::vector<std::string> problems;
  auto name = [](const MeasuredText& m) {
    return twtest::Narrow(m.className) + " " + std::to_string(m.id) + " \"" + twtest::Narrow(m.text) + "\"";
  };
  std::vector<tw::ui::Rect> rects;
  std::vector<const MeasuredText*> placed;
  for (const MeasuredText& m : texts) {
    const tw::ui::fit::Size over = tw::ui::fit::Overflow({m.needed.cx, m.needed.cy}, {m.room.cx, m.room.cy});
    if (!m.text.empty() && (over.cx > 0 || over.cy > 0)) {
      problems.push_back(where + ": " + name(m) + " needs " + std::to_string(m.needed.cx) + " x " +
                         std::to_string(m.needed.cy) + " px, has " + std::to_string(m.room.cx) + " x " +
                         std::to_string(m.room.cy));
    }
    // The banner lies under the title and its buttons by design.
    if (m.id == -1 && m.className == L"Static") continue;
    rects.push_back({m.rect.left, m.rect.top, m.rect.right, m.rect.bottom});
    placed.push_back(&m);
  }
  for (const auto& pair : tw::ui::fit::Overlaps(rects)) {
    const MeasuredText& a = *placed[pair.first];
    const MeasuredText& b = *placed[pair.second];
    const bool stepAndItsControl = (a.className == L"#32770" && b.parentId == 1) ||
                                   (b.className == L"#32770" && a.parentId == 1);
    if (!stepAndItsControl) problems.push_back(where + ": " + name(a) + " overlaps " + name(b));
  }
  return problems;
}

namespace {

enum class Ending { kSuccess, kFailure, kAbort };

// Starts the wizard on the second disc set, on DVD, in front.
bool StartOnSecondSet(const Deployment& deployment, twdrive::WizardRun& run) {
  if (!StartToFirstStep(deployment, run) ||
      !twdrive::WaitUntil([&] { return ::GetForegroundWindow() == run.Main(); }, 20000) || !run.Settle()) {
    return false;
  }
  twdrive::RemoteList sets(::GetDlgItem(run.StepDialog(), IDC_DISC_SET_LIST));
  twdrive::TypeKey(VK_DOWN);
  return twdrive::WaitUntil([&] { return (sets.State(1, LVIS_SELECTED) & LVIS_SELECTED) != 0; }, 5000) &&
         run.ChooseDiscType(L"DVD") && run.Settle();
}

void Measure(const twdrive::WizardRun& run, const Deployment& deployment, const std::string& where,
             std::vector<std::string>* problems) {
  const std::vector<MeasuredText> texts = MeasureTexts(run, deployment);
  if (texts.empty()) problems->push_back(where + ": nothing was measured");
  for (const std::string& p : FitProblems(texts, where)) problems->push_back(p);
}

// One walk to the finish step that ends as `ending` says; the steps before
// the finish are measured when `allSteps`.
void MeasureWalk(DWORD dpi, Ending ending, bool allSteps, std::vector<std::string>* problems) {
  const std::string at = std::to_string(dpi) + " dpi, ";
  Deployment deployment;
  if (ending == Ending::kFailure) deployment.SetEngine(L"ExitCode", L"9999");
  twdrive::WizardRun run;
  if (!deployment.error().empty() || !StartOnSecondSet(deployment, run)) {
    problems->push_back(at + "the wizard did not start on the second set");
    return;
  }
  // The step area starts 120 px down at 96 dots per inch, scaled.
  RECT area{};
  ::GetWindowRect(run.StepDialog(), &area);
  ::MapWindowPoints(nullptr, run.Main(), reinterpret_cast<POINT*>(&area), 2);
  if (area.top != tw::ui::Scale(120, static_cast<int32_t>(dpi))) {
    problems->push_back(at + "the step area starts at " + std::to_string(area.top) + " px: not at that resolution");
  }
  if (allSteps) Measure(run, deployment, at + "select disc set", problems);
  HWND check = run.NextTo(twdrive::Step::kCheckDisc);
  if (check && allSteps && run.Settle()) Measure(run, deployment, at + "check discs", problems);
  HWND make = check ? run.NextTo(twdrive::Step::kMakeDisc) : nullptr;
  if (!make) {
    problems->push_back(at + "the make-disc step did not come");
    return;
  }
  if (allSteps && run.Settle()) Measure(run, deployment, at + "make disc", problems);
  const char* report = ending == Ending::kSuccess ? "success" : ending == Ending::kFailure ? "failure" : "abort";
  if (ending == Ending::kAbort) {
    run.Back();
  } else {
    run.Next();
  }
  if (ending == Ending::kFailure) {
    if (auto box = run.WaitMessageBox(60000)) twdrive::Answer(*box, IDCANCEL);
  }
  // Each further disc: its make-disc step comes, and Next starts it.
  for (HWND step = make; ending == Ending::kSuccess;) {
    HWND next = nullptr;
    twdrive::WaitUntil([&] { return (next = run.StepDialog()) != step && run.CurrentStep() != twdrive::Step::kNone; },
                       60000);
    if (run.CurrentStep() != twdrive::Step::kMakeDisc || next == step) break;
    step = next;
    run.Next();
  }
  if (!run.WaitStep(twdrive::Step::kFinish, make, 60000) || !run.Settle()) {
    problems->push_back(at + "the " + report + " report did not come");
    return;
  }
  Measure(run, deployment, at + report + " report", problems);
  run.Next();
  run.WaitExit();
}

}  // namespace

std::vector<std::string> TextFitWalk(DWORD dpi) {
  ScopedLogPixels resolution(dpi);
  std::vector<std::string> problems;
  MeasureWalk(dpi, Ending::kSuccess, true, &problems);
  MeasureWalk(dpi, Ending::kFailure, false, &problems);
  MeasureWalk(dpi, Ending::kAbort, false, &problems);
  return problems;
}

std::vector<std::wstring> LoggedFunctions(const tw::LogWatch& watch) {
  std::set<std::wstring> names;
  for (const tw::LogEntry& entry : watch.NewEntries()) names.insert(entry.function);
  return std::vector<std::wstring>(names.begin(), names.end());
}

}  // namespace e2e
