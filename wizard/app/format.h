// printf-style formatting into a std::wstring for the shell.
// Always write %ls for wide strings: MinGW and glibc read a bare %s differently.
#pragma once

#include <string>

namespace tw {
std::wstring Fmt(const wchar_t* format, ...);
}
