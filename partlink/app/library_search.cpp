#include "app/library_search.h"

#include <windows.h>

#include <type_traits>

namespace partlink {

bool RestrictLibrarySearch() {
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
  ::SetDllDirectoryW(L"");
  return restricted;
}

}  // namespace partlink
