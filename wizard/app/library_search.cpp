#include "library_search.h"

#include <type_traits>

#include "app/core/paths.h"
#include "app/core/text.h"
#include "app/log.h"

namespace tw {
namespace {

// LoadLibraryExW with the search flags of systems that have them, else
// with the altered search order of older ones, which looks for the
// library's dependencies in its own folder before the program's.
HMODULE LoadByFullPath(const std::wstring& path, DWORD searchFlags) {
  if (!IsFullyQualifiedPath(path)) {
    ::SetLastError(ERROR_BAD_PATHNAME);
    return nullptr;
  }
  HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, searchFlags);
  if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER) {
    module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  return module;
}

}  // namespace

LibrarySearch RestrictLibrarySearch(const wchar_t* function) {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  static_assert(std::is_same_v<SetDefaultDllDirectoriesFn, decltype(&::SetDefaultDllDirectories)>,
                "bound as the system declares it");
  // kernel32 is in every process from its start: asking for its handle
  // loads nothing.
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                 reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                           : nullptr;
  const bool restricted = setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  const DWORD error = restricted ? 0 : ::GetLastError();
  ::SetDllDirectoryW(L"");
  if (restricted) return LibrarySearch::kSystemFolderOnly;
  Log(function, static_cast<uint32_t>(__LINE__), Hex8(error));
  return LibrarySearch::kCurrentFolderRemoved;
}

HMODULE LoadLibraryByFullPath(const std::wstring& path) {
  return LoadByFullPath(path, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  wchar_t systemFolder[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryW(systemFolder, MAX_PATH);
  if (length == 0 || length > MAX_PATH) {
    if (length > MAX_PATH) ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nullptr;
  }
  return LoadByFullPath(JoinPath(systemFolder, fileName), LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace tw
