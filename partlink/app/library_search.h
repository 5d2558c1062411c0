// partlink runs with administrator rights and writes partition tables: no
// library may come from a place that a standard user can write to in
// passing, such as the folder it lies in or the current folder.
#pragma once

namespace partlink {

// The first thing the tool does: libraries loaded by name are looked for in
// the system folder only (SetDefaultDllDirectories, bound at run time from
// kernel32 since systems without the update that brought it lack it), and
// the current folder leaves the classic search order of such systems
// (SetDllDirectoryW(L"")). True when the first is in force. Nothing is
// printed either way: the tool's output stays as it is.
bool RestrictLibrarySearch();

}  // namespace partlink
