// Portable text helpers shared by the wizard's core and shell.
// No platform headers: this compiles natively as well as for Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// "0x%08x" of a 32-bit value (lower-case hex, eight digits).
std::wstring Hex8(uint32_t value);
// "0x%08x, 0x%08x".
std::wstring Hex8Pair(uint32_t first, uint32_t second);
// "0x%08x, %s".
std::wstring Hex8With(uint32_t code, const std::wstring& text);
// "0x%08x, 0x%08x" of the low and high halves of a 64-bit value.
std::wstring Hex64Halves(uint64_t value);
// Unsigned and signed decimal.
std::wstring Dec(uint64_t value);
std::wstring DecSigned(int64_t value);

// ASCII/Latin case folding as the platform's case-insensitive compares do it
// for the characters that matter here (paths, key names).
wchar_t FoldCase(wchar_t c);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);
std::wstring ToUpper(std::wstring text);

// Replaces every occurrence of token (case-sensitive, plain substring).
std::wstring ReplaceAll(std::wstring text, const std::wstring& token, const std::wstring& replacement);

// Removes exactly one trailing backslash, if present.
std::wstring WithoutTrailingBackslash(std::wstring path);
// Folder and name joined with one backslash ("%s\%s").
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// Reads an unsigned 32-bit decimal as "%u" does: leading blanks skipped, an
// optional sign, then digits; false when no digit follows. Values wrap
// modulo 2^32 as the C library's conversion does for in-range input.
bool ScanUnsigned(const std::wstring& text, uint32_t& value);
// Reads a signed 32-bit decimal as "%d" does (leading blanks, sign, digits).
bool ScanSigned(const std::wstring& text, int32_t& value);
// The same scans, also giving how many characters they took (blanks, sign
// and digits; 0 when they fail): what follows is what "%u" and "%d" ignore.
bool ScanUnsigned(const std::wstring& text, uint32_t& value, size_t& used);
bool ScanSigned(const std::wstring& text, int32_t& value, size_t& used);

// UTF-16 little-endian bytes of a text (surrogate pairs where wchar_t is
// 32 bits wide), without byte-order mark or terminator.
std::string ToUtf16Le(const std::wstring& text);
// The inverse; an odd trailing byte is ignored.
std::wstring FromUtf16Le(const std::string& bytes);

// UTF-8 of a text, for output that leaves the program (reports, test
// messages). Surrogate pairs become one code point; a surrogate without
// its partner becomes U+FFFD, as the system's conversion does.
std::string ToUtf8(const std::wstring& text);

}  // namespace tw
