// Paths of the programs the wizard starts: always a full path, never one
// that the system would look for along a search order.
// No platform headers: this compiles natively as well as for Windows.
#pragma once

#include <optional>
#include <string>

namespace tw {

// "X:\..." or "\\server\share\..." (forward slashes too): a path that
// names one place whatever the current drive and folder.
bool IsFullyQualifiedPath(const std::wstring& path);

// The full path of a configured program: a fully qualified path as it
// stands; a relative one (a bare name, "tools\x.exe", "..\x.exe") joined to
// `baseFolder`. Nothing for an empty path and for one whose place depends
// on the current drive or folder of the moment ("\x.exe", "C:x.exe").
std::optional<std::wstring> ProgramPathFrom(const std::wstring& configured, const std::wstring& baseFolder);

}  // namespace tw
