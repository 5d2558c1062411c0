// Helpers for the end-to-end tests of partlink under Wine: running the test
// build as a child process, disk image sets, WMI association tables, and
// guards that restore drive letters and the registry record.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "images.h"

namespace partlink_test {

std::wstring ExeFolder();

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);

struct RunResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out;  // standard output, CR LF read as LF
  bool Contains(const std::string& text) const { return out.find(text) != std::string::npos; }
  // Success when the run exited with the code and printed every one of the
  // texts; a failure says what differed and shows the output.
  ::testing::AssertionResult Exited(DWORD code, const std::vector<std::string>& texts = {}) const;
};

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

// Runs a program with the arguments (a command-line tail) and extra
// environment variables, waiting at most a minute.
RunResult RunProgram(const std::wstring& exe, const std::wstring& arguments, const Environment& extra = {});

// The disks of one test: disk n is "disk<n>.img" in a fresh folder below
// the temporary folder, a copy of an image made by sfdisk or sgdisk. The
// folder goes with its files.
class DiskSet {
 public:
  // Copies images/<image>.img as each disk number given.
  DiskSet(std::initializer_list<std::pair<int, const char*>> images = {});
  ~DiskSet();
  DiskSet(const DiskSet&) = delete;
  DiskSet& operator=(const DiskSet&) = delete;
  void Put(int disk, const std::string& image);
  const std::wstring& folder() const { return folder_; }
  std::wstring File(const std::wstring& name) const { return folder_ + L"\\" + name; }
  std::wstring DiskPath(int disk) const { return File(L"disk" + std::to_wstring(disk) + L".img"); }

 private:
  std::wstring folder_;
};

// A table of WMI associations for the test build.
class WmiTable {
 public:
  // Win32_LogicalDiskToPartition: letter -> "Disk #disk, Partition #index".
  WmiTable& Letter(wchar_t letter, const std::wstring& disk, const std::wstring& partitionIndex);
  // Win32_DiskDriveToDiskPartition: "Disk #disk, Partition #0" -> device.
  WmiTable& Drive(const std::wstring& disk, const std::wstring& deviceId);
  // A raw line (class, Dependent, Antecedent, or a fail line).
  WmiTable& Line(const std::wstring& line);
  // The usual system: drive C on disk 0, which is PHYSICALDRIVE0.
  WmiTable& SystemOnDisk0();
  void Write(const std::wstring& path) const;

 private:
  std::vector<std::wstring> lines_;
};

// Runs the test build of partlink on the disks; WMI answers come from the
// table when one is given, otherwise from the system.
RunResult RunTool(const DiskSet& disks, const std::wstring& arguments, const WmiTable* table = nullptr,
                  const Environment& extra = {});

// Disk 0 made from an image, and a WMI table that starts with the usual
// system's associations unless told otherwise.
struct SystemDisk {
  explicit SystemDisk(const char* image, bool usualSystem = true) : disks{{0, image}} {
    if (usualSystem) table.SystemOnDisk0();
  }
  RunResult Run(const std::wstring& arguments, const Environment& extra = {}) const {
    return RunTool(disks, arguments, &table, extra);
  }
  std::vector<uint8_t> Disk0() const { return ReadBytes(disks.DiskPath(0)); }

  DiskSet disks;
  WmiTable table;
};

// Removes, when destroyed, every drive letter defined after it was made, and
// can occupy letters for a test.
class LetterGuard {
 public:
  LetterGuard() : before_(::GetLogicalDrives()) {}
  ~LetterGuard();
  LetterGuard(const LetterGuard&) = delete;
  LetterGuard& operator=(const LetterGuard&) = delete;
  // Defines every free letter from C to Z.
  void OccupyAllFree();

 private:
  DWORD before_;
};

// Target of a letter's DOS device definition, or empty.
std::wstring LetterTarget(wchar_t letter);
bool LetterInUse(wchar_t letter);
// Letter of a drive number (1 = A).
inline wchar_t LetterOf(DWORD number) { return static_cast<wchar_t>(L'A' + number - 1); }
// Drive number of the highest free letter from Z down to C (0 when none).
DWORD HighestFreeNumber();

// The record key "SOFTWARE\Norvane\ZRV_PARTLINK" (32-bit view): its values
// "DRV" and "DRV3" are removed for the test and restored afterwards.
class RecordGuard {
 public:
  RecordGuard();
  ~RecordGuard();
  RecordGuard(const RecordGuard&) = delete;
  RecordGuard& operator=(const RecordGuard&) = delete;
  // A REG_SZ value of the key, or nothing.
  std::optional<std::wstring> Get(const wchar_t* value) const;
  void Set(const wchar_t* value, const std::wstring& text) const;

 private:
  bool existed_ = false;
  bool parentExisted_ = false;
  std::vector<std::pair<const wchar_t*, std::optional<std::wstring>>> saved_;
};

}  // namespace partlink_test
