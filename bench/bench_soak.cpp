// A long run of one wizard process (the test build, Tarnwright_testbuild.exe,
// in a deployment of its own), driven from outside through its windows as a
// person would: 200 step changes back and forth between the first, second
// and later steps (Back on the make-disc step gives the set up, OK on the
// finish step starts over), and 50 discs made by the engine stand-in, with
// failures answered Retry, failures answered Cancel and runs aborted in the
// engine's own window mixed in, the same every time. With the finish step
// set to start over, every set is made again and again in the one process.
//
// It checks that nothing is lost (every disc reported made has its marker,
// the report and the log say what happened, the engine ran as often as
// planned, the wizard ends cleanly), and prints the process's kernel
// handles, private bytes, GDI and USER objects, windows, and the live
// counts of the test build's handle and GDI owners: after every round, and
// at the start, the middle and the end, with a verdict on the growth from
// the middle to the end. Where the platform does not implement a count it
// says so and where the figure comes from instead.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/log_reader.h"
#include "bench_timing.h"
#include "res/resource.h"
#include "test_support.h"
#include "testing/deployment.h"
#include "testing/process_figures.h"
#include "testing/wizard_run.h"

namespace {

using twdrive::Step;
using twdrive::WizardRun;

constexpr DWORD kStepMs = 30000;     // a step change
constexpr DWORD kEngineMs = 120000;  // an engine run, and the wizard noticing its end
constexpr wchar_t kEngineWindow[] = L"KSCOREProgressWindow";
constexpr wchar_t kFailureCode[] = L"320";  // "a file could not be written"
constexpr wchar_t kAbortDelayMs[] = L"60000";

enum class Trouble { kNone, kFailRetry, kFailCancel, kAbort };

// One round: from the first step, ten step changes back and forth ending on
// the make-disc step (kWalk), then the set's discs; one disc may meet
// trouble.
struct Round {
  const wchar_t* set;
  unsigned discs;
  unsigned troubleDisc;  // 1-based; 0: none
  Trouble trouble;
  unsigned Made() const {
    return trouble == Trouble::kFailCancel || trouble == Trouble::kAbort ? troubleDisc - 1 : discs;
  }
  unsigned EngineRuns() const {
    switch (trouble) {
      case Trouble::kFailRetry:
        return discs + 1;
      case Trouble::kNone:
        return discs;
      default:
        return troubleDisc;
    }
  }
};

constexpr wchar_t kRecovery[] = L"Recovery Media";             // boot disc and three image discs
constexpr wchar_t kDrivers[] = L"Drivers and Applications";    // two discs
constexpr wchar_t kTools[] = L"Support Tools";                 // one disc

// Each half of the run: 100 step changes, 25 discs made, 33 engine runs.
constexpr Round kHalf[] = {
    {kDrivers, 2, 0, Trouble::kNone},        {kTools, 1, 1, Trouble::kFailRetry},
    {kRecovery, 4, 2, Trouble::kFailRetry},  {kRecovery, 4, 4, Trouble::kFailCancel},
    {kDrivers, 2, 2, Trouble::kAbort},       {kRecovery, 4, 0, Trouble::kNone},
    {kDrivers, 2, 1, Trouble::kFailRetry},   {kDrivers, 2, 2, Trouble::kAbort},
    {kRecovery, 4, 4, Trouble::kAbort},      {kRecovery, 4, 1, Trouble::kFailRetry},
};
constexpr size_t kRoundsPerHalf = sizeof(kHalf) / sizeof(kHalf[0]);

// The walk of a round, from the first step: where each Next or Back leads.
// Back on the make-disc step gives up the set (the finish step reports its
// discs not made), and OK there starts over at the first step.
struct Move {
  bool next;
  Step to;
};
constexpr Move kWalk[] = {
    {true, Step::kCheckDisc},  {false, Step::kSelectDiscSet}, {true, Step::kCheckDisc},
    {true, Step::kMakeDisc},   {false, Step::kFinish},        {true, Step::kSelectDiscSet},
    {true, Step::kCheckDisc},  {false, Step::kSelectDiscSet}, {true, Step::kCheckDisc},
    {true, Step::kMakeDisc},
};

const char* TroubleName(Trouble trouble) {
  switch (trouble) {
    case Trouble::kFailRetry:
      return "failure, Retry";
    case Trouble::kFailCancel:
      return "failure, Cancel";
    case Trouble::kAbort:
      return "aborted in the engine";
    default:
      return "clean";
  }
}

struct Totals {
  unsigned stepChanges = 0;   // the walks' Next and Back
  unsigned otherChanges = 0;  // from one disc to the next, to the finish and back to the first step
  unsigned discsMade = 0;
  unsigned engineRuns = 0;
  unsigned retries = 0, cancels = 0, aborts = 0;
};

// The figures of the wizard process at one moment.
struct Sample {
  std::optional<twdrive::HandleCount> handles;
  std::optional<twdrive::PrivateBytes> privateBytes;
  std::optional<DWORD> gdi, user, gdiTable;
  twdrive::WindowCount windows;
  std::optional<twdrive::OwnerCounts> owners;

  // GDI objects from the system where it counts them, else Wine's table.
  std::optional<DWORD> Gdi() const { return gdi ? gdi : gdiTable; }
};

// The figures of the process now (Soak::Take waits for a settled wizard first).
Sample ReadFigures(DWORD processId, bool wineTableChecked) {
  Sample s;
  s.handles = twdrive::CountHandles(processId);
  s.privateBytes = twdrive::CountPrivateBytes(processId);
  s.gdi = twdrive::GuiResources(processId, GR_GDIOBJECTS);
  s.user = twdrive::GuiResources(processId, GR_USEROBJECTS);
  if (wineTableChecked) s.gdiTable = twdrive::WineGdiTableCount(processId);
  s.windows = twdrive::CountWindows(processId);
  s.owners = twdrive::ReadOwnerCounts(processId);
  return s;
}

std::string Figure(const std::optional<DWORD>& value) { return value ? std::to_string(*value) : "-"; }

void PrintRoundLine(size_t number, const Round& round, const Sample& s) {
  std::printf("round %2u  %-24ls %-22s handles %s, private %s KiB, GDI %s, windows %u, owners %s\n",
              static_cast<unsigned>(number), round.set, TroubleName(round.trouble),
              s.handles ? std::to_string(s.handles->count).c_str() : "-",
              s.privateBytes ? std::to_string(s.privateBytes->bytes / 1024).c_str() : "-", Figure(s.Gdi()).c_str(),
              s.windows.total(), s.owners ? std::to_string(twdrive::Total(*s.owners)).c_str() : "-");
  std::fflush(stdout);
}

using Value = std::optional<long long>;

// One figure of the samples, and how much it may move between two idle
// first steps without anything piling up.
struct FigureRule {
  const char* name;
  Value (*of)(const Sample&);
  long long noise;  // for private bytes: at least this, or 1 % of the middle figure
};

Value HandlesOf(const Sample& s) { return s.handles ? Value(s.handles->count) : std::nullopt; }
Value KibOf(const Sample& s) { return s.privateBytes ? Value(s.privateBytes->bytes / 1024) : std::nullopt; }
Value GdiOf(const Sample& s) { return s.Gdi() ? Value(*s.Gdi()) : std::nullopt; }
Value UserOf(const Sample& s) { return s.user ? Value(*s.user) : std::nullopt; }
Value WindowsOf(const Sample& s) { return Value(s.windows.total()); }
Value OwnersOf(const Sample& s) { return s.owners ? Value(twdrive::Total(*s.owners)) : std::nullopt; }

// Between one settled first step and the next, Wine's own kernel handles
// and GDI objects may move by one or two; the heap's bookkeeping moves
// private bytes by a few pages. The windows and the wizard's own owners
// must not move at all.
constexpr FigureRule kRules[] = {
    {"kernel handles", HandlesOf, 1},      {"private bytes (KiB)", KibOf, 256},
    {"GDI objects", GdiOf, 2},             {"USER objects", UserOf, 0},
    {"windows of the process", WindowsOf, 0}, {"owners of the test build", OwnersOf, 0},
};

std::string Cell(const std::optional<long long>& v) { return v ? std::to_string(*v) : "-"; }

void PrintSources(const Sample& s, bool wineTableChecked) {
  std::printf("\nwhere the figures come from:\n");
  if (s.handles) {
    std::printf("  kernel handles: %s\n", s.handles->fromHandleList
                                              ? "GetProcessHandleCount answers 0 here (not implemented); counted in "
                                                "the system's handle list (NtQuerySystemInformation)"
                                              : "GetProcessHandleCount");
  }
  if (s.privateBytes) {
    std::printf("  private bytes: %s\n", s.privateBytes->fromPagefileUsage
                                             ? "PrivateUsage stays 0 here; PagefileUsage, the process's commit charge "
                                               "(the same figure on Windows)"
                                             : "GetProcessMemoryInfo PrivateUsage");
  }
  if (!s.gdi || !s.user) {
    std::printf("  GetGuiResources is not implemented here (it answers 0 with ERROR_CALL_NOT_IMPLEMENTED): no GDI "
                "or USER object count from the system\n");
  }
  if (!s.gdi) {
    std::printf("  GDI objects: %s\n", wineTableChecked
                                           ? "live entries of Wine's own GDI handle table of the process (found "
                                             "through its PEB; stock objects included), checked on this program's "
                                             "own objects first"
                                           : "not counted (no GDI handle table found)");
  }
  if (!s.user) {
    std::printf("  USER objects: not counted; the process's windows (top-level, child and message-only, from "
                "EnumWindows and EnumChildWindows) stand in\n");
  }
  std::printf("  owners of the test build: the live counts its handle and GDI owners publish\n");
}

void PrintSample(const char* name, const Sample& s) {
  std::printf("  %-7s windows %u top-level, %u child, %u message-only; owners: %ls\n", name, s.windows.topLevel,
              s.windows.children, s.windows.messageOnly,
              s.owners ? twdrive::Describe(*s.owners).c_str() : L"(not published)");
}

// The soak itself: one wizard process, all rounds.
class Soak {
 public:
  explicit Soak(const twtest::WizardDeployment& deployment) : deployment_(deployment) {}

  bool Start() {
    if (!run_.Start(deployment_.Exe()) || !run_.WaitMain() || !run_.WaitStep(Step::kSelectDiscSet) ||
        !run_.WaitIdle()) {
      return Fail("the wizard's first step did not come");
    }
    return true;
  }

  bool PlayRound(const Round& round) {
    if (!run_.ChooseDiscSet(round.set)) return Fail("the set could not be chosen: " + twtest::Narrow(run_.problem()));
    if (!run_.ChooseDiscType(L"DVD")) return Fail("the disc type could not be chosen");
    for (const Move& move : kWalk) {
      HWND before = run_.StepDialog();
      move.next ? run_.Next() : run_.Back();
      if (!run_.WaitStep(move.to, before, kStepMs) || !run_.WaitIdle()) {
        return Fail(std::string("the walk's ") + (move.next ? "Next" : "Back") + " did not lead to the " +
                    twtest::Narrow(twdrive::StepName(move.to)) + " step");
      }
      ++totals_.stepChanges;
    }
    for (unsigned disc = 1; disc <= round.discs; ++disc) {
      const Trouble trouble = disc == round.troubleDisc ? round.trouble : Trouble::kNone;
      bool setEnds = false;
      if (!MakeDisc(trouble, disc == round.discs, &setEnds)) return false;
      if (setEnds) break;
    }
    return FinishRound(round);
  }

  bool End() {
    run_.Back();  // Back on the first step ends the wizard
    const std::optional<DWORD> code = run_.WaitExit(kStepMs);
    if (!code || *code != 0) return Fail("the wizard did not end with 0 after Back on the first step");
    return true;
  }

  // The figures are taken with nothing under way (no paint half done).
  Sample Take(bool wineTable) {
    if (!run_.WaitSettled(kStepMs)) std::printf("(the wizard did not settle within %lu ms)\n", kStepMs);
    return ReadFigures(run_.ProcessId(), wineTable);
  }

  DWORD ProcessId() const { return run_.ProcessId(); }
  const Totals& totals() const { return totals_; }
  const std::string& problem() const { return problem_; }

 private:
  bool Fail(const std::string& why) {
    problem_ = why;
    return false;
  }

  // From the make-disc step: the engine makes the disc (with the trouble
  // planned), and the wizard goes on to the next disc or the finish step.
  bool MakeDisc(Trouble trouble, bool lastDisc, bool* setEnds) {
    deployment_.ClearEngineTests();
    if (trouble == Trouble::kFailRetry) deployment_.SetEngine(L"FailOnce", kFailureCode);
    if (trouble == Trouble::kFailCancel) deployment_.SetEngine(L"ExitCode", kFailureCode);
    if (trouble == Trouble::kAbort) deployment_.SetEngine(L"DelayMs", kAbortDelayMs);
    HWND step = run_.StepDialog();
    run_.Next();
    ++totals_.engineRuns;
    if (trouble == Trouble::kAbort) {
      HWND engine = twdrive::WaitTopWindow(0, kEngineWindow, L"", kEngineMs);
      if (!engine) return Fail("the engine's window did not appear");
      twdrive::PressItem(engine, IDCANCEL);
      ++totals_.aborts;
      *setEnds = true;
      return ToNextStep(Step::kFinish, step);
    }
    if (trouble == Trouble::kFailRetry || trouble == Trouble::kFailCancel) {
      const auto box = run_.WaitMessageBox(kEngineMs);
      if (!box || box->text.find(L"could not be made") == std::wstring::npos) {
        return Fail("no failure message came");
      }
      const bool retry = trouble == Trouble::kFailRetry;
      if (!twdrive::Answer(*box, retry ? IDRETRY : IDCANCEL)) return Fail("the failure message did not go");
      if (retry) {
        ++totals_.retries;
        ++totals_.engineRuns;
      } else {
        ++totals_.cancels;
        *setEnds = true;
        return ToNextStep(Step::kFinish, step);
      }
    }
    ++totals_.discsMade;
    return ToNextStep(lastDisc ? Step::kFinish : Step::kMakeDisc, step);
  }

  bool ToNextStep(Step to, HWND from) {
    if (!run_.WaitStep(to, from, kEngineMs)) {
      return Fail("the " + twtest::Narrow(twdrive::StepName(to)) + " step did not come after the engine");
    }
    ++totals_.otherChanges;
    return true;
  }

  // On the finish step: the report and the markers say what was made; the
  // markers go so that the next round can make the discs again, and OK
  // starts over at the first step.
  bool FinishRound(const Round& round) {
    unsigned reportedMade = 0;
    const std::wstring report = run_.StepText(IDC_RESULT_LINES);
    for (size_t at = report.find(L": made"); at != std::wstring::npos; at = report.find(L": made", at + 1)) {
      ++reportedMade;
    }
    const std::vector<std::wstring> markers = deployment_.Markers();
    if (reportedMade != round.Made() || markers.size() != round.Made()) {
      return Fail("the report says " + std::to_string(reportedMade) + " discs made and there are " +
                  std::to_string(markers.size()) + " markers; " + std::to_string(round.Made()) + " were planned");
    }
    for (const std::wstring& marker : markers) ::DeleteFileW((L"C:\\Recovery\\Done\\" + marker).c_str());
    HWND finish = run_.StepDialog();
    run_.Next();
    if (!run_.WaitStep(Step::kSelectDiscSet, finish, kStepMs) || !run_.WaitIdle()) {
      return Fail("OK on the finish step did not lead back to the first step");
    }
    ++totals_.otherChanges;
    return true;
  }

  const twtest::WizardDeployment& deployment_;
  WizardRun run_;
  Totals totals_;
  std::string problem_;
};

// What must hold for "nothing lost", beside what every round checked: the
// reasons it does not, none when all holds.
std::vector<std::string> LostAtTheEnd(const twtest::WizardDeployment& deployment, const tw::LogWatch& watch,
                                      const Totals& planned, const Totals& done) {
  std::vector<std::string> lost;
  if (done.discsMade != planned.discsMade) lost.push_back("discs made differ from the plan");
  if (deployment.EngineRuns() != planned.engineRuns) {
    lost.push_back("the engine ran " + std::to_string(deployment.EngineRuns()) + " times, " +
                   std::to_string(planned.engineRuns) + " planned");
  }
  // One entry per engine failure, and nothing else.
  const std::vector<tw::LogEntry> entries = watch.NewEntries();
  const size_t failures = static_cast<size_t>(std::count_if(
      entries.begin(), entries.end(), [](const tw::LogEntry& e) { return e.function == L"MkDiscDlg::DlgProc"; }));
  if (failures != done.retries + done.cancels || entries.size() != failures) {
    lost.push_back("the log holds " + std::to_string(entries.size()) + " entries, " +
                   std::to_string(done.retries + done.cancels) + " engine failures expected");
  }
  // A failure answered Cancel keeps its two job files for support staff;
  // every other run removes its own.
  if (deployment.TemporaryJobFiles().size() != 2 * done.cancels) lost.push_back("job files left over differ");
  return lost;
}

// The figures at the start, the middle and the end, with the range of the
// second half; true when none grows from the middle to the end beyond its
// noise.
bool PrintFigures(const std::vector<Sample>& samples) {
  const Sample& start = samples.front();
  const Sample& middle = samples[kRoundsPerHalf];
  const Sample& end = samples.back();
  std::printf("\nfigures of the wizard process: at the first step, settled; start = before the first round, middle = "
              "after round %u, end = after round %u\n",
              static_cast<unsigned>(kRoundsPerHalf), static_cast<unsigned>(2 * kRoundsPerHalf));
  std::printf("  %-26s %8s %8s %8s %11s %6s %14s\n", "", "start", "middle", "end", "end-middle", "noise",
              "rounds 11-20");
  bool flat = true;
  for (const FigureRule& rule : kRules) {
    const Value a = rule.of(start), b = rule.of(middle), c = rule.of(end);
    const long long noise = rule.of == KibOf ? std::max(rule.noise, b.value_or(0) / 100) : rule.noise;
    const bool figureFlat = !b || !c || *c - *b <= noise;
    Value low, high;
    for (size_t i = kRoundsPerHalf + 1; i < samples.size(); ++i) {
      const Value v = rule.of(samples[i]);
      if (!v) continue;
      low = low ? std::min(*low, *v) : *v;
      high = high ? std::max(*high, *v) : *v;
    }
    const std::string range = low ? Cell(low) + "-" + Cell(high) : "-";
    const std::string growth = b && c ? std::to_string(*c - *b) : "-";
    std::printf("  %-26s %8s %8s %8s %11s %6lld %14s%s\n", rule.name, Cell(a).c_str(), Cell(b).c_str(),
                Cell(c).c_str(), growth.c_str(), noise, range.c_str(), figureFlat ? "" : "  GROWS");
    flat = flat && figureFlat;
  }
  PrintSample("start", start);
  PrintSample("middle", middle);
  PrintSample("end", end);
  return flat;
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("Soak: one wizard process (its test build) through %u rounds: %u step changes back and forth and "
              "50 discs made by the engine stand-in, with failures (Retry, Cancel) and aborts mixed in.\n",
              static_cast<unsigned>(2 * kRoundsPerHalf), static_cast<unsigned>(2 * kRoundsPerHalf * 10));
  twtest::EnsureLogParentFolder();
  twtest::WizardDeployment deployment;
  if (!deployment.error().empty()) {
    std::printf("cannot lay out the deployment: %s\n", deployment.error().c_str());
    return 1;
  }
  deployment.SetAction(L"Finish", L"BackToFirstStep", L"1");
  const bool wineTable = twdrive::WineGdiTableFollowsThisProcess();
  const tw::LogWatch watch;
  const double started = bench::Now();

  Soak soak(deployment);
  if (!soak.Start()) {
    std::printf("LOST: %s\n", soak.problem().c_str());
    return 1;
  }
  std::vector<Sample> samples{soak.Take(wineTable)};  // at the start, then after each round
  Totals planned;
  for (size_t i = 0; i < 2 * kRoundsPerHalf; ++i) {
    const Round& round = kHalf[i % kRoundsPerHalf];
    planned.discsMade += round.Made();
    planned.engineRuns += round.EngineRuns();
    if (!soak.PlayRound(round)) {
      std::printf("LOST in round %u (%ls, %s): %s\n", static_cast<unsigned>(i + 1), round.set,
                  TroubleName(round.trouble), soak.problem().c_str());
      return 1;
    }
    samples.push_back(soak.Take(wineTable));
    PrintRoundLine(i + 1, round, samples.back());
  }
  const Totals& done = soak.totals();
  const double minutes = (bench::Now() - started) / 60;
  const bool ended = soak.End();
  std::printf("\n%u step changes back and forth (and %u more from disc to disc, to the finish and back to the "
              "first step), %u discs made, %u engine runs, %u failures answered Retry, %u answered Cancel, %u runs "
              "aborted in the engine's window; %.1f minutes\n",
              done.stepChanges, done.otherChanges, done.discsMade, done.engineRuns, done.retries, done.cancels,
              done.aborts, minutes);

  std::vector<std::string> lost = LostAtTheEnd(deployment, watch, planned, done);
  if (!ended) lost.push_back(soak.problem());
  std::printf("nothing lost: %s\n", lost.empty() ? "yes (every disc reported made had its marker; report, log, "
                                                   "engine runs and job files as planned; the wizard ended with 0)"
                                                 : "NO");
  for (const std::string& why : lost) std::printf("  LOST: %s\n", why.c_str());
  PrintSources(samples.front(), wineTable);
  const bool flat = PrintFigures(samples);
  std::printf("verdict: %s\n", flat ? "flat after warm-up (no growth beyond noise from the middle to the end)"
                                    : "GROWTH from the middle to the end beyond noise");
  return lost.empty() && flat ? 0 : 1;
}
