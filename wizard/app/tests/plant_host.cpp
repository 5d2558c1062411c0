// A program for the library search tests. Arguments: "plain", "restrict"
// or "restrict-partlink", then library names. With "restrict" it first
// restricts its library search as the wizard does, with
// "restrict-partlink" as partlink does (each program has its own code). Then it loads each library by name
// and tells, in the exit code, where each came from: two bits per name in
// order (0 not loaded, 1 from the system folder, 2 from anywhere else),
// and above them 1 when the restriction was in force.
#include <windows.h>

#include <string>

#include "app/library_search.h"
#include "partlink_library_search.h"

namespace {

bool InSystemFolder(const std::wstring& path) {
  wchar_t system[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length > MAX_PATH || path.size() <= length) return false;
  return ::CompareStringOrdinal(path.c_str(), static_cast<int>(length), system, static_cast<int>(length), TRUE) ==
             CSTR_EQUAL &&
         path[length] == L'\\';
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  bool restricted = false;
  if (mode == L"restrict") restricted = tw::RestrictLibrarySearch(L"plant_host") == tw::LibrarySearch::kSystemFolderOnly;
  if (mode == L"restrict-partlink") restricted = partlink::RestrictLibrarySearch();
  int code = 0;
  int shift = 0;
  for (int i = 2; i < argc; ++i, shift += 2) {
    HMODULE module = ::LoadLibraryW(argv[i]);
    if (!module) continue;
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    code |= (InSystemFolder(path) ? 1 : 2) << shift;
  }
  return code | ((restricted ? 1 : 0) << shift);
}
