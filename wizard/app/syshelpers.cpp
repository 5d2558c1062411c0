#include "syshelpers.h"

#include <memory>
#include <vector>

#include "core/number_list.h"
#include "core/text.h"
#include "format.h"
#include "handles.h"
#include "log.h"
#include "settings.h"

namespace {

constexpr wchar_t kQuillonKey[] = L"Software\\Norvane\\Quillon";
constexpr DWORD kPathChars = MAX_PATH + 1;  // 261

struct HeapFreer {
  void operator()(void* p) const { ::HeapFree(::GetProcessHeap(), 0, p); }
};
struct SidFreer {
  void operator()(void* p) const { ::FreeSid(p); }
};

std::wstring LastErrorText() { return tw::Hex8(::GetLastError()); }

}  // namespace

namespace tw {
bool IsExistingFile(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
bool IsExistingFolder(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace tw

namespace Norvane {
namespace DeskKit {
namespace Common {

bool ActivateTargetWindow(HWND target) {
  constexpr wchar_t kFn[] = L"Norvane::DeskKit::Common::ActivateTargetWindow";
  HWND foreground = ::GetForegroundWindow();
  if (!foreground) {
    TW_LOG(kFn, L"");
    return false;
  }
  if (foreground == target) return true;
  const DWORD ownThread = ::GetCurrentThreadId();
  const DWORD foregroundThread = ::GetWindowThreadProcessId(foreground, nullptr);
  const bool attach = foregroundThread != ownThread;
  if (attach && !::AttachThreadInput(ownThread, foregroundThread, TRUE)) {
    TW_LOG(kFn, LastErrorText());
    return false;
  }
  if (!::SetForegroundWindow(target)) {
    TW_LOG(kFn, LastErrorText());
    if (attach) ::AttachThreadInput(ownThread, foregroundThread, FALSE);
    return false;
  }
  ::SetActiveWindow(target);
  if (attach && !::AttachThreadInput(ownThread, foregroundThread, FALSE)) {
    TW_LOG(kFn, LastErrorText());
    return false;
  }
  return true;
}

uint64_t MyGetFileSizeEx(const wchar_t* path) {
  constexpr wchar_t kFn[] = L"Norvane::DeskKit::Common::MyGetFileSizeEx";
  const std::wstring name = path ? path : L"";
  tw::UniqueFile file(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), name));
    return 0;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), name));
    return 0;
  }
  return static_cast<uint64_t>(size.QuadPart);
}

bool IsWindowsVistaOrLater() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  info.dwMajorVersion = 6;
  info.dwMinorVersion = 0;
  info.wServicePackMajor = 0;
  info.wServicePackMinor = 0;
  DWORDLONG mask = 0;
  mask = ::VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = ::VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  mask = ::VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  mask = ::VerSetConditionMask(mask, VER_SERVICEPACKMINOR, VER_GREATER_EQUAL);
  const BOOL ok = ::VerifyVersionInfoW(
      &info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR | VER_SERVICEPACKMINOR, mask);
  if (!ok) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_OLD_WIN_VERSION) TW_LOG(L"Norvane::DeskKit::Common::IsWindowsVistaOrLater", tw::Hex8(error));
  }
  return ok != FALSE;
}

bool IsRunningAsAdministratorOnVistaOrLater() {
  constexpr wchar_t kFn[] = L"Norvane::DeskKit::Common::IsRunningAsAdministratorOnVistaOrLater";
  tw::UniqueHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
    TW_LOG(kFn, LastErrorText());
    return false;
  }
  DWORD needed = 0;
  if (::GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &needed) ||
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    TW_LOG(kFn, LastErrorText());
    return false;
  }
  std::unique_ptr<void, HeapFreer> buffer(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, needed));
  if (!buffer) {
    TW_LOG(kFn, LastErrorText());
    return false;
  }
  if (!::GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.get(), needed, &needed)) {
    TW_LOG(kFn, LastErrorText());
    return false;
  }
  PSID sid = static_cast<TOKEN_MANDATORY_LABEL*>(buffer.get())->Label.Sid;
  return ::IsWellKnownSid(sid, WinHighLabelSid) || ::IsWellKnownSid(sid, WinSystemLabelSid);
}

bool IsRunningAsAdministratorOnXP() {
  constexpr wchar_t kFn[] = L"Norvane::DeskKit::Common::IsRunningAsAdministratorOnXP";
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID raw = nullptr;
  if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                  0, 0, 0, 0, &raw)) {
    TW_LOG(kFn, LastErrorText());
    return false;
  }
  std::unique_ptr<void, SidFreer> admins(raw);
  BOOL member = FALSE;
  if (!::CheckTokenMembership(nullptr, admins.get(), &member)) {
    TW_LOG(kFn, LastErrorText());
    return false;
  }
  return member != FALSE;
}

}  // namespace Common
}  // namespace DeskKit
}  // namespace Norvane

DWORD GetModuleFolderPath(HMODULE module, wchar_t* folder) {
  constexpr wchar_t kFn[] = L"GetModuleFolderPath";
  if (!folder) return ERROR_INVALID_PARAMETER;
  std::vector<wchar_t> name(100);
  DWORD n = 0;
  for (;;) {
    n = ::GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) {
      const DWORD error = ::GetLastError();
      TW_LOG(kFn, tw::Hex8(error));
      return error;
    }
    // A name that fills the buffer was cut off (and may lack its terminator).
    if (n < name.size()) break;
    name.resize(name.size() + 100);
  }
  std::wstring path(name.data(), n);
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) {
    TW_LOG(kFn, path);
    return ERROR_INVALID_NAME;  // 123
  }
  path.resize(slash);
  if (path.size() > MAX_PATH) {
    TW_LOG(kFn, path);
    return ERROR_INSUFFICIENT_BUFFER;  // 122
  }
  std::copy(path.begin(), path.end(), folder);
  folder[path.size()] = L'\0';
  return 0;
}

bool GetIniString(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key, wchar_t* out,
                  const wchar_t* defaultValue, DWORD* size) {
  constexpr wchar_t kFn[] = L"GetIniString";
  if (!size || !iniPath || !tw::IsExistingFile(iniPath)) {
    TW_LOG(kFn, iniPath ? iniPath : L"");
    return false;
  }
  // Grow the buffer while the returned length says the value was cut off.
  const DWORD cutOffMargin = (section && key) ? 1 : 2;
  std::vector<wchar_t> buffer(100);
  DWORD length = 0;
  for (;;) {
    std::fill(buffer.begin(), buffer.end(), L'\0');
    const DWORD offered = static_cast<DWORD>(buffer.size() - 1);
    length = ::GetPrivateProfileStringW(section, key, defaultValue ? defaultValue : L"", buffer.data(), offered,
                                        iniPath);
    if (length != offered - cutOffMargin) break;
    buffer.resize(buffer.size() + 100);
  }
  const DWORD needed = length + 1;
  if (out) {
    if (*size < needed) {
      TW_LOG(kFn, tw::Hex8Pair(*size, needed));
      *size = needed;
      return false;
    }
    // Section or key lists are NUL-separated: copy them whole.
    std::copy(buffer.begin(), buffer.begin() + needed, out);
  }
  *size = needed;
  return true;
}

bool SplitNumberList(int32_t* out, const wchar_t* text, uint32_t* count) {
  constexpr wchar_t kFn[] = L"SplitNumberList";
  if (!text || !count) {
    TW_LOG(kFn, L"");
    return false;
  }
  const tw::NumberListResult parsed = tw::ParseNumberList(text);
  for (const auto& piece : parsed.tooLong) TW_LOG(kFn, piece);
  if (out) {
    if (parsed.numbers.size() > *count) {
      TW_LOG(kFn, tw::Hex8Pair(*count, static_cast<uint32_t>(parsed.numbers.size())));
      return false;
    }
    std::copy(parsed.numbers.begin(), parsed.numbers.end(), out);
  }
  *count = static_cast<uint32_t>(parsed.numbers.size());
  return true;
}

uint64_t GetWritableDiscSize(int32_t discType) {
  switch (discType) {
    case 0:
      return static_cast<uint64_t>(tw::Settings().Dvd1SizeMiB) << 20;
    case 1:
      return static_cast<uint64_t>(tw::Settings().Bd1SizeMiB) << 20;
    default:
      TW_LOG(L"GetWritableDiscSize", tw::Hex8(static_cast<uint32_t>(discType)));
      return 0;
  }
}

bool GetBkupAppInstFolderPath(std::wstring* out) {
  constexpr wchar_t kFn[] = L"GetBkupAppInstFolderPath";
  if (!out) {
    TW_LOG(kFn, L"");
    return false;
  }
  tw::UniqueKey key;
  LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kQuillonKey, 0, nullptr, 0, KEY_READ | KEY_WOW64_32KEY,
                                     nullptr, key.put(), nullptr);
  if (status != ERROR_SUCCESS) {
    TW_LOG(kFn, tw::Hex8With(static_cast<uint32_t>(status), kQuillonKey));
    return false;
  }
  wchar_t value[kPathChars + 1] = {};  // one spare unit keeps the text terminated
  DWORD bytes = kPathChars * sizeof(wchar_t);
  DWORD type = 0;
  status = ::RegQueryValueExW(key.get(), L"InstFolder", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
  if (status != ERROR_SUCCESS || type != REG_SZ || bytes == 0 || value[0] == L'\0') {
    TW_LOG(kFn, tw::Hex8Pair(static_cast<uint32_t>(status), type));
    return false;
  }
  *out = value;
  return true;
}

bool GetTargetFilePathInLangFolder(const std::wstring& languageIniPath, std::wstring* out, const wchar_t* fileName,
                                   const wchar_t* subFolder) {
  constexpr wchar_t kFn[] = L"GetTargetFilePathInLangFolder";
  if (!out || !fileName || !tw::IsExistingFile(languageIniPath)) {
    TW_LOG(kFn, languageIniPath);
    return false;
  }
  const size_t slash = languageIniPath.rfind(L'\\');
  const std::wstring base = slash == std::wstring::npos ? std::wstring() : languageIniPath.substr(0, slash);
  const std::wstring sections[] = {tw::Fmt(L"0x%04x", ::GetUserDefaultUILanguage()), L"Default"};
  for (const auto& section : sections) {
    wchar_t folder[kPathChars] = {};
    ::GetPrivateProfileStringW(section.c_str(), L"Folder", L"", folder, kPathChars, languageIniPath.c_str());
    const std::wstring languageFolder = tw::WithoutTrailingBackslash(folder);
    std::wstring candidate = base + L"\\";
    if (subFolder && *subFolder) candidate += std::wstring(subFolder) + L"\\";
    candidate += languageFolder + L"\\" + fileName;
    if (tw::IsExistingFile(candidate)) {
      *out = candidate;
      return true;
    }
  }
  return false;
}

namespace {

// The data-file lookup from the program's folder (none when it could not be
// read) on to the backup product's install folder; failures are logged
// under `fn`, the name of the public lookup.
bool LookUpDataFile(const wchar_t* fn, const std::wstring* programFolder, const wchar_t* subFolder,
                    const wchar_t* fileName, std::wstring* out) {
  if (programFolder) {
    const std::wstring direct = tw::JoinPath(*programFolder, fileName);
    if (tw::IsExistingFile(direct)) {
      *out = direct;
      return true;
    }
    const std::wstring languageIni = tw::JoinPath(*programFolder, L"Language.ini");
    if (tw::IsExistingFile(languageIni) && GetTargetFilePathInLangFolder(languageIni, out, fileName, subFolder)) {
      return true;
    }
  }
  std::wstring install;
  if (!GetBkupAppInstFolderPath(&install)) {
    tw::Log(fn, __LINE__, fileName);
    return false;
  }
  install = tw::WithoutTrailingBackslash(install);
  return GetTargetFilePathInLangFolder(tw::JoinPath(install, L"Language.ini"), out, fileName, subFolder);
}

// Looks the help page of `helpId` up through one Help.ini; the page itself
// is found by the data-file lookup from the program's folder.
bool FindHelpThrough(const std::wstring& helpIni, const std::wstring* programFolder, uint32_t helpId,
                     std::wstring* out) {
  if (!tw::IsExistingFile(helpIni)) return false;
  const std::wstring keys[] = {tw::Dec(helpId), L"Default"};
  for (const auto& key : keys) {
    wchar_t page[kPathChars] = {};
    ::GetPrivateProfileStringW(L"Help", key.c_str(), L"", page, kPathChars, helpIni.c_str());
    if (page[0] != L'\0' && LookUpDataFile(L"GetTargetFilePathInBkupApp", programFolder, L"Help", page, out)) {
      return true;
    }
  }
  return false;
}

// The help lookup through the program folder's Help.ini, then the install
// folder's; failures are logged under `fn`.
bool LookUpHelpFile(const wchar_t* fn, const std::wstring* programFolder, uint32_t helpId, std::wstring* out) {
  if (programFolder && FindHelpThrough(tw::JoinPath(*programFolder, L"Help.ini"), programFolder, helpId, out)) {
    return true;
  }
  std::wstring install;
  if (!GetBkupAppInstFolderPath(&install)) {
    tw::Log(fn, __LINE__, tw::Dec(helpId));
    return false;
  }
  install = tw::WithoutTrailingBackslash(install);
  if (FindHelpThrough(tw::JoinPath(install, L"Help.ini"), programFolder, helpId, out)) return true;
  tw::Log(fn, __LINE__, tw::Dec(helpId));
  return false;
}

}  // namespace

bool GetTargetFilePathInBkupApp(HMODULE module, const wchar_t* subFolder, const wchar_t* fileName,
                                std::wstring* out) {
  constexpr wchar_t kFn[] = L"GetTargetFilePathInBkupApp";
  if (!module || !fileName || !out) {
    TW_LOG(kFn, L"");
    return false;
  }
  wchar_t folder[kPathChars] = {};
  const std::wstring programFolder = GetModuleFolderPath(module, folder) == 0 ? folder : L"";
  return LookUpDataFile(kFn, programFolder.empty() ? nullptr : &programFolder, subFolder, fileName, out);
}

bool GetTargetFilePathInProgramFolder(const std::wstring& programFolder, const wchar_t* subFolder,
                                      const wchar_t* fileName, std::wstring* out) {
  constexpr wchar_t kFn[] = L"GetTargetFilePathInProgramFolder";
  if (programFolder.empty() || !fileName || !out) {
    TW_LOG(kFn, L"");
    return false;
  }
  return LookUpDataFile(kFn, &programFolder, subFolder, fileName, out);
}

bool GetHelpFilePathInProgramFolder(const std::wstring& programFolder, uint32_t helpId, std::wstring* out) {
  constexpr wchar_t kFn[] = L"GetHelpFilePathInProgramFolder";
  if (programFolder.empty() || !out) {
    TW_LOG(kFn, L"");
    return false;
  }
  return LookUpHelpFile(kFn, &programFolder, helpId, out);
}

bool GetHelpFilePath(uint32_t helpId, std::wstring* out) {
  constexpr wchar_t kFn[] = L"GetHelpFilePath";
  if (!out) {
    TW_LOG(kFn, L"");
    return false;
  }
  wchar_t folder[kPathChars] = {};
  const std::wstring programFolder = GetModuleFolderPath(::GetModuleHandleW(nullptr), folder) == 0 ? folder : L"";
  return LookUpHelpFile(kFn, programFolder.empty() ? nullptr : &programFolder, helpId, out);
}

bool GetHideDrvLttr(wchar_t* letter) {
  constexpr wchar_t kFn[] = L"GetHideDrvLttr";
  const tw::ProcessSettings& settings = tw::Settings();
  if (!letter || settings.StorageDriveRegKey.empty() || settings.StorageDriveRegValueName.empty()) {
    TW_LOG(kFn, L"");
    return false;
  }
  tw::UniqueKey key;
  const LSTATUS opened =
      ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, settings.StorageDriveRegKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put());
  LSTATUS read = ERROR_INVALID_HANDLE;
  wchar_t value[6] = {};  // 10 bytes offered, one spare unit for a terminator
  if (opened == ERROR_SUCCESS) {
    DWORD bytes = 10;
    read = ::RegQueryValueExW(key.get(), settings.StorageDriveRegValueName.c_str(), nullptr, nullptr,
                              reinterpret_cast<BYTE*>(value), &bytes);
  }
  if (opened == ERROR_SUCCESS && read == ERROR_SUCCESS && value[0] != L'\0') {
    *letter = value[0];
    return true;
  }
  TW_LOG(kFn, tw::Hex8Pair(static_cast<uint32_t>(opened), static_cast<uint32_t>(read)));
  return false;
}

LibraryLookup FindCommonDialogLibrary(std::wstring* path) {
  constexpr wchar_t kName[] = L"QLNCmnDlg.dll";
  wchar_t folder[kPathChars] = {};
  path->clear();
  if (GetModuleFolderPath(::GetModuleHandleW(nullptr), folder) == 0) {
    *path = tw::JoinPath(folder, kName);
    if (tw::IsExistingFile(*path)) return LibraryLookup::kFound;
  }
  std::wstring install;
  if (!GetBkupAppInstFolderPath(&install)) return LibraryLookup::kNoInstallFolder;
  while (!install.empty() && install.back() == L'\\') install.pop_back();
  *path = install + L"\\Common\\" + kName;
  return tw::IsExistingFile(*path) ? LibraryLookup::kFound : LibraryLookup::kMissing;
}
