#include "test_support.h"

#include <shlobj.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>

#include "app/core/text.h"
#include "app/file_read.h"
#include "app/handles.h"
#include "gendata.h"

namespace twtest {
namespace {

std::wstring TempRoot() {
  wchar_t buffer[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, buffer);
  std::wstring root = buffer;
  if (!root.empty() && root.back() == L'\\') root.pop_back();
  return root;
}

std::mutex g_recorderMutex;
std::vector<MessageBoxRecorder::Call> g_calls;
std::vector<int> g_replies{IDOK};  // in order; the last one repeats

int RecordingHandler(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  std::lock_guard<std::mutex> lock(g_recorderMutex);
  g_calls.push_back({owner, text ? text : L"", caption ? caption : L"", type});
  const size_t n = g_calls.size() - 1;
  return g_replies[n < g_replies.size() ? n : g_replies.size() - 1];
}

// Tests run in a fresh prefix: lay the product's folders down once per test
// program, before any test logs.
struct ProductFolders {
  ProductFolders() { EnsureLogParentFolder(); }
} g_productFolders;

}  // namespace

void EnsureLogParentFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder))) {
    MakeDirs(std::wstring(folder) + L"\\Norvane\\Quillon");
  }
}

TempDir::TempDir() {
  static LONG counter = 0;
  const std::wstring root = TempRoot();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::wstring candidate = root + L"\\twtest_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                             std::to_wstring(::InterlockedIncrement(&counter));
    if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  tw::UniqueFind find(::FindFirstFileW((path + L"\\*").c_str(), &data));
  if (find) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = path + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(full.c_str());
      }
    } while (::FindNextFileW(find.get(), &data));
  }
  find.reset();
  ::RemoveDirectoryW(path.c_str());
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  MakeDirs(to);
  WIN32_FIND_DATAW data;
  tw::UniqueFind find(::FindFirstFileW((from + L"\\*").c_str(), &data));
  if (!find) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(from + L"\\" + name, to + L"\\" + name);
    } else {
      ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    }
  } while (::FindNextFileW(find.get(), &data));
}

std::string Narrow(const std::wstring& text) { return tw::ToUtf8(text); }

std::wstring SampleDeployment() { return HostPath(TW_SOURCE_DIR "/demo/deployment"); }

namespace {
constexpr wchar_t kRecoveryMarker[] = L"C:\\Recovery\\made_by_test";
}

GeneratedRecoveryDrive::GeneratedRecoveryDrive() {
  if (::GetFileAttributesW(kFolder) != INVALID_FILE_ATTRIBUTES &&
      ::GetFileAttributesW(kRecoveryMarker) == INVALID_FILE_ATTRIBUTES) {
    error_ = "C:\\Recovery exists and was not made by a test";
    return;
  }
  const gendata::Result data = gendata::Generate(gendata::Scale::Small, std::filesystem::path(L"C:\\"),
                                                 std::filesystem::path(SampleDeployment() + L"\\recovery"), true);
  if (!data.ok) {
    // Ours (or new): never leave a half-made one that a later run refuses.
    RemoveTree(kFolder);
    error_ = data.error;
    return;
  }
  WriteBytes(kRecoveryMarker, "");
  made_ = true;
}

GeneratedRecoveryDrive::~GeneratedRecoveryDrive() {
  if (made_) RemoveTree(kFolder);
}

void MakeDirs(const std::wstring& path) {
  for (size_t pos = path.find(L'\\', 3); pos != std::wstring::npos; pos = path.find(L'\\', pos + 1)) {
    ::CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
  }
  ::CreateDirectoryW(path.c_str(), nullptr);
}

static void MakeParent(const std::wstring& path) {
  size_t slash = path.rfind(L'\\');
  if (slash != std::wstring::npos) MakeDirs(path.substr(0, slash));
}

std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned state = seed * 2654435761u + 1;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  MakeParent(path);
  tw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot create file");
  DWORD written = 0;
  if (!bytes.empty() && !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    throw std::runtime_error("cannot write file");
  }
}

std::string ReadBytes(const std::wstring& path) { return tw::ReadWholeFile(path, 1ull << 30).bytes; }

void WriteTextFile(const std::wstring& path, const std::wstring& text, Encoding encoding) {
  std::string bytes;
  if (encoding == Encoding::Utf16Bom) {
    bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  } else {
    int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(n));
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  }
  WriteBytes(path, bytes);
}

void MakeSizedFile(const std::wstring& path, unsigned long long size) {
  MakeParent(path);
  tw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot create file");
  DWORD returned = 0;
  ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.get())) {
    throw std::runtime_error("cannot size file");
  }
}

ScopedHklmKey::ScopedHklmKey(std::wstring subKey) : subKey_(std::move(subKey)) {
  tw::UniqueKey key;
  existed_ = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) ==
             ERROR_SUCCESS;
  if (existed_) {
    for (DWORD i = 0;; ++i) {
      wchar_t name[16384];
      DWORD nameLength = 16384, type = 0, size = 0;
      if (::RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
      std::vector<BYTE> data(size);
      nameLength = 16384;
      ::RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, data.data(), &size);
      savedValues_.push_back({name, data});
      savedTypes_.push_back(type);
    }
  }
}

ScopedHklmKey::~ScopedHklmKey() {
  if (!existed_) {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, subKey_.c_str());  // not view-aware; try the view too
    HKEY base = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &base) == ERROR_SUCCESS) {
      ::RegDeleteTreeW(base, subKey_.c_str());
      ::RegCloseKey(base);
    }
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), KEY_WOW64_32KEY, 0);
    return;
  }
  tw::UniqueKey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS) {
    return;
  }
  // Remove every value, then put the saved ones back.
  for (;;) {
    wchar_t name[16384];
    DWORD nameLength = 16384;
    if (::RegEnumValueW(key.get(), 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (::RegDeleteValueW(key.get(), name) != ERROR_SUCCESS) break;
  }
  for (size_t i = 0; i < savedValues_.size(); ++i) {
    const auto& v = savedValues_[i];
    ::RegSetValueExW(key.get(), v.first.c_str(), 0, savedTypes_[i], v.second.data(), static_cast<DWORD>(v.second.size()));
  }
}

void ScopedHklmKey::Set(const std::wstring& name, DWORD type, const void* data, DWORD size) {
  tw::UniqueKey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create key");
  }
  ::RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

void ScopedHklmKey::SetString(const std::wstring& name, const std::wstring& value, DWORD type) {
  Set(name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void ScopedHklmKey::SetDword(const std::wstring& name, DWORD value) { Set(name, REG_DWORD, &value, sizeof(value)); }

void ScopedHklmKey::DeleteValue(const std::wstring& name) {
  tw::UniqueKey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put()) ==
      ERROR_SUCCESS) {
    ::RegDeleteValueW(key.get(), name.c_str());
  }
}

RecoveryDrive::RecoveryDrive(wchar_t letter) : key_(L"SOFTWARE\\Norvane\\TwTestRecoveryDrive") {
  tw::Settings().StorageDriveRegKey = L"SOFTWARE\\Norvane\\TwTestRecoveryDrive";
  tw::Settings().StorageDriveRegValueName = L"DRV3";
  if (letter != L'\0') key_.SetString(L"DRV3", std::wstring(1, letter) + L":");
}

MessageBoxRecorder::MessageBoxRecorder(int reply) : MessageBoxRecorder(std::vector<int>{reply}) {}

MessageBoxRecorder::MessageBoxRecorder(std::vector<int> replies) {
  {
    std::lock_guard<std::mutex> lock(g_recorderMutex);
    g_calls.clear();
    g_replies = replies.empty() ? std::vector<int>{IDOK} : std::move(replies);
  }
  previous_ = tw::SetMessageBoxHandler(&RecordingHandler);
}

MessageBoxRecorder::~MessageBoxRecorder() { tw::SetMessageBoxHandler(previous_); }

std::vector<MessageBoxRecorder::Call> MessageBoxRecorder::calls() const {
  std::lock_guard<std::mutex> lock(g_recorderMutex);
  return g_calls;
}

void PrintTo(const MessageBoxRecorder::Call& call, std::ostream* os) {
  *os << "{owner " << call.owner << ", " << ::testing::PrintToString(call.text) << ", "
      << ::testing::PrintToString(call.caption) << ", type " << call.type << "}";
}

std::vector<std::wstring> LoggedMessages(const tw::LogWatch& watch, const std::wstring& function) {
  std::vector<std::wstring> messages;
  for (const auto& entry : watch.EntriesOf(function)) messages.push_back(entry.message);
  return messages;
}

tw::UniqueWindow MakeTestWindow(const wchar_t* className, WNDPROC procedure, DWORD style, int width, int height) {
  WNDCLASSW c{};
  c.lpfnWndProc = procedure;
  c.hInstance = ::GetModuleHandleW(nullptr);
  c.lpszClassName = className;
  ::RegisterClassW(&c);  // a second registration of the same class fails and changes nothing
  return tw::UniqueWindow(::CreateWindowExW(0, className, L"", style, 0, 0, width, height, nullptr, nullptr,
                                            ::GetModuleHandleW(nullptr), nullptr));
}

std::wstring HostPath(const std::string& path) {
  std::wstring out = L"Z:";
  for (char c : path) out += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return out;
}

static void Walk(const std::wstring& root, const std::wstring& relative, std::vector<TreeFile>& out) {
  WIN32_FIND_DATAW data;
  tw::UniqueFind find(::FindFirstFileW((root + relative + L"\\*").c_str(), &data));
  if (!find) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L".." || (relative.empty() && name == L"KSVDISC.TAG")) continue;
    const std::wstring child = relative + L"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out.push_back({child + L"\\", std::string()});
      Walk(root, child, out);
    } else {
      out.push_back({child, ReadBytes(root + child)});
    }
  } while (::FindNextFileW(find.get(), &data));
}

std::vector<TreeFile> ReadTree(const std::wstring& root) {
  std::vector<TreeFile> out;
  Walk(root, L"", out);
  std::sort(out.begin(), out.end(), [](const TreeFile& a, const TreeFile& b) { return a.path < b.path; });
  return out;
}

DWORD WaitForExitCode(PROCESS_INFORMATION& pi) {
  DWORD code = 0xFFFFFFFF;
  if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(pi.hProcess, &code);
  tw::CloseProcessInfo(pi);
  return code;
}

std::wstring ExeFolder() {
  wchar_t buffer[4096] = {};
  ::GetModuleFileNameW(nullptr, buffer, 4096);
  std::wstring path = buffer;
  return path.substr(0, path.rfind(L'\\'));
}

}  // namespace twtest
