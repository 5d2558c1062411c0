#include "win_support.h"

#include <cwctype>
#include <stdexcept>

#include "images.h"

namespace partlink_test {
namespace {

const wchar_t kRecordKey[] = L"SOFTWARE\\Norvane\\ZRV_PARTLINK";
const wchar_t* const kRecordValues[] = {L"DRV", L"DRV3"};

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring Upper(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towupper(c));
  return s;
}

// The current environment with the extra variables set (replacing any of the
// same name), as a block for CreateProcessW.
std::vector<wchar_t> EnvironmentBlock(const Environment& extra) {
  std::vector<std::wstring> entries;
  if (wchar_t* block = ::GetEnvironmentStringsW()) {
    for (const wchar_t* p = block; *p != L'\0'; p += wcslen(p) + 1) entries.emplace_back(p);
    ::FreeEnvironmentStringsW(block);
  }
  for (const auto& var : extra) {
    const std::wstring prefix = Upper(var.first) + L"=";
    std::vector<std::wstring> kept;
    for (const std::wstring& e : entries) {
      if (Upper(e.substr(0, prefix.size())) != prefix) kept.push_back(e);
    }
    kept.push_back(var.first + L"=" + var.second);
    entries.swap(kept);
  }
  std::vector<wchar_t> out;
  for (const std::wstring& e : entries) {
    out.insert(out.end(), e.begin(), e.end());
    out.push_back(L'\0');
  }
  out.push_back(L'\0');
  return out;
}

}  // namespace

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path);
  return p.substr(0, p.find_last_of(L'\\'));
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

TempDir::TempDir() {
  static unsigned counter = 0;
  wchar_t base[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, base);
  path_ = std::wstring(base) + L"partlink-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter) + L"-" + std::to_wstring(::GetTickCount());
  if (!::CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW((path_ + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring file = path_ + L"\\" + name;
      ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(file.c_str());
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(path_.c_str());
}

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open a test file");
  LARGE_INTEGER size;
  ::GetFileSizeEx(file, &size);
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  DWORD done = 0;
  const BOOL ok = bytes.empty() || ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  ::CloseHandle(file);
  if (!ok || done != bytes.size()) throw std::runtime_error("cannot read a test file");
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a test file");
  DWORD done = 0;
  const BOOL ok = bytes.empty() || ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  ::CloseHandle(file);
  if (!ok || done != bytes.size()) throw std::runtime_error("cannot write a test file");
}

RunResult RunProgram(const std::wstring& exe, const std::wstring& arguments, const Environment& extra) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);

  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nul;
  si.hStdOutput = writeEnd;
  si.hStdError = nul;
  PROCESS_INFORMATION pi{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::vector<wchar_t> env = EnvironmentBlock(extra);
  const BOOL started = ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT, env.data(), nullptr, &si, &pi);
  ::CloseHandle(writeEnd);
  if (nul != INVALID_HANDLE_VALUE) ::CloseHandle(nul);
  if (!started) {
    ::CloseHandle(readEnd);
    throw std::runtime_error("cannot start the program under test");
  }

  RunResult result;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got; ++i) {
      if (buffer[i] != '\r') result.out += buffer[i];
    }
  }
  ::CloseHandle(readEnd);
  if (::WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 0xDEAD);
  ::GetExitCodeProcess(pi.hProcess, &result.exitCode);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return result;
}

void DiskSet::Put(int disk, const std::string& image) {
  const std::wstring source = Widen(ImagesDir() + "\\" + image + ".img");
  if (!::CopyFileW(source.c_str(), DiskPath(disk).c_str(), FALSE)) {
    throw std::runtime_error("cannot copy image " + image);
  }
}

std::wstring DiskSet::DiskPath(int disk) const { return dir_ / (L"disk" + std::to_wstring(disk) + L".img"); }

WmiTable::WmiTable() = default;

WmiTable& WmiTable::Letter(wchar_t letter, const std::wstring& disk, const std::wstring& partitionIndex) {
  return Line(L"Win32_LogicalDiskToPartition\t\\\\PC\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"" +
              std::wstring(1, letter) + L":\"\t\\\\PC\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk #" + disk +
              L", Partition #" + partitionIndex + L"\"");
}

WmiTable& WmiTable::Drive(const std::wstring& disk, const std::wstring& deviceId) {
  return Line(L"Win32_DiskDriveToDiskPartition\t\\\\PC\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk #" + disk +
              L", Partition #0\"\t\\\\PC\\root\\cimv2:Win32_DiskDrive.DeviceID=\"" + deviceId + L"\"");
}

WmiTable& WmiTable::Line(const std::wstring& line) {
  lines_.push_back(line);
  return *this;
}

WmiTable& WmiTable::SystemOnDisk0() {
  return Letter(L'C', L"0", L"1").Drive(L"0", L"\\\\\\\\.\\\\PHYSICALDRIVE0");
}

std::wstring WmiTable::Write() const {
  std::string text;
  for (const std::wstring& line : lines_) text += Utf8(line) + "\n";
  const std::wstring path = dir_ / L"wmi.txt";
  WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
  return path;
}

Tool& Tool::With(const WmiTable& table) {
  tablePath_ = table.Write();
  return *this;
}

Tool& Tool::Env(const std::wstring& name, const std::wstring& value) {
  extra_.emplace_back(name, value);
  return *this;
}

RunResult Tool::Run(const std::wstring& arguments) const {
  Environment env = {{L"PARTLINK_DISK_IMAGES", disks_.folder()}, {L"PARTLINK_WMI_TABLE", tablePath_}};
  env.insert(env.end(), extra_.begin(), extra_.end());
  return RunProgram(ExeFolder() + L"\\partlink_testbuild.exe", arguments, env);
}

LetterGuard::LetterGuard() : before_(::GetLogicalDrives()) {}

LetterGuard::~LetterGuard() {
  for (DWORD number = 3; number <= 26; ++number) {
    const DWORD bit = 1u << (number - 1);
    if ((before_ & bit) != 0) continue;
    const std::wstring device = std::wstring(1, LetterOf(number)) + L":";
    for (int i = 0; i < 8 && (::GetLogicalDrives() & bit) != 0; ++i) {
      ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, device.c_str(), nullptr);
    }
  }
}

void LetterGuard::OccupyAllFree() {
  const DWORD used = ::GetLogicalDrives();
  for (DWORD number = 3; number <= 26; ++number) {
    if ((used & (1u << (number - 1))) != 0) continue;
    const std::wstring device = std::wstring(1, LetterOf(number)) + L":";
    ::DefineDosDeviceW(DDD_RAW_TARGET_PATH, device.c_str(), L"\\Device\\PartlinkTestOccupied");
  }
}

std::wstring LetterTarget(wchar_t letter) {
  const std::wstring device = std::wstring(1, letter) + L":";
  wchar_t target[1024] = {};
  if (::QueryDosDeviceW(device.c_str(), target, 1024) == 0) return std::wstring();
  return target;
}

bool LetterInUse(wchar_t letter) { return (::GetLogicalDrives() & (1u << (letter - L'A'))) != 0; }

wchar_t LetterOf(DWORD number) { return static_cast<wchar_t>(L'A' + number - 1); }

DWORD HighestFreeNumber() {
  const DWORD used = ::GetLogicalDrives();
  for (DWORD number = 26; number >= 3; --number) {
    if ((used & (1u << (number - 1))) == 0) return number;
  }
  return 0;
}

RecordGuard::RecordGuard() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Norvane", 0, KEY_READ | KEY_WOW64_32KEY, &key) ==
      ERROR_SUCCESS) {
    parentExisted_ = true;
    ::RegCloseKey(key);
    key = nullptr;
  }
  existed_ = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, 0, KEY_READ | KEY_WRITE | KEY_WOW64_32KEY, &key) ==
             ERROR_SUCCESS;
  for (const wchar_t* value : kRecordValues) {
    saved_.emplace_back(value, existed_ ? Get(value) : std::nullopt);
    if (key != nullptr) ::RegDeleteValueW(key, value);
  }
  if (key != nullptr) ::RegCloseKey(key);
}

RecordGuard::~RecordGuard() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, 0, KEY_READ | KEY_WRITE | KEY_WOW64_32KEY, &key) ==
      ERROR_SUCCESS) {
    for (const wchar_t* value : kRecordValues) ::RegDeleteValueW(key, value);
    ::RegCloseKey(key);
  }
  if (existed_) {
    for (const auto& saved : saved_) {
      if (saved.second) Set(saved.first.c_str(), *saved.second);
    }
  } else {
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, KEY_WOW64_32KEY, 0);
    if (!parentExisted_) ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Norvane", KEY_WOW64_32KEY, 0);
  }
}

std::optional<std::wstring> RecordGuard::Get(const wchar_t* value) const {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  wchar_t buffer[256] = {};
  DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  const LSTATUS status = ::RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  std::wstring text(buffer, bytes / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

void RecordGuard::Set(const wchar_t* value, const std::wstring& text) const {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, 0, nullptr, 0, KEY_READ | KEY_WRITE | KEY_WOW64_32KEY,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the record key");
  }
  ::RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
}

}  // namespace partlink_test
