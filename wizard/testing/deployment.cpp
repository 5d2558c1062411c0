#include "deployment.h"

#include <algorithm>

#include "app/core/text.h"

namespace twtest {

namespace {

std::wstring StandinFile(const wchar_t* name) { return HostPath(TW_STANDIN_DIR) + L"\\" + name; }

void WriteIni(const std::wstring& path, const wchar_t* section, const wchar_t* key, const std::wstring& value) {
  ::WritePrivateProfileStringW(section, key, value.c_str(), path.c_str());
}

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

WizardDeployment::WizardDeployment() {
  jobFilesBefore_ = JobFilesInTemp();
  program_ = root_.path() + L"\\Tarnwright";
  product_ = root_.path() + L"\\Kilnspar";
  CopyTree(SampleDeployment() + L"\\program", program_);
  if (!::CopyFileW(HostPath(TW_TEST_BUILD_EXE).c_str(), Exe().c_str(), FALSE) ||
      !::CopyFileW(StandinFile(L"QLNCmnDlg.dll").c_str(), (program_ + L"\\QLNCmnDlg.dll").c_str(), FALSE)) {
    error_ = "the wizard or the dialog library could not be copied";
    return;
  }
  MakeDirs(product_);
  // A blank disc: whatever an earlier test left in the drive goes.
  RemoveTree(Disc());
  MakeDirs(Disc());
  WriteBytes(Disc() + L"\\KSVDISC.TAG", "");
  for (const wchar_t* name : {L"KSCORE.exe", L"KSIF.dll"}) {
    ::CopyFileW(StandinFile(name).c_str(), (product_ + L"\\" + name).c_str(), FALSE);
  }
  SetDrives(L"E", L"101,102,201");
  WriteIni(product_ + L"\\KSCORE.ini", L"Drives", L"E", Disc());
  // An ISO disc's sectors: the engine writes the image there, and the
  // wizard's test build reads drive E: raw from there (Wine reads no
  // sectors of a drive whose disc is a folder).
  ::DeleteFileW(RawDisc().c_str());
  WriteIni(product_ + L"\\KSCORE.ini", L"RawImages", L"E", RawDisc());
  SetRawDrive(true);
  WriteIni(product_ + L"\\KSCORE.ini", L"Capacity", L"DVD_1", L"16");
  WriteIni(product_ + L"\\KSCORE.ini", L"Capacity", L"BD_1", L"64");
  SetAttentionAnswer(1);
  SetPower(true);

  burnKey_ = std::make_unique<ScopedHklmKey>(L"SOFTWARE\\Norvane\\Kilnspar");
  burnKey_->SetString(L"InstFolder", product_);
  backupKey_ = std::make_unique<ScopedHklmKey>(L"SOFTWARE\\Norvane\\Quillon");
  backupKey_->SetString(L"InstFolder", root_.path());
  driveKey_ = std::make_unique<ScopedHklmKey>(L"SOFTWARE\\Norvane\\ZRV_PARTLINK");
  driveKey_->SetString(L"DRV3", L"C");
  recovery_ = std::make_unique<GeneratedRecoveryDrive>();
  error_ = recovery_->error();
}

WizardDeployment::~WizardDeployment() {
  for (const std::wstring& name : TemporaryJobFiles()) ::DeleteFileW((TempFolder() + name).c_str());
}

void WizardDeployment::SetAction(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
  WriteIni(program_ + L"\\Tarnwright_Act.ini", section, key, value);
}

void WizardDeployment::SetEngine(const wchar_t* key, const std::wstring& value) const {
  WriteIni(product_ + L"\\KSCORE.ini", L"Test", key, value);
}

void WizardDeployment::ClearEngineTests() const {
  const std::wstring ini = product_ + L"\\KSCORE.ini";
  ::WritePrivateProfileStringW(L"Test", nullptr, nullptr, ini.c_str());
  ::WritePrivateProfileStringW(L"State", nullptr, nullptr, ini.c_str());
}

void WizardDeployment::SetDrives(const std::wstring& drives, const std::wstring& codes) const {
  const std::wstring ini = product_ + L"\\KSIF.ini";
  WriteIni(ini, L"GetOddsList", L"Result", L"0");
  WriteIni(ini, L"GetOddsList", L"Drives", drives);
  for (const std::wstring& letter : {std::wstring(L"E"), std::wstring(L"F")}) {
    const std::wstring section = L"Drive " + letter;
    WriteIni(ini, section.c_str(), L"Name", L"Virtual writer " + letter);
    WriteIni(ini, section.c_str(), L"Codes", codes);
  }
}

void WizardDeployment::SetRawDrive(bool readable) const {
  WriteIni(program_ + L"\\TestBuild.ini", L"RawDrives", L"E", readable ? RawDisc() : std::wstring());
}

void WizardDeployment::SetAttentionAnswer(int answer) const {
  WriteIni(program_ + L"\\QLNCmnDlg.ini", L"AttentionToDiscFormat", L"Answer", tw::Dec(static_cast<uint64_t>(answer)));
}

void WizardDeployment::SetPower(bool mains) const {
  WriteIni(program_ + L"\\TestPower.ini", L"Power", L"ACLineStatus", mains ? L"1" : L"0");
}

void WizardDeployment::SetHighContrast(bool on) const {
  WriteIni(program_ + L"\\TestDisplay.ini", L"Display", L"HighContrast", on ? L"1" : L"0");
}

bool WizardDeployment::KeepAwakeHeld() const {
  return ::GetPrivateProfileIntW(L"Power", L"KeepAwake", 0, (program_ + L"\\TestPower.ini").c_str()) == 1;
}

void WizardDeployment::Remove(const std::wstring& fileInProgram) const {
  ::DeleteFileW((program_ + L"\\" + fileInProgram).c_str());
}

std::vector<std::wstring> WizardDeployment::Markers() const { return FileNames(L"C:\\Recovery\\Done\\*.flg"); }

unsigned WizardDeployment::EngineRuns() const {
  return ::GetPrivateProfileIntW(L"LastRun", L"Runs", 0, (product_ + L"\\KSCORE.ini").c_str());
}

std::wstring WizardDeployment::EngineState(const wchar_t* key) const {
  wchar_t value[MAX_PATH * 2] = {};
  ::GetPrivateProfileStringW(L"State", key, L"", value, MAX_PATH * 2, (product_ + L"\\KSCORE.ini").c_str());
  return value;
}

std::vector<std::wstring> WizardDeployment::TemporaryJobFiles() const {
  std::vector<std::wstring> made;
  for (const std::wstring& name : JobFilesInTemp()) {
    if (!std::binary_search(jobFilesBefore_.begin(), jobFilesBefore_.end(), name)) made.push_back(name);
  }
  return made;
}

}  // namespace twtest
