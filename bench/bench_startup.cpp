// Prints how long the wizard (the shipped build, Tarnwright.exe /Tarn)
// takes from its start until its first step is on screen and ready for
// input, beside the same figure for a minimal dialog program of ours
// (floor_dialog.exe: the floor that Wine itself sets), both started in
// turn over several runs; and where the wizard's time goes. Three
// deployments: the sample, the sample with a start program (as a real
// machine runs the partition tool), and a large realistic one.
//
// "Ready" is the first step's disc-set list (control 1006) visible and the
// process idle for input. The headline runs only wait for that; separate
// runs poll the windows every millisecond on the way, to see when the
// main window and the step dialog appear.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "app/handles.h"
#include "app/log_reader.h"
#include "app/settings.h"
#include "config/act_ini.h"
#include "config/process_records.h"
#include "burn/brn_app_cnctor.h"
#include "config/tarnset.h"
#include "large_deployment.h"
#include "res/resource.h"
#include "test_support.h"
#include "testing/window_driver.h"

namespace {

using bench::Now;
using bench::Median;

constexpr int kRuns = 11;        // headline runs per program and deployment
constexpr int kWatchedRuns = 7;  // runs with the windows polled
constexpr int kLoads = 5;        // in-process loads of the settings and the model
constexpr double kDeadline = 30.0;
constexpr wchar_t kRecovery[] = L"C:\\Recovery";
constexpr wchar_t kRecoveryMarker[] = L"C:\\Recovery\\made_by_test";

// Moments of one run, in seconds from just before the process was created
// (negative: not seen).
struct Run {
  double mainWindow = -1;  // the program's first window and its controls exist (not yet shown)
  double stepDialog = -1;  // its first step dialog exists
  double listShown = -1;   // control 1006 exists and is visible
  double ready = -1;       // ... and the process is idle for input
};

class Process {
 public:
  ~Process() {
    if (!info_.hProcess) return;
    ::TerminateProcess(info_.hProcess, 0xBE);
    ::WaitForSingleObject(info_.hProcess, 10000);
    ::CloseHandle(info_.hProcess);
    ::CloseHandle(info_.hThread);
  }
  bool Start(const std::wstring& exe, const std::wstring& arguments) {
    const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                            &startup, &info_) != FALSE;
  }
  HANDLE handle() const { return info_.hProcess; }
  DWORD id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

std::optional<Run> StartToReady(const std::wstring& exe, bool watch) {
  Run run;
  Process process;
  const double start = Now();
  if (!process.Start(exe, L"/Tarn")) return std::nullopt;
  if (!watch) ::WaitForInputIdle(process.handle(), static_cast<DWORD>(kDeadline * 1000));
  HWND main = nullptr;
  for (;;) {
    const double now = Now() - start;
    HWND list = nullptr;
    for (HWND window : twdrive::TopWindows(process.id(), true)) {
      const bool wizardMain = ::GetDlgItem(window, IDC_NEXT) && ::GetDlgItem(window, IDC_TITLE);
      if (watch && !main && (wizardMain || ::GetDlgItem(window, IDC_DISC_SET_LIST))) {
        main = window;
        run.mainWindow = now;
      }
      if (!list) list = twdrive::DescendantWithId(window, IDC_DISC_SET_LIST);
    }
    if (main && run.stepDialog < 0 && ::FindWindowExW(main, nullptr, L"#32770", nullptr)) run.stepDialog = now;
    // (The floor dialog has no step dialog: its list is its own control.)
    if (list && ::IsWindowVisible(list)) {
      run.listShown = now;
      break;
    }
    if (::WaitForSingleObject(process.handle(), 0) == WAIT_OBJECT_0 || now > kDeadline) return std::nullopt;
    ::Sleep(1);
  }
  ::WaitForInputIdle(process.handle(), static_cast<DWORD>(kDeadline * 1000));
  run.ready = Now() - start;
  return run;
}

// A deployment of the shipped wizard in a temporary folder, as on a real
// machine: the program with its configuration and the common dialog
// library beside it, the burning product stand-ins with one writer, and
// the registry values of both products and of the recovery drive (C:).
class Deployment {
 public:
  Deployment() {
    program_ = root_.path() + L"\\Tarnwright";
    const std::wstring product = root_.path() + L"\\Kilnspar";
    const std::wstring standins = twtest::HostPath(TW_STANDIN_DIR);
    twtest::CopyTree(twtest::SampleDeployment() + L"\\program", program_);
    twtest::MakeDirs(product);
    const bool copied = ::CopyFileW(twtest::HostPath(TW_WIZARD_EXE).c_str(), Exe().c_str(), FALSE) &&
                        ::CopyFileW((standins + L"\\QLNCmnDlg.dll").c_str(), (program_ + L"\\QLNCmnDlg.dll").c_str(),
                                    FALSE) &&
                        ::CopyFileW((standins + L"\\KSCORE.exe").c_str(), (product + L"\\KSCORE.exe").c_str(), FALSE) &&
                        ::CopyFileW((standins + L"\\KSIF.dll").c_str(), (product + L"\\KSIF.dll").c_str(), FALSE);
    if (!copied) error_ = "the wizard or the stand-ins could not be copied";
    const std::wstring drives = product + L"\\KSIF.ini";
    ::WritePrivateProfileStringW(L"GetOddsList", L"Result", L"0", drives.c_str());
    ::WritePrivateProfileStringW(L"GetOddsList", L"Drives", L"E", drives.c_str());
    ::WritePrivateProfileStringW(L"Drive E", L"Name", L"Virtual writer E", drives.c_str());
    ::WritePrivateProfileStringW(L"Drive E", L"Codes", L"101,102,201", drives.c_str());
    burnKey_ = std::make_unique<twtest::ScopedHklmKey>(L"SOFTWARE\\Norvane\\Kilnspar");
    burnKey_->SetString(L"InstFolder", product);
    backupKey_ = std::make_unique<twtest::ScopedHklmKey>(L"SOFTWARE\\Norvane\\Quillon");
    backupKey_->SetString(L"InstFolder", root_.path());
    driveKey_ = std::make_unique<twtest::ScopedHklmKey>(L"SOFTWARE\\Norvane\\ZRV_PARTLINK");
    driveKey_->SetString(L"DRV3", L"C");
  }
  const std::string& error() const { return error_; }
  std::wstring Exe() const { return program_ + L"\\Tarnwright.exe"; }
  std::wstring Act() const { return program_ + L"\\Tarnwright_Act.ini"; }
  std::wstring Lang() const { return program_ + L"\\English\\Tarnwright_Lang.ini"; }
  std::wstring TarnSet() const { return program_ + L"\\TarnSet.ini"; }

  // The start program records the recovery drive, as the partition tool
  // does; the drive must therefore be unknown before every start.
  void UseStartProgram() {
    startProgram_ = true;
    const std::wstring act = Act();
    ::WritePrivateProfileStringW(L"ExecuteAtStart", L"FilePath", twtest::HostPath(TW_EXEC_CHILD).c_str(), act.c_str());
    ::WritePrivateProfileStringW(L"ExecuteAtStart", L"Parameter", L"drv3=C", act.c_str());
    ::WritePrivateProfileStringW(L"ExecuteAtStart", L"SuccessExitCodeList", L"0", act.c_str());
  }
  void BeforeStart() const {
    if (startProgram_) driveKey_->DeleteValue(L"DRV3");
  }
  void RealDiscSizes() const {
    ::WritePrivateProfileStringW(L"OpticalDisc", L"DVD1_Size", L"4300", Act().c_str());
    ::WritePrivateProfileStringW(L"OpticalDisc", L"BD1_Size", L"23700", Act().c_str());
  }

 private:
  twtest::TempDir root_;
  std::wstring program_;
  std::unique_ptr<twtest::ScopedHklmKey> burnKey_, backupKey_, driveKey_;
  bool startProgram_ = false;
  std::string error_;
};

struct Figures {
  std::vector<double> wizard, floor;     // headline runs, ms
  std::vector<Run> watchedWizard, watchedFloor;
  double settingsMs = -1, modelMs = -1;  // in this process, on the deployment's files
  uint32_t sets = 0, tasks = 0;
  size_t logEntries = 0;  // written by all the wizard's runs
};

// Settings and model as the wizard loads them, timed in this process on
// the same files: medians of several loads after a first one, which warms
// the file caches as the wizard's earlier runs do.
void TimeLoads(const Deployment& deployment, Figures* figures) {
  twtest::SettingsGuard settings;
  std::vector<double> settingsMs, modelMs;
  for (int i = 0; i <= kLoads; ++i) {
    double start = Now();
    tw::LoadProcessRecords(deployment.Lang(), deployment.Act());
    if (i > 0) settingsMs.push_back((Now() - start) * 1000);
    LoadProcessWideActionSettings(deployment.Act());
    start = Now();
    TarnSet::CMgr model(deployment.Act(), deployment.TarnSet());
    if (i > 0) modelMs.push_back((Now() - start) * 1000);
    figures->sets = model.InfoCount;
    figures->tasks = 0;
    for (uint32_t s = 0; s < model.InfoCount; ++s) {
      figures->tasks += model.GetTaskCountInInfo(s, 0) + model.GetTaskCountInInfo(s, 1);
    }
  }
  figures->settingsMs = Median(settingsMs);
  figures->modelMs = Median(modelMs);
}

// Two things the first step does for the first time in its process, timed
// once in this process (which has done neither yet): the engine library's
// load and drive list, and the first use of the shell's system image list
// for the drive icons.
struct FirstStepParts {
  double driveListMs = -1;
  double shellIconsMs = -1;
};

FirstStepParts TimeFirstStepParts() {
  FirstStepParts parts;
  double start = Now();
  {
    CBrnAppCnctor connector;
    OddInfo drives[26];
    uint32_t count = 26;
    if (connector.IsReady && connector.GetOddsInfo(drives, &count)) parts.driveListMs = (Now() - start) * 1000;
  }
  start = Now();
  SHFILEINFOW info{};
  if (::SHGetFileInfoW(L"E:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
    parts.shellIconsMs = (Now() - start) * 1000;
  }
  return parts;
}

bool Measure(Deployment& deployment, Figures* figures) {
  const std::wstring floorExe = twtest::HostPath(TW_FLOOR_EXE);
  tw::LogWatch watch;
  tw::ScopeExit countEntries([&] { figures->logEntries = watch.NewEntries().size(); });
  // One run of each first, to have both programs' files in the caches.
  deployment.BeforeStart();
  if (!StartToReady(deployment.Exe(), false) || !StartToReady(floorExe, false)) return false;
  for (int i = 0; i < kRuns + kWatchedRuns; ++i) {
    const bool watch = i >= kRuns;
    deployment.BeforeStart();
    const std::optional<Run> wizard = StartToReady(deployment.Exe(), watch);
    const std::optional<Run> floor = StartToReady(floorExe, watch);
    if (!wizard || !floor) return false;
    if (watch) {
      figures->watchedWizard.push_back(*wizard);
      figures->watchedFloor.push_back(*floor);
    } else {
      figures->wizard.push_back(wizard->ready * 1000);
      figures->floor.push_back(floor->ready * 1000);
    }
  }
  return true;
}

template <typename Field>
double MedianMs(const std::vector<Run>& runs, Field field) {
  std::vector<double> values;
  for (const Run& run : runs) values.push_back(field(run) * 1000);
  return Median(values);
}

FirstStepParts g_firstStep;

void Print(const char* name, const Figures& f, double target) {
  const double wizard = Median(f.wizard);
  const double floor = Median(f.floor);
  std::printf("\n%s: %u disc sets, %u tasks\n", name, f.sets, f.tasks);
  std::printf("  start to first step ready: wizard %.1f ms, floor dialog %.1f ms, ratio %.2f (target at most %.0f)\n",
              wizard, floor, wizard / floor, target);
  std::printf("    (medians of %d runs each, taken in turn; wizard %.1f-%.1f ms, floor %.1f-%.1f ms)\n", kRuns,
              *std::min_element(f.wizard.begin(), f.wizard.end()), *std::max_element(f.wizard.begin(), f.wizard.end()),
              *std::min_element(f.floor.begin(), f.floor.end()), *std::max_element(f.floor.begin(), f.floor.end()));
  const std::vector<Run>& w = f.watchedWizard;
  const double main = MedianMs(w, [](const Run& r) { return r.mainWindow; });
  const double step = MedianMs(w, [](const Run& r) { return r.stepDialog; });
  const double shown = MedianMs(w, [](const Run& r) { return r.listShown; });
  const double ready = MedianMs(w, [](const Run& r) { return r.ready; });
  const double floorWindow = MedianMs(f.watchedFloor, [](const Run& r) { return r.mainWindow; });
  const double floorReady = MedianMs(f.watchedFloor, [](const Run& r) { return r.ready; });
  std::printf("  where the wizard's time goes (medians of %d runs with the windows polled every ms):\n", kWatchedRuns);
  std::printf("    %-60s %7.1f ms\n", "process start to its main window (made, not yet shown)", main);
  std::printf("      %-58s %7.1f ms\n", "of which the floor dialog's process start to its window", floorWindow);
  std::printf("      %-58s %7.1f ms\n", "so start-up checks, settings, start program and the rest", main - floorWindow);
  std::printf("      %-58s %7.1f ms\n", "of which settings (timed in the benchmark on the same files)", f.settingsMs);
  std::printf("    %-60s %7.1f ms\n", "main window set-up and the disc-set model", step - main);
  std::printf("      %-58s %7.1f ms\n", "of which the model (timed in the benchmark on the same files)", f.modelMs);
  std::printf("    %-60s %7.1f ms\n", "first step: written state, texts, drive listing, shown", shown - step);
  std::printf("      %-58s %7.1f ms\n", "of which the engine library and drive list (timed once here)",
              g_firstStep.driveListMs);
  std::printf("      %-58s %7.1f ms\n", "and the shell's first drive icon (timed once here)", g_firstStep.shellIconsMs);
  std::printf("    %-60s %7.1f ms\n", "painting until idle for input", ready - shown);
  std::printf("    %-60s %7.1f ms  (floor dialog %.1f ms, of it %.1f after its window was made)\n", "total", ready,
              floorReady, floorReady - floorWindow);
  std::printf("  log entries written by the wizard: %u in %d starts\n", static_cast<unsigned>(f.logEntries),
              1 + kRuns + kWatchedRuns);
}

bool RecoveryDriveFree() {
  if (::GetFileAttributesW(kRecovery) != INVALID_FILE_ATTRIBUTES &&
      ::GetFileAttributesW(kRecoveryMarker) == INVALID_FILE_ATTRIBUTES) {
    std::printf("C:\\Recovery exists and was not made by a test or benchmark; nothing measured.\n");
    return false;
  }
  return true;
}

}  // namespace

int main() {
  std::printf("Start to first step: the wizard (Tarnwright.exe /Tarn) against a minimal dialog program.\n");
  if (!RecoveryDriveFree()) return 1;
  Figures sample, withStart, large;
  {
    twtest::GeneratedRecoveryDrive recovery;
    Deployment deployment;
    if (!recovery.error().empty() || !deployment.error().empty()) {
      std::printf("cannot lay out the sample deployment: %s%s\n", recovery.error().c_str(), deployment.error().c_str());
      return 1;
    }
    TimeLoads(deployment, &sample);
    g_firstStep = TimeFirstStepParts();
    if (!Measure(deployment, &sample)) {
      std::printf("the sample deployment's wizard or the floor dialog did not come up within %.0f s\n", kDeadline);
      return 1;
    }
    Print("sample deployment", sample, 2);
    deployment.UseStartProgram();
    withStart.settingsMs = sample.settingsMs;
    withStart.modelMs = sample.modelMs;
    withStart.sets = sample.sets;
    withStart.tasks = sample.tasks;
    if (!Measure(deployment, &withStart)) {
      std::printf("the wizard with a start program did not come up within %.0f s\n", kDeadline);
      return 1;
    }
    Print("sample deployment with a start program (recording the recovery drive)", withStart, 2);
    const double extra = MedianMs(withStart.watchedWizard, [](const Run& r) { return r.mainWindow; }) -
                         MedianMs(sample.watchedWizard, [](const Run& r) { return r.mainWindow; });
    std::printf("  the start program adds %.1f ms before the main window\n", extra);
  }
  {
    Deployment deployment;
    const twbench::LargeDeployment data =
        twbench::WriteLargeDeployment(L"C:\\", twtest::SampleDeployment() + L"\\recovery");
    twtest::WriteBytes(kRecoveryMarker, "");
    twtest::WriteTextFile(deployment.TarnSet(), data.tarnSetText, twtest::Encoding::Ansi);
    deployment.RealDiscSizes();
    if (!data.error.empty() || !deployment.error().empty()) {
      std::printf("cannot lay out the large deployment: %s%s\n", data.error.c_str(), deployment.error().c_str());
      twtest::RemoveTree(kRecovery);
      return 1;
    }
    std::printf("\nlarge realistic deployment: %u sets of %u DVD and %u BD tasks over %llu files\n", data.sets,
                data.dvdTasks / data.sets, data.bdTasks / data.sets, static_cast<unsigned long long>(data.files));
    TimeLoads(deployment, &large);
    const bool measured = Measure(deployment, &large);
    twtest::RemoveTree(kRecovery);
    if (!measured) {
      std::printf("the large deployment's wizard did not come up within %.0f s\n", kDeadline);
      return 1;
    }
    Print("large realistic deployment", large, 4);
  }
  std::printf("\ngrowth from the sample to the large deployment: wizard %+.1f ms, floor dialog %+.1f ms\n",
              Median(large.wizard) - Median(sample.wizard), Median(large.floor) - Median(sample.floor));
  return 0;
}
