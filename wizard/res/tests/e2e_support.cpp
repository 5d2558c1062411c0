#include "e2e_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "app/core/text.h"
#include "app/syshelpers.h"
#include "res/resource.h"

namespace e2e {
namespace {

std::wstring StandinFile(const wchar_t* name) { return twtest::StandinDir() + L"\\" + name; }

void WriteIni(const std::wstring& path, const wchar_t* section, const wchar_t* key, const std::wstring& value) {
  ::WritePrivateProfileStringW(section, key, value.c_str(), path.c_str());
}

}  // namespace

namespace {
std::wstring TempFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return folder;
}
// Names of the files a search pattern finds, sorted.
std::vector<std::wstring> FileNames(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  tw::UniqueFind find(::FindFirstFileW(pattern.c_str(), &data));
  if (find) {
    do {
      names.push_back(data.cFileName);
    } while (::FindNextFileW(find.get(), &data));
  }
  std::sort(names.begin(), names.end());
  return names;
}
std::vector<std::wstring> JobFilesInTemp() { return FileNames(TempFolder() + L"TWR*.tmp"); }
}  // namespace

Deployment::Deployment() {
  jobFilesBefore_ = JobFilesInTemp();
  program_ = root_.path() + L"\\Tarnwright";
  product_ = root_.path() + L"\\Kilnspar";
  twtest::CopyTree(twtest::SampleDeployment() + L"\\program", program_);
  if (!::CopyFileW(twtest::HostPath(TW_TEST_BUILD_EXE).c_str(), Exe().c_str(), FALSE) ||
      !::CopyFileW(StandinFile(L"QLNCmnDlg.dll").c_str(), (program_ + L"\\QLNCmnDlg.dll").c_str(), FALSE)) {
    error_ = "the wizard or the dialog library could not be copied";
    return;
  }
  twtest::MakeDirs(product_);
  twtest::MakeDirs(Disc());
  twtest::WriteBytes(Disc() + L"\\KSVDISC.TAG", "");
  for (const wchar_t* name : {L"KSCORE.exe", L"KSIF.dll"}) {
    ::CopyFileW(StandinFile(name).c_str(), (product_ + L"\\" + name).c_str(), FALSE);
  }
  SetDrives(L"E", L"101,102,201");
  WriteIni(product_ + L"\\KSCORE.ini", L"Drives", L"E", Disc());
  WriteIni(product_ + L"\\KSCORE.ini", L"Capacity", L"DVD_1", L"16");
  WriteIni(product_ + L"\\KSCORE.ini", L"Capacity", L"BD_1", L"64");
  SetAttentionAnswer(1);
  SetPower(true);

  burnKey_ = std::make_unique<twtest::ScopedHklmKey>(L"SOFTWARE\\Norvane\\Kilnspar");
  burnKey_->SetString(L"InstFolder", product_);
  backupKey_ = std::make_unique<twtest::ScopedHklmKey>(L"SOFTWARE\\Norvane\\Quillon");
  backupKey_->SetString(L"InstFolder", root_.path());
  driveKey_ = std::make_unique<twtest::ScopedHklmKey>(L"SOFTWARE\\Norvane\\ZRV_PARTLINK");
  driveKey_->SetString(L"DRV3", L"C");
  recovery_ = std::make_unique<twtest::GeneratedRecoveryDrive>();
  error_ = recovery_->error();
}

Deployment::~Deployment() {
  for (const std::wstring& name : TemporaryJobFiles()) ::DeleteFileW((TempFolder() + name).c_str());
}

void Deployment::SetAction(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
  WriteIni(program_ + L"\\Tarnwright_Act.ini", section, key, value);
}

void Deployment::SetEngine(const wchar_t* key, const std::wstring& value) const {
  WriteIni(product_ + L"\\KSCORE.ini", L"Test", key, value);
}

void Deployment::SetDrives(const std::wstring& drives, const std::wstring& codes) const {
  const std::wstring ini = product_ + L"\\KSIF.ini";
  WriteIni(ini, L"GetOddsList", L"Result", L"0");
  WriteIni(ini, L"GetOddsList", L"Drives", drives);
  for (const std::wstring& letter : {std::wstring(L"E"), std::wstring(L"F")}) {
    const std::wstring section = L"Drive " + letter;
    WriteIni(ini, section.c_str(), L"Name", L"Virtual writer " + letter);
    WriteIni(ini, section.c_str(), L"Codes", codes);
  }
}

void Deployment::SetAttentionAnswer(int answer) const {
  WriteIni(program_ + L"\\QLNCmnDlg.ini", L"AttentionToDiscFormat", L"Answer", tw::Dec(static_cast<uint64_t>(answer)));
}

void Deployment::SetPower(bool mains) const {
  WriteIni(program_ + L"\\TestPower.ini", L"Power", L"ACLineStatus", mains ? L"1" : L"0");
}

bool Deployment::KeepAwakeHeld() const {
  return ::GetPrivateProfileIntW(L"Power", L"KeepAwake", 0, (program_ + L"\\TestPower.ini").c_str()) == 1;
}

void Deployment::Remove(const std::wstring& fileInProgram) const {
  ::DeleteFileW((program_ + L"\\" + fileInProgram).c_str());
}

std::vector<std::wstring> Deployment::Markers() const { return FileNames(L"C:\\Recovery\\Done\\*.flg"); }

unsigned Deployment::EngineRuns() const {
  return ::GetPrivateProfileIntW(L"LastRun", L"Runs", 0, (product_ + L"\\KSCORE.ini").c_str());
}

std::vector<std::wstring> Deployment::TemporaryJobFiles() const {
  std::vector<std::wstring> made;
  for (const std::wstring& name : JobFilesInTemp()) {
    if (!std::binary_search(jobFilesBefore_.begin(), jobFilesBefore_.end(), name)) made.push_back(name);
  }
  return made;
}

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
  return entries;
}

std::vector<std::wstring> LoggedFunctions(const tw::LogWatch& watch) {
  std::set<std::wstring> names;
  for (const tw::LogEntry& entry : watch.NewEntries()) names.insert(entry.function);
  return std::vector<std::wstring>(names.begin(), names.end());
}

}  // namespace e2e
