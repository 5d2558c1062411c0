// Helpers shared by the fuzz targets: turning bytes into the texts the
// parsers see, and a property check that stops the run with a message (the
// fuzzer then keeps the input as a crash reproducer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                           \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (0)

namespace fuzz {

// The text of a file as the wizard gets it: UTF-16 little-endian after a
// byte-order mark FF FE, otherwise one character per byte (8-bit text).
inline std::wstring TextOfBytes(const uint8_t* data, size_t size) {
  std::wstring text;
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    for (size_t i = 2; i + 1 < size; i += 2) {
      text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
  } else {
    for (size_t i = 0; i < size; ++i) text.push_back(static_cast<wchar_t>(data[i]));
  }
  return text;
}

// One character per byte.
inline std::wstring Widen(const std::string& bytes) {
  std::wstring text;
  for (char c : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return text;
}

inline bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// ASCII-only case-insensitive compare: key names are ASCII, and no other
// character folds onto an ASCII letter.
inline bool EqualsAsciiNoCase(wchar_t a, wchar_t b) {
  if (IsAsciiLetter(a) && IsAsciiLetter(b)) return (a | 0x20) == (b | 0x20);
  return a == b;
}

inline bool StartsWithAsciiNoCase(const std::wstring& text, const std::wstring& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (!EqualsAsciiNoCase(text[i], prefix[i])) return false;
  }
  return true;
}

// True when `part` occurs in `whole` at `at`.
inline bool IsAt(const std::wstring& whole, size_t at, const std::wstring& part) {
  return at <= whole.size() && whole.compare(at, part.size(), part) == 0 && whole.size() - at >= part.size();
}

// Plain decimal of 1 to 9 digits: its value, which fits 32 bits.
inline bool IsShortDecimal(const std::wstring& text, uint32_t& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + static_cast<uint32_t>(c - L'0');
  }
  return true;
}

}  // namespace fuzz
