// A deployment of the real wizard for end-to-end runs and the soak, laid
// out in a temporary folder of the test prefix as on a real machine: the
// program (the test build, named Tarnwright.exe) with the sample
// configuration and the common dialog library beside it, the burning
// product stand-ins with one virtual writer, the registry values of both
// products and of the recovery drive, and the generated recovery data on
// drive C:.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "test_support.h"

namespace twtest {

class WizardDeployment {
 public:
  WizardDeployment();
  ~WizardDeployment();
  WizardDeployment(const WizardDeployment&) = delete;
  WizardDeployment& operator=(const WizardDeployment&) = delete;
  const std::string& error() const { return error_; }

  // <root>\Tarnwright\Tarnwright.exe: where the backup product's install
  // folder (<root>) says the wizard lies, so another copy can be found.
  std::wstring Exe() const { return program_ + L"\\Tarnwright.exe"; }
  const std::wstring& Program() const { return program_; }
  // The burning product's install folder (KSCORE.exe, KSIF.dll).
  const std::wstring& Product() const { return product_; }
  // The folder that plays the disc in the virtual writer E: (the test
  // prefixes give drive E: this folder, so the disc reads back as E:\).
  static std::wstring Disc() { return L"C:\\tarn-drives\\E"; }
  // The sectors of an ISO disc in E: (its image, as the engine wrote it).
  static std::wstring RawDisc() { return L"C:\\tarn-drives\\E.raw"; }

  // Settings of the configuration files and stand-ins (8-bit INI files).
  void SetAction(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;
  void SetEngine(const wchar_t* key, const std::wstring& value) const;  // KSCORE.ini [Test]
  // Back to an engine that just works: no [Test] keys, no planned failure made.
  void ClearEngineTests() const;
  void SetDrives(const std::wstring& drives, const std::wstring& codes) const;
  void SetAttentionAnswer(int answer) const;
  // Whether the wizard can read drive E: raw (from RawDisc()); without, an
  // ISO disc cannot be read back, as under Wine.
  void SetRawDrive(bool readable) const;
  void SetPower(bool mains) const;
  // The test build's high-contrast seam (TestDisplay.ini).
  void SetHighContrast(bool on) const;
  bool KeepAwakeHeld() const;  // as the test build records it
  void Remove(const std::wstring& fileInProgram) const;

  // Marker files of made discs, sorted by name.
  std::vector<std::wstring> Markers() const;
  // The engine's runs so far.
  unsigned EngineRuns() const;
  // What the engine recorded in KSCORE.ini [State] (e.g. SpoiledFile).
  std::wstring EngineState(const wchar_t* key) const;
  // Job files ("TWR*.tmp" in the temporary folder) made since the
  // deployment was laid out; removed with it.
  std::vector<std::wstring> TemporaryJobFiles() const;

 private:
  TempDir root_;
  std::wstring program_;
  std::wstring product_;
  std::unique_ptr<GeneratedRecoveryDrive> recovery_;
  std::unique_ptr<ScopedHklmKey> burnKey_, backupKey_, driveKey_;
  std::vector<std::wstring> jobFilesBefore_;
  std::string error_;
};

}  // namespace twtest
