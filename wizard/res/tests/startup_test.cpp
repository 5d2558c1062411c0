// Start-up and shutdown of the real wizard: every way start-up refuses to
// run gives its exit code, its log entries and its message, and nothing
// else; the start and end programs decide by their exit codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "app/core/text.h"
#include "e2e_support.h"
#include "res/resource.h"

namespace {

using e2e::Deployment;
using Strings = std::vector<std::wstring>;

constexpr wchar_t kAppName[] = L"Recovery Disc Creator";
constexpr wchar_t kFixed[] = L"Tarnwright";
constexpr wchar_t kSingleInstance[] = L"Global\\{B7EE70A8-50B2-4DD0-ACAC-F45D5B931A64}";
constexpr wchar_t kBackupCore[] = L"Global\\{97B3774D-C22B-49B1-BF0F-D50047694343}_BackupCore";
constexpr wchar_t kBackupOther[] = L"Global\\{62044498-820E-4D54-8D1F-1248FDAA3F1A}";

std::wstring ExecChild() { return twtest::HostPath(TW_EXEC_CHILD); }

// A named object held for the length of a case: a mutex, or an event under
// a mutex's name (which makes creating or opening that mutex fail).
class NamedObject {
 public:
  NamedObject(const std::wstring& name, bool mutex)
      : handle_(mutex ? ::CreateMutexW(nullptr, FALSE, name.c_str()) : ::CreateEventW(nullptr, TRUE, FALSE, name.c_str())) {}
  explicit operator bool() const { return static_cast<bool>(handle_); }

 private:
  tw::UniqueHandle handle_;
};

struct Refusal {
  const char* name;
  std::function<std::unique_ptr<NamedObject>(const Deployment&)> arrange;
  std::wstring arguments;
  DWORD exitCode;
  std::wstring caption;  // empty: no message at all
  std::wstring text;
  Strings logged;  // functions that logged, sorted
};

std::unique_ptr<NamedObject> Nothing(const Deployment&) { return nullptr; }

// Runs the wizard as the case arranges it: the one message (or none), the
// exit code, no window, and the functions that logged.
void CheckRefusal(const Refusal& c) {
  SCOPED_TRACE(c.name);
  Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  auto held = c.arrange(deployment);
  tw::LogWatch watch;
  twdrive::WizardRun run;
  ASSERT_TRUE(run.Start(deployment.Exe(), c.arguments));
  if (!c.caption.empty()) {
    auto box = run.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, c.caption);
    EXPECT_EQ(box->text, c.text);
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(box->hasIcon);
    EXPECT_TRUE(twdrive::Answer(*box, IDOK));
  }
  EXPECT_EQ(run.WaitExit(), c.exitCode);
  EXPECT_EQ(run.WaitMain(0), nullptr) << "no window may open";
  EXPECT_EQ(e2e::LoggedFunctions(watch), c.logged);
}

TEST(Startup, EveryRefusalGivesItsExitCodeMessageAndLogEntries) {
  const Refusal cases[] = {
      {"no argument", Nothing, L"", 2, L"", L"", {L"wWinMain"}},
      {"another argument beside the switch", Nothing, L"/Tarn /x", 2, L"", L"", {L"wWinMain"}},
      {"action file missing", [](const Deployment& d) { d.Remove(L"Tarnwright_Act.ini"); return nullptr; }, L"/Tarn",
       2, kFixed, L"Necessary file is not found.", {L"GetTargetFilePathInLangFolder", L"wWinMain"}},
      {"language file missing", [](const Deployment& d) { d.Remove(L"Language.ini"); return nullptr; }, L"/Tarn", 2,
       kFixed, L"Necessary file is not found.", {L"GetTargetFilePathInLangFolder", L"wWinMain"}},
      {"disc-set file missing", [](const Deployment& d) { d.Remove(L"TarnSet.ini"); return nullptr; }, L"/Tarn", 2,
       kFixed, L"Necessary file is not found.", {L"GetTargetFilePathInLangFolder", L"wWinMain"}},
      {"another copy holds the mutex, no window of it",
       [](const Deployment&) { return std::make_unique<NamedObject>(kSingleInstance, true); }, L"/Tarn", 2, kAppName,
       L"The Recovery Disc Creator is already running.\r\nPlease use the window that is already open.", {L"wWinMain"}},
      {"the mutex cannot be made",
       [](const Deployment&) { return std::make_unique<NamedObject>(kSingleInstance, false); }, L"/Tarn", 2, kAppName,
       L"An unexpected error occurred.\r\nThe program will now close.", {L"CMutexChecker::CheckMutex", L"wWinMain"}},
      {"a backup program runs",
       [](const Deployment&) { return std::make_unique<NamedObject>(kBackupCore, true); }, L"/Tarn", 2,
       kAppName, L"A backup program is running.\r\nClose it, then start the Recovery Disc Creator again.",
       {L"ChkExistanceOfMutex", L"wWinMain"}},
      {"a backup program's mutex cannot be tested",
       [](const Deployment&) { return std::make_unique<NamedObject>(kBackupOther, false); }, L"/Tarn", 2,
       kAppName, L"An unexpected error occurred.\r\nThe program will now close.", {L"ChkExistanceOfMutex", L"wWinMain"}},
      {"start program missing",
       [](const Deployment& d) { d.SetAction(L"ExecuteAtStart", L"FilePath", L"C:\\nowhere\\x.exe"); return nullptr; },
       L"/Tarn", 2, kAppName, L"A file needed to make recovery discs is missing.\r\nPlease reinstall the Recovery Disc Creator.",
       {L"ChkExistanceOfNeedfulFile", L"wWinMain"}},
      {"start program given from the current drive's root",
       [](const Deployment& d) {
         // It exists from the wizard's current folder, but where it lies
         // depends on that folder's drive: it counts as missing.
         ::CopyFileW(ExecChild().c_str(), (d.Program() + L"\\exec_child.exe").c_str(), FALSE);
         d.SetAction(L"ExecuteAtStart", L"FilePath", d.Program().substr(2) + L"\\exec_child.exe");
         return nullptr;
       },
       L"/Tarn", 2, kAppName, L"A file needed to make recovery discs is missing.\r\nPlease reinstall the Recovery Disc Creator.",
       {L"ChkExistanceOfNeedfulFile", L"wWinMain"}},
      {"common exclusion list missing", [](const Deployment& d) { d.Remove(L"TarnSet_Exclusion.ini"); return nullptr; },
       L"/Tarn", 2, kAppName, L"A file needed to make recovery discs is missing.\r\nPlease reinstall the Recovery Disc Creator.",
       {L"ChkExistanceOfNeedfulFile", L"GetTargetFilePathInLangFolder", L"wWinMain"}},
      {"recovery drive already open",
       [](const Deployment& d) { d.SetAction(L"ExecuteAtStart", L"FilePath", ExecChild()); return nullptr; }, L"/Tarn",
       0, kAppName,
       L"The recovery data drive is in use by another program.\r\nClose every window and program that uses it, then try again.",
       {L"wWinMain"}},
      {"start program's exit code not listed",
       [](const Deployment& d) {
         d.SetAction(L"ExecuteAtStart", L"FilePath", ExecChild());
         d.SetAction(L"ExecuteAtStart", L"Parameter", L"exit=5 drv3=C");
         d.SetAction(L"RecoveryData", L"StorageDrive_RegValueName", L"DRV9");  // not open before the start
         return nullptr;
       },
       L"/Tarn", 2, kAppName, L"The recovery data could not be prepared.\r\nRestart the computer and try again.",
       {L"DoStartProcessing", L"GetHideDrvLttr", L"wWinMain"}},
      {"start program's exit code not listed, no message",
       [](const Deployment& d) {
         d.SetAction(L"ExecuteAtStart", L"FilePath", ExecChild());
         d.SetAction(L"ExecuteAtStart", L"Parameter", L"exit=5");
         d.SetAction(L"ExecuteAtStart", L"ShowErrorMessage", L"0");
         d.SetAction(L"RecoveryData", L"StorageDrive_RegValueName", L"DRV9");
         return nullptr;
       },
       L"/Tarn", 2, L"", L"", {L"DoStartProcessing", L"GetHideDrvLttr", L"wWinMain"}},
  };
  for (const Refusal& c : cases) CheckRefusal(c);
}

TEST(Startup, SwitchInAnyCaseAndTwiceIsAccepted) {
  for (const wchar_t* arguments : {L"/TARN", L"/tarn /Tarn"}) {
    Deployment deployment;
    ASSERT_EQ(deployment.error(), "");
    twdrive::WizardRun run;
    ASSERT_TRUE(run.Start(deployment.Exe(), arguments));
    ASSERT_TRUE(run.WaitMain()) << arguments;
    ASSERT_TRUE(run.WaitStep(twdrive::Step::kSelectDiscSet));
    run.Back();
    EXPECT_EQ(run.WaitExit(), 0u);
  }
}

TEST(Startup, SecondStartBringsTheFirstToTheFrontAndEnds) {
  Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  twdrive::WizardRun first;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, first));
  tw::LogWatch watch;
  twdrive::WizardRun second;
  ASSERT_TRUE(second.Start(deployment.Exe()));
  EXPECT_EQ(second.WaitExit(), 2u);
  EXPECT_EQ(::GetForegroundWindow(), first.Main());
  EXPECT_EQ(e2e::LoggedFunctions(watch), Strings{L"wWinMain"});
  first.Back();
  EXPECT_EQ(first.WaitExit(), 0u);
}

// A backup program (here a window holder of ours under the engine's name,
// holding a backup product's mutex) is brought to the front whatever its
// bitness: a 32-bit wizard cannot list the modules of a 64-bit process and
// must find it by its image name.
TEST(Startup, BackupProgramOfEitherBitnessIsBroughtToTheFront) {
  const std::pair<const char*, std::string> holders[] = {{"same bitness", TW_HOLD_WINDOW},
                                                          {"other bitness", TW_HOLD_WINDOW_OTHER}};
  for (const auto& holder : holders) {
    SCOPED_TRACE(holder.first);
    if (holder.second.empty()) {
      std::printf("no window holder of the other bitness was built (its compiler is missing)\n");
      continue;
    }
    Deployment deployment;
    ASSERT_EQ(deployment.error(), "");
    const std::wstring engine = deployment.Product() + L"\\KSCORE.exe";
    ASSERT_TRUE(::CopyFileW(twtest::HostPath(holder.second).c_str(), engine.c_str(), FALSE));
    std::wstring commandLine = L"\"" + engine + L"\" \"Held window\" " + kBackupOther;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    tw::ProcessInfo held;
    if (!::CreateProcessW(engine.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          held.put())) {
      // A 32-bit program where the host runs no 32-bit code.
      std::printf("the %s holder cannot run here (0x%08lx)\n", holder.first, ::GetLastError());
      continue;
    }
    HWND window = twdrive::WaitTopWindow(held.get().dwProcessId, L"TwHoldWindow", L"Held window", 60000);
    ASSERT_TRUE(window);
    tw::LogWatch watch;
    twdrive::WizardRun run;
    ASSERT_TRUE(run.Start(deployment.Exe()));
    EXPECT_EQ(run.WaitExit(), 2u) << "the wizard waits when it brought nothing to the front";
    EXPECT_EQ(::GetForegroundWindow(), window);
    EXPECT_EQ(e2e::LoggedFunctions(watch), (Strings{L"ChkExistanceOfMutex", L"wWinMain"}));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(held.process(), 30000), WAIT_OBJECT_0);
  }
}

TEST(Startup, StartAndEndProgramsRunAroundTheWizard) {
  Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  twtest::TempDir records;
  // The start program records the recovery drive's letter, as the partition
  // tool does; the end program takes it away again.
  deployment.SetAction(L"RecoveryData", L"StorageDrive_RegValueName", L"DRV3");
  deployment.SetAction(L"ExecuteAtStart", L"FilePath", ExecChild());
  deployment.SetAction(L"ExecuteAtStart", L"Parameter", L"exit=3 drv3=C record=" + (records / L"start.txt"));
  deployment.SetAction(L"ExecuteAtStart", L"SuccessExitCodeList", L"0, 3,x,1234567890");
  deployment.SetAction(L"ExecuteAtEnd", L"FilePath", ExecChild());
  deployment.SetAction(L"ExecuteAtEnd", L"Parameter", L"drv3= record=" + (records / L"end.txt"));
  twtest::ScopedHklmKey drive(L"SOFTWARE\\Norvane\\ZRV_PARTLINK");
  drive.DeleteValue(L"DRV3");
  tw::LogWatch watch;
  twdrive::WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  EXPECT_NE(twtest::ReadBytes(records / L"start.txt").size(), 0u);
  EXPECT_EQ(twtest::ReadBytes(records / L"end.txt").size(), 0u);
  std::string why;
  ASSERT_TRUE(e2e::MakeDiscs(run, L"Support Tools", L"DVD", {}, &why)) << why;
  run.Next();
  EXPECT_EQ(run.WaitExit(), 0u);
  EXPECT_NE(twtest::ReadBytes(records / L"end.txt").size(), 0u);
  EXPECT_EQ(deployment.Markers(), Strings{L"Set4_DVD_Tools.flg"});
  // The entry over nine characters is skipped with a log entry, not read.
  EXPECT_EQ(twtest::LoggedMessages(watch, L"SplitNumberList"), (Strings{L"1234567890", L"1234567890"}));
}

// Programs are started by their full path and never found by a search,
// and no library planted beside the wizard runs in it. C:\Program.exe is
// planted (a copy of exec_child, which records which program ran) where an
// unquoted "C:\Program Files\..." would start it; copies of a library of
// ours lie beside the wizard under the names of system libraries the
// wizard loads while it runs. (On this platform those names are always
// served by its own built-in libraries, so the check of the planted
// libraries holds with or without the wizard's restricted search; the
// library search tests show the restriction itself.)
TEST(Startup, ProgramsAreStartedByFullPathAndNoPlantRuns) {
  Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  const std::wstring plant = L"C:\\Program.exe";
  const std::wstring folder = L"C:\\Program Files\\Tarnwright start test";
  ASSERT_TRUE(::CopyFileW(ExecChild().c_str(), plant.c_str(), TRUE)) << "C:\\Program.exe is there already";
  twtest::MakeDirs(folder);
  tw::ScopeExit cleanUp([&] {
    ::DeleteFileW(plant.c_str());
    twtest::RemoveTree(folder);
  });
  ASSERT_TRUE(::CopyFileW(ExecChild().c_str(), (folder + L"\\exec_child.exe").c_str(), FALSE));
  ASSERT_TRUE(::CopyFileW(ExecChild().c_str(), (deployment.Program() + L"\\exec_child.exe").c_str(), FALSE));
  const Strings libraries = {L"uxtheme.dll", L"msimg32.dll", L"version.dll", L"dwmapi.dll", L"imm32.dll"};
  for (const auto& name : libraries) {
    ASSERT_TRUE(::CopyFileW(twtest::HostPath(TW_PLANT_PROBE).c_str(), (deployment.Program() + L"\\" + name).c_str(),
                            FALSE));
  }
  twtest::TempDir records;
  // The start program below "C:\Program Files"; the end program by its
  // name alone, which means the one beside the wizard.
  // The start program records the recovery drive's letter as the partition
  // tool does, the end program takes it away again.
  deployment.SetAction(L"RecoveryData", L"StorageDrive_RegValueName", L"DRV3");
  deployment.SetAction(L"ExecuteAtStart", L"FilePath", folder + L"\\exec_child.exe");
  deployment.SetAction(L"ExecuteAtStart", L"Parameter", L"drv3=C module=" + (records / L"start.txt"));
  deployment.SetAction(L"ExecuteAtEnd", L"FilePath", L"exec_child.exe");
  deployment.SetAction(L"ExecuteAtEnd", L"Parameter", L"drv3= record=" + (records / L"end.txt"));
  twtest::ScopedHklmKey drive(L"SOFTWARE\\Norvane\\ZRV_PARTLINK");
  drive.DeleteValue(L"DRV3");
  twdrive::WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  run.Back();
  EXPECT_EQ(run.WaitExit(), 0u);

  const std::string started = twtest::ReadBytes(records / L"start.txt");
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(started.data()), started.size() / 2),
            folder + L"\\exec_child.exe");
  const std::string ended = twtest::ReadBytes(records / L"end.txt");
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(ended.data()), ended.size() / 2),
            L"\"" + deployment.Program() + L"\\exec_child.exe\" drv3= record=" + (records / L"end.txt"));
  for (const auto& name : libraries) {
    EXPECT_EQ(::GetFileAttributesW((deployment.Program() + L"\\" + name + L".loaded").c_str()),
              INVALID_FILE_ATTRIBUTES)
        << twtest::Narrow(name) << " ran in the wizard";
  }
}

TEST(Startup, FailingEndProgramTurnsACancelIntoAnError) {
  Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  deployment.SetAction(L"ExecuteAtEnd", L"FilePath", ExecChild());
  deployment.SetAction(L"ExecuteAtEnd", L"Parameter", L"exit=9");
  tw::LogWatch watch;
  twdrive::WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  run.CloseButton();
  auto box = run.WaitMessageBox();
  ASSERT_TRUE(box);
  ASSERT_TRUE(twdrive::Answer(*box, IDOK));
  box = run.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"The recovery data drive could not be closed.\r\nRestart the computer to finish.");
  ASSERT_TRUE(twdrive::Answer(*box, IDOK));
  EXPECT_EQ(run.WaitExit(), 2u);
  EXPECT_EQ(e2e::LoggedFunctions(watch), (Strings{L"DoEndProcessing", L"wWinMain"}));
}

TEST(Startup, BurningProductNotInstalled) {
  Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  twtest::ScopedHklmKey product(L"SOFTWARE\\Norvane\\Kilnspar");
  product.DeleteValue(L"InstFolder");
  tw::LogWatch watch;
  twdrive::WizardRun run;
  ASSERT_TRUE(run.Start(deployment.Exe()));
  auto box = run.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"The disc writing software is not installed.\r\nInstall it, then start the Recovery Disc Creator again.");
  ASSERT_TRUE(twdrive::Answer(*box, IDOK));
  EXPECT_EQ(run.WaitExit(), 2u);
  const Strings logged = e2e::LoggedFunctions(watch);
  EXPECT_NE(std::find(logged.begin(), logged.end(), L"wWinMain"), logged.end());
}

}  // namespace
