#include "burn/brn_app_cnctor.h"

#include <vector>

#include "app/core/text.h"
#include "app/exec.h"
#include "app/library_search.h"
#include "app/log.h"
#include "app/syshelpers.h"
#include "burn/core/brn_result.h"
#include "burn/core/odd_list.h"

namespace {
// Size of the value buffer: 261 units (522 bytes) plus one spare unit that
// keeps a value stored without its terminator terminated.
constexpr DWORD kValueChars = MAX_PATH + 1;
}  // namespace

CBrnAppCnctor::CBrnAppCnctor() {
  constexpr wchar_t kFn[] = L"CBrnAppCnctor::CBrnAppCnctor";
  IsReady = GetInstFolderPath(&InstFolderPath);
  if (!IsReady) return;

  InstFolderPath = tw::WithoutTrailingBackslash(InstFolderPath);
  auto notReady = [this]() {
    IsReady = false;
    InstFolderPath.clear();
    EngineExePath.clear();
  };

  EngineExePath = tw::JoinPath(InstFolderPath, kEngineExeName);
  if (!tw::IsExistingFile(EngineExePath)) {
    TW_LOG(kFn, EngineExePath);
    notReady();
    return;
  }
  const std::wstring libraryPath = tw::JoinPath(InstFolderPath, kEngineLibraryName);
  if (!tw::IsExistingFile(libraryPath)) {
    TW_LOG(kFn, libraryPath);
    notReady();
    return;
  }
  // By its full path; its own dependencies are looked up beside it and in
  // the system folder.
  EngineLibrary.reset(tw::LoadLibraryByFullPath(libraryPath));
  if (!EngineLibrary) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), libraryPath));
    notReady();
    return;
  }
  GetOddsListProc = reinterpret_cast<GetOddsListWProc>(
      reinterpret_cast<void*>(::GetProcAddress(EngineLibrary.get(), kGetOddsListName)));
  if (!GetOddsListProc) {
    // The engine can still run; only the drive listing will fail.
    TW_LOG(kFn, tw::Hex8(::GetLastError()));
  }
}

CBrnAppCnctor::~CBrnAppCnctor() {
  GetOddsListProc = nullptr;
  EngineLibrary.reset();
}

bool CBrnAppCnctor::GetInstFolderPath(std::wstring* folder) {
  constexpr wchar_t kFn[] = L"CBrnAppCnctor::GetInstFolderPath";
  if (!folder) {
    TW_LOG(kFn, L"");
    return false;
  }
  folder->clear();
  tw::UniqueKey key;
  const LSTATUS opened = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0,
                                           KEY_READ | KEY_WOW64_32KEY, nullptr, key.put(), nullptr);
  if (opened != ERROR_SUCCESS) {
    TW_LOG(kFn, tw::Hex8With(static_cast<uint32_t>(opened), kProductKey));
    return false;
  }
  wchar_t value[kValueChars + 1] = {};
  DWORD bytes = kValueChars * sizeof(wchar_t);
  DWORD type = REG_NONE;
  LSTATUS read =
      ::RegQueryValueExW(key.get(), kInstFolderValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
  key.reset();
  // An empty folder would put the engine files at the root of the current
  // drive: it counts as missing, as does any type but a plain string.
  if (read != ERROR_SUCCESS || type != REG_SZ || value[0] == L'\0') {
    TW_LOG(kFn, tw::Hex8With(static_cast<uint32_t>(read), kInstFolderValue));
    return false;
  }
  *folder = value;
  return true;
}

bool CBrnAppCnctor::GetOddsInfo(OddInfo* drives, uint32_t* count) {
  constexpr wchar_t kFn[] = L"CBrnAppCnctor::GetOddsInfo";
  if (!EngineLibrary || !GetOddsListProc || !drives || !count) {
    TW_LOG(kFn, L"");
    return false;
  }
  std::vector<wchar_t> buffer(kOddsListChars, L'\0');
  DWORD offered = kOddsListChars;
  const DWORD result = GetOddsListProc(buffer.data(), &offered);
  if (result == 55) {
    *count = 0;
    return true;
  }
  if (result != 0) {
    TW_LOG(kFn, tw::Hex8(result));
    return false;
  }
  const uint32_t capacity = *count;
  *count = 0;
  // Never past the buffer's end, even when the library did not terminate it.
  const tw::OddListResult parsed = tw::ParseOddsList(tw::TextUpToNul(buffer.data(), buffer.size()), capacity);
  for (const OddInfo& drive : parsed.drives) drives[(*count)++] = drive;
  if (parsed.error != tw::OddListError::None) {
    TW_LOG(kFn, parsed.logMessage);
    return false;
  }
  return true;
}

bool CBrnAppCnctor::ExecuteBrnApp(std::wstring discInfoPath, PROCESS_INFORMATION* processInfo) {
  constexpr wchar_t kFn[] = L"CBrnAppCnctor::ExecuteBrnApp";
  if (!IsReady) {
    TW_LOG(kFn, L"");
    return false;
  }
  // The path follows "/F:" unquoted, as the last part of the command line.
  const std::wstring arguments = L"/F:" + discInfoPath;
  if (!ExecuteFile(EngineExePath.c_str(), arguments.c_str(), false, processInfo, nullptr)) {
    TW_LOG(kFn, EngineExePath);
    TW_LOG(kFn, arguments);
    return false;
  }
  return true;
}

BrnResultType CBrnAppCnctor::GetBrnResultType(uint32_t exitCode) { return tw::ClassifyBrnExitCode(exitCode); }
