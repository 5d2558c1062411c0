#include "win_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "app/handles.h"

namespace partlink_test {
namespace {

using partlink::UniqueFile;
using partlink::UniqueHandle;
using partlink::UniqueKey;

const wchar_t kRecordKey[] = L"SOFTWARE\\Norvane\\ZRV_PARTLINK";
const wchar_t* const kRecordValues[] = {L"DRV", L"DRV3"};

bool OpenKey(const wchar_t* path, REGSAM access, UniqueKey& key) {
  return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, access | KEY_WOW64_32KEY, key.put()) == ERROR_SUCCESS;
}

std::optional<std::wstring> EnvironmentValue(const std::wstring& name) {
  wchar_t value[4096];
  const DWORD n = ::GetEnvironmentVariableW(name.c_str(), value, 4096);
  if (n == 0 || n >= 4096) return std::nullopt;
  return std::wstring(value, n);
}

std::wstring Device(wchar_t letter) { return std::wstring(1, letter) + L":"; }

}  // namespace

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring p(path);
  return p.substr(0, p.find_last_of(L'\\'));
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write a test file");
}

::testing::AssertionResult RunResult::Exited(DWORD code, const std::vector<std::string>& texts) const {
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  bool failed = exitCode != code;
  if (failed) failure << "exit code " << exitCode << ", expected " << code << "\n";
  for (const std::string& text : texts) {
    if (Contains(text)) continue;
    failed = true;
    failure << "missing \"" << text << "\"\n";
  }
  return failed ? failure << "output:\n" << out : ::testing::AssertionSuccess();
}

RunResult RunProgram(const std::wstring& exe, const std::wstring& arguments, const Environment& extra) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  UniqueHandle readEnd, writeEnd;
  if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) throw std::runtime_error("CreatePipe failed");
  ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  const UniqueFile nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                     OPEN_EXISTING, 0, nullptr));
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdError = nul.get();
  si.hStdOutput = writeEnd.get();
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;

  // The child inherits this process's environment with the extra variables
  // set; the previous values come back in reverse order, so that a name
  // given twice ends as it was.
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> previous;
  for (const auto& var : extra) {
    previous.emplace_back(var.first, EnvironmentValue(var.first));
    ::SetEnvironmentVariableW(var.first.c_str(), var.second.c_str());
  }
  PROCESS_INFORMATION pi{};
  const BOOL started =
      ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  for (auto it = previous.rbegin(); it != previous.rend(); ++it) {
    ::SetEnvironmentVariableW(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
  }
  writeEnd.reset();
  if (!started) throw std::runtime_error("cannot start the program under test");
  const UniqueHandle process(pi.hProcess), thread(pi.hThread);

  RunResult result;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(readEnd.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) result.out.append(buffer, got);
  result.out.erase(std::remove(result.out.begin(), result.out.end(), '\r'), result.out.end());
  if (::WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 0xDEAD);
  ::GetExitCodeProcess(pi.hProcess, &result.exitCode);
  return result;
}

DiskSet::DiskSet(std::initializer_list<std::pair<int, const char*>> images) {
  static unsigned counter = 0;
  const std::wstring name = L"partlink-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++counter) + L"-" + std::to_wstring(::GetTickCount());
  folder_ = (std::filesystem::temp_directory_path() / name).wstring();
  if (!::CreateDirectoryW(folder_.c_str(), nullptr)) throw std::runtime_error("cannot create a temporary folder");
  for (const auto& image : images) Put(image.first, image.second);
}

DiskSet::~DiskSet() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void DiskSet::Put(int disk, const std::string& image) {
  const std::filesystem::path source = std::filesystem::path(ImagesDir()) / (image + ".img");
  if (!::CopyFileW(source.c_str(), DiskPath(disk).c_str(), FALSE)) {
    throw std::runtime_error("cannot copy image " + image);
  }
}

WmiTable& WmiTable::Letter(wchar_t letter, const std::wstring& disk, const std::wstring& partitionIndex) {
  return Line(L"Win32_LogicalDiskToPartition\t\\\\PC\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"" + Device(letter) +
              L"\"\t\\\\PC\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk #" + disk + L", Partition #" +
              partitionIndex + L"\"");
}

WmiTable& WmiTable::Drive(const std::wstring& disk, const std::wstring& deviceId) {
  return Line(L"Win32_DiskDriveToDiskPartition\t\\\\PC\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk #" + disk +
              L", Partition #0\"\t\\\\PC\\root\\cimv2:Win32_DiskDrive.DeviceID=\"" + deviceId + L"\"");
}

WmiTable& WmiTable::Line(const std::wstring& line) {
  lines_.push_back(line);
  return *this;
}

WmiTable& WmiTable::SystemOnDisk0() { return Letter(L'C', L"0", L"1").Drive(L"0", L"\\\\\\\\.\\\\PHYSICALDRIVE0"); }

void WmiTable::Write(const std::wstring& path) const {
  std::wstring text;
  for (const std::wstring& line : lines_) text += line + L"\n";
  // UTF-8, as the test build reads it.
  std::string utf8(text.size() * 3, '\0');
  utf8.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                        &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
  WriteBytes(path, std::vector<uint8_t>(utf8.begin(), utf8.end()));
}

RunResult RunTool(const DiskSet& disks, const std::wstring& arguments, const WmiTable* table,
                  const Environment& extra) {
  const std::wstring tablePath = table != nullptr ? disks.File(L"wmi.txt") : std::wstring();
  if (table != nullptr) table->Write(tablePath);
  Environment env = {{L"PARTLINK_DISK_IMAGES", disks.folder()}, {L"PARTLINK_WMI_TABLE", tablePath}};
  env.insert(env.end(), extra.begin(), extra.end());
  return RunProgram(ExeFolder() + L"\\partlink_testbuild.exe", arguments, env);
}

LetterGuard::~LetterGuard() {
  for (DWORD number = 3; number <= 26; ++number) {
    const DWORD bit = 1u << (number - 1);
    if ((before_ & bit) != 0) continue;
    for (int i = 0; i < 8 && (::GetLogicalDrives() & bit) != 0; ++i) {
      ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, Device(LetterOf(number)).c_str(), nullptr);
    }
  }
}

void LetterGuard::OccupyAllFree() {
  const DWORD used = ::GetLogicalDrives();
  for (DWORD number = 3; number <= 26; ++number) {
    if ((used & (1u << (number - 1))) != 0) continue;
    ::DefineDosDeviceW(DDD_RAW_TARGET_PATH, Device(LetterOf(number)).c_str(), L"\\Device\\PartlinkTestOccupied");
  }
}

std::wstring LetterTarget(wchar_t letter) {
  wchar_t target[1024] = {};
  if (::QueryDosDeviceW(Device(letter).c_str(), target, 1024) == 0) return std::wstring();
  return target;
}

bool LetterInUse(wchar_t letter) { return (::GetLogicalDrives() & (1u << (letter - L'A'))) != 0; }

DWORD HighestFreeNumber() {
  const DWORD used = ::GetLogicalDrives();
  for (DWORD number = 26; number >= 3; --number) {
    if ((used & (1u << (number - 1))) == 0) return number;
  }
  return 0;
}

RecordGuard::RecordGuard() {
  UniqueKey parent, key;
  parentExisted_ = OpenKey(L"SOFTWARE\\Norvane", KEY_READ, parent);
  existed_ = OpenKey(kRecordKey, KEY_READ | KEY_WRITE, key);
  for (const wchar_t* value : kRecordValues) {
    saved_.emplace_back(value, Get(value));
    if (existed_) ::RegDeleteValueW(key.get(), value);
  }
}

RecordGuard::~RecordGuard() {
  UniqueKey key;
  if (OpenKey(kRecordKey, KEY_WRITE, key)) {
    for (const wchar_t* value : kRecordValues) ::RegDeleteValueW(key.get(), value);
  }
  if (existed_) {
    for (const auto& saved : saved_) {
      if (saved.second) Set(saved.first, *saved.second);
    }
  } else {
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, KEY_WOW64_32KEY, 0);
    if (!parentExisted_) ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Norvane", KEY_WOW64_32KEY, 0);
  }
}

std::optional<std::wstring> RecordGuard::Get(const wchar_t* value) const {
  UniqueKey key;
  wchar_t buffer[256] = {};
  DWORD bytes = sizeof(buffer);
  if (!OpenKey(kRecordKey, KEY_READ, key) ||
      ::RegGetValueW(key.get(), nullptr, value, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buffer);
}

void RecordGuard::Set(const wchar_t* value, const std::wstring& text) const {
  UniqueKey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the record key");
  }
  ::RegSetValueExW(key.get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace partlink_test
