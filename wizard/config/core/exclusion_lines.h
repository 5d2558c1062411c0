// The text of an exclusion list: one full path per line, cleaned of
// surrounding blanks, backslashes and double quotes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tw {
namespace exclusion {

// Lines read from one list, empty ones included; the rest are ignored.
constexpr size_t kMaxLines = 500;

// Removes, in this order, runs of spaces from the right then the left end,
// of backslashes from the right then the left, of double quotes from the
// right then the left. "C:\Temp\" becomes "C:\Temp"; "\"C:\Temp\\\""
// keeps its inner backslash because the quotes go after the backslashes.
std::wstring CleanLine(std::wstring line);

// Splits the text (after its byte-order mark) into lines at line feeds,
// dropping the carriage return before each, reads at most kMaxLines lines,
// cleans them, drops the empty ones and replaces a leading "?" by
// `driveLetter`. The text ends at its first NUL.
std::vector<std::wstring> ParseList(const std::wstring& text, wchar_t driveLetter);

// The entries of a list file's bytes: UTF-16 little-endian after two bytes
// of byte-order mark (skipped whatever they hold), then as ParseList. A
// file of two bytes or fewer has no entries.
std::vector<std::wstring> ParseListFile(const std::string& content, wchar_t driveLetter);

}  // namespace exclusion
}  // namespace tw
