#include "log.h"

#include <windows.h>
#include <shlobj.h>

#include <atomic>

#include "core/log_format.h"
#include "core/text.h"
#include "handles.h"

namespace {

// Serialises writers across threads and processes so two entries never take
// the same number. A writer that cannot get the lock within this time writes
// anyway rather than holding up its caller.
constexpr wchar_t kWriterMutexName[] = L"Global\\Tarnwright.LogWriter.{5C0B2E61-7A43-4E58-9D1A-0F6E2B7C4D19}";
constexpr DWORD kLockWaitMs = 2000;

// The process opens the named mutex once and keeps it until it ends: an
// entry then costs only the wait and the release. Opening is tried again at
// the next entry while it fails.
HANDLE WriterMutex() {
  static std::atomic<HANDLE> shared{nullptr};
  HANDLE mutex = shared.load();
  if (mutex) return mutex;
  HANDLE created = ::CreateMutexW(nullptr, FALSE, kWriterMutexName);
  if (!created) return nullptr;
  if (shared.compare_exchange_strong(mutex, created)) return created;
  ::CloseHandle(created);  // another thread was first
  return mutex;
}

class WriterLock {
 public:
  WriterLock() : mutex_(WriterMutex()) {
    if (!mutex_) return;
    DWORD r = ::WaitForSingleObject(mutex_, kLockWaitMs);
    held_ = (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED);
  }
  ~WriterLock() {
    if (held_) ::ReleaseMutex(mutex_);
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

 private:
  HANDLE mutex_;
  bool held_ = false;
};

// The machine-wide application data folder. The shell is asked until it
// answers; its answer cannot change while the process runs, and asking
// again costs more than the profile calls of an entry. The log's own
// folder is still created (when missing) at every entry. Nothing here is
// destroyed at exit, so that a thread still logging then finds it intact.
bool CommonAppDataFolder(std::wstring& folder) {
  static SRWLOCK lock = SRWLOCK_INIT;
  static std::wstring* known = nullptr;
  ::AcquireSRWLockExclusive(&lock);
  tw::ScopeExit release([] { ::ReleaseSRWLockExclusive(&lock); });
  if (!known) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, buffer))) {
      return false;
    }
    known = new std::wstring(tw::WithoutTrailingBackslash(buffer));
  }
  folder = *known;
  return true;
}

}  // namespace

namespace tw {
std::wstring LogFilePath() {
  std::wstring folder;
  if (!CommonAppDataFolder(folder)) return std::wstring();
  return JoinPath(folder, kLogRelPath);
}
}  // namespace tw

void WriteLog(const wchar_t* relativePath, const wchar_t* moduleName, const wchar_t* functionName,
              uint32_t sourceLine, const wchar_t* message) {
  try {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    tw::LogTime t{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
    const std::wstring line = tw::FormatLogLine(
        t, moduleName ? moduleName : L"", static_cast<int32_t>(::GetCurrentProcessId()),
        static_cast<int32_t>(::GetCurrentThreadId()), functionName ? functionName : L"", sourceLine,
        message ? message : L"");

    std::wstring folder;
    if (!CommonAppDataFolder(folder)) return;
    const std::wstring path = tw::JoinPath(folder, relativePath ? relativePath : L"");

    // Only the last folder level is created; a missing parent drops the entry.
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return;
    const std::wstring logFolder = path.substr(0, slash);
    if (!::CreateDirectoryW(logFolder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return;

    // The lock also covers the probe: its handle shares only reading, so a
    // concurrent writer's profile call would otherwise fail while it is open.
    WriterLock lock;
    {
      tw::UniqueFile probe(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!probe) return;
    }

    const UINT last = ::GetPrivateProfileIntW(L"Info", L"LastLogIndex", 0, path.c_str());
    const uint32_t next = tw::NextLogIndex(last);
    const std::wstring number = tw::Dec(next);
    if (!::WritePrivateProfileStringW(L"Info", L"LastLogIndex", number.c_str(), path.c_str())) return;
    ::WritePrivateProfileStringW(L"Value", tw::LogKeyName(next).c_str(), line.c_str(), path.c_str());
  } catch (...) {
    // A log entry is never worth stopping the caller for.
  }
}
