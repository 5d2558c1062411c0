// Helpers for the wizard's tests under Wine: temporary folders, registry
// keys and files that are removed again, and a recorder for message boxes.
#pragma once

#include <windows.h>

#include <iosfwd>
#include <string>
#include <vector>

#include "app/handles.h"
#include "app/log_reader.h"
#include "app/msgbox.h"
#include "app/settings.h"

namespace twtest {

// A fresh folder below the temporary folder, removed with its content.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& path);
void MakeDirs(const std::wstring& path);
// Copies a folder with everything in it (creating `to`).
void CopyTree(const std::wstring& from, const std::wstring& to);

// The sample deployment of the repository, as the prefix's drive Z: shows it.
std::wstring SampleDeployment();

// The small generated recovery data at the root of drive C: (a folder cannot
// be given a drive letter of its own from inside a test), so that "?:\"
// paths with the letter C find it. "C:\Recovery" is removed again
// afterwards, and left alone when it was not made by a test.
class GeneratedRecoveryDrive {
 public:
  GeneratedRecoveryDrive();
  ~GeneratedRecoveryDrive();
  GeneratedRecoveryDrive(const GeneratedRecoveryDrive&) = delete;
  GeneratedRecoveryDrive& operator=(const GeneratedRecoveryDrive&) = delete;
  const std::string& error() const { return error_; }
  static constexpr wchar_t kFolder[] = L"C:\\Recovery";

 private:
  bool made_ = false;
  std::string error_;
};

enum class Encoding { Ansi, Utf16Bom };
// Writes text to a file (creating parent folders); Ansi uses the ANSI code page.
void WriteTextFile(const std::wstring& path, const std::wstring& text, Encoding encoding = Encoding::Utf16Bom);
void WriteBytes(const std::wstring& path, const std::string& bytes);
// Bytes that differ from seed to seed and along the way (a simple generator).
std::string PatternBytes(size_t size, unsigned seed);
std::string ReadBytes(const std::wstring& path);
// A file of the given size; sparse, so large sizes cost no disk.
void MakeSizedFile(const std::wstring& path, unsigned long long size);

// A key below HKLM in the 32-bit view: remembers whether it existed and
// restores that state (deleting what the test created) when destroyed.
class ScopedHklmKey {
 public:
  explicit ScopedHklmKey(std::wstring subKey);
  ~ScopedHklmKey();
  ScopedHklmKey(const ScopedHklmKey&) = delete;
  ScopedHklmKey& operator=(const ScopedHklmKey&) = delete;
  void SetString(const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ);
  void SetDword(const std::wstring& name, DWORD value);
  void DeleteValue(const std::wstring& name);

 private:
  void Set(const std::wstring& name, DWORD type, const void* data, DWORD size);
  std::wstring subKey_;
  bool existed_ = false;
  std::vector<std::pair<std::wstring, std::vector<BYTE>>> savedValues_;
  std::vector<DWORD> savedTypes_;
};

// Answers every message box with a fixed reply and records what was asked.
class MessageBoxRecorder {
 public:
  struct Call {
    HWND owner;
    std::wstring text, caption;
    UINT type;
    bool operator==(const Call& o) const {
      return owner == o.owner && text == o.text && caption == o.caption && type == o.type;
    }
  };
  explicit MessageBoxRecorder(int reply = IDOK);
  // Answers the boxes with the replies in order; the last one repeats.
  explicit MessageBoxRecorder(std::vector<int> replies);
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
  std::vector<Call> calls() const;

 private:
  tw::MessageBoxHandler previous_;
};
void PrintTo(const MessageBoxRecorder::Call& call, std::ostream* os);

// The messages of the entries `watch` saw logged under `function`, oldest first.
std::vector<std::wstring> LoggedMessages(const tw::LogWatch& watch, const std::wstring& function);

// The backup product creates Norvane\Quillon below the common application
// data folder, and the log adds only its own last level below it. Test
// programs (and benchmarks) call this so that logging works in a fresh prefix.
void EnsureLogParentFolder();

// A top-level window of a class of the test's own (registered on first use)
// on the calling thread, destroyed with its owner.
tw::UniqueWindow MakeTestWindow(const wchar_t* className, WNDPROC procedure, DWORD style = WS_OVERLAPPED,
                                int width = 10, int height = 10);

// UTF-8 of a text, for test messages.
std::string Narrow(const std::wstring& text);

// Folder of the running test executable.
std::wstring ExeFolder();

// A host path ("/a/b") as the Wine prefix's drive Z: shows it ("Z:\a\b").
std::wstring HostPath(const std::string& path);
#ifdef TW_STANDIN_DIR
// The build folder of the stand-ins for the outside components.
inline std::wstring StandinDir() { return HostPath(TW_STANDIN_DIR); }
#endif

// Files below `root` as "\relative\path" with their bytes and folders as
// "\relative\" with none, sorted by path; the virtual-disc marker that the
// engine stand-in keeps at the top (KSVDISC.TAG) is left out.
struct TreeFile {
  std::wstring path;
  std::string bytes;
  bool operator==(const TreeFile& o) const { return path == o.path && bytes == o.bytes; }
};
std::vector<TreeFile> ReadTree(const std::wstring& root);

// Waits up to a minute for the process to end, closes both handles and
// gives its exit code (0xFFFFFFFF when it did not end).
DWORD WaitForExitCode(PROCESS_INFORMATION& pi);

// Restores the process-wide settings a test changes.
class SettingsGuard {
 public:
  SettingsGuard() : saved_(tw::Settings()) {}
  ~SettingsGuard() { tw::Settings() = saved_; }
  SettingsGuard(const SettingsGuard&) = delete;
  SettingsGuard& operator=(const SettingsGuard&) = delete;

 private:
  tw::ProcessSettings saved_;
};

// Points the recovery-data drive lookup of tw::Settings() at a test key
// holding "<letter>:" (no value at all for letter 0); the settings and the
// key are restored afterwards.
class RecoveryDrive {
 public:
  explicit RecoveryDrive(wchar_t letter);

 private:
  SettingsGuard settings_;
  ScopedHklmKey key_;
};

// A UTF-16 file beside the test executable (where the wizard looks for its
// data files), removed again.
class FileBesideExe {
 public:
  FileBesideExe(const std::wstring& name, const std::wstring& text) : path_(ExeFolder() + L"\\" + name) {
    WriteTextFile(path_, text, Encoding::Utf16Bom);
  }
  ~FileBesideExe() { ::DeleteFileW(path_.c_str()); }
  FileBesideExe(const FileBesideExe&) = delete;
  FileBesideExe& operator=(const FileBesideExe&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

}  // namespace twtest
