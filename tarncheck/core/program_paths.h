// Program paths as the action settings write them, judged as the 32-bit
// wizard sees them.
#pragma once

#include <string>

namespace tc {

// The path with "/" as "\", repeated backslashes as one and "." and ".."
// steps resolved (a ".." never climbs above the first step).
std::wstring NormalizedPath(const std::wstring& path);

// Whether the path lies in the system folder: below `systemFolder` (as the
// platform names it, such as "C:\Windows\system32"), or written as
// "%windir%\System32\..." or "%SystemRoot%\System32\...". Compared ignoring
// case. A 32-bit program that asks for a file there is given the one in
// the folder for 32-bit system files (SysWOW64) instead.
bool IsUnderSystemFolder(const std::wstring& path, const std::wstring& systemFolder);

}  // namespace tc
