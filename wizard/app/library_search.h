// Where the wizard's libraries come from. The wizard runs with
// administrator rights, so no library may come from a place that a
// standard user can write to in passing: libraries loaded by name are
// looked for in the system folder only, never in the program's folder or
// the current folder.
#pragma once

#include <windows.h>

#include <string>

namespace tw {

// What RestrictLibrarySearch could do on this system.
enum class LibrarySearch {
  kSystemFolderOnly,      // libraries loaded by name come from the system folder alone
  kCurrentFolderRemoved,  // no SetDefaultDllDirectories: only the current folder left the search
};

// The first thing the program does: SetDefaultDllDirectories with the
// system folder alone (bound at run time from kernel32, since systems
// without the update that brought it lack it), and SetDllDirectoryW(L"")
// so that the classic search order of such systems loses the current
// folder. A system without the first is logged under `function`.
LibrarySearch RestrictLibrarySearch(const wchar_t* function);

// Loads a library that the configuration names by its full path (the
// burning product's interface library, the common dialog library). Its
// own dependencies are looked for beside it and in the system folder,
// never in the program's or the current folder. A path that is not fully
// qualified is refused (ERROR_BAD_PATHNAME). Null with the last error set;
// nothing is logged: the callers log under their own names.
HMODULE LoadLibraryByFullPath(const std::wstring& path);

// Loads a library of the system folder by its full path, its dependencies
// from the system folder too. Null with the last error set; nothing is
// logged.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

}  // namespace tw
