// Small helpers shared by the stand-ins for the maker's components: each
// reads its settings from an INI file beside its own module.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace standin {

// The edge between a caller (the wizard, or Windows) and a stand-in's code:
// exported functions and window procedures run their body through this, so
// no exception ever unwinds into the caller; it gets `failure` instead.
template <typename R, typename Body>
R AtEdge(R failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

// Folder of a module (nullptr: the program), without trailing backslash.
inline std::wstring ModuleFolder(HMODULE module) {
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return std::wstring();
    if (n < name.size()) {
      std::wstring path(name.data(), n);
      const size_t slash = path.rfind(L'\\');
      return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    }
    name.resize(name.size() * 2);
  }
}

inline bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool FolderExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A profile string of any length; `fallback` when the key is absent.
inline std::wstring IniString(const std::wstring& ini, const wchar_t* section, const wchar_t* key,
                              const wchar_t* fallback = L"") {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    const DWORD n = ::GetPrivateProfileStringW(section, key, fallback, buffer.data(),
                                               static_cast<DWORD>(buffer.size()), ini.c_str());
    if (n + 1 < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

inline bool HasIniKey(const std::wstring& ini, const wchar_t* section, const wchar_t* key) {
  return IniString(ini, section, key, L"\x01") != L"\x01";
}

// A decimal (or 0x-prefixed) number; `fallback` when absent or not a number.
inline unsigned long IniNumber(const std::wstring& ini, const wchar_t* section, const wchar_t* key,
                               unsigned long fallback) {
  const std::wstring text = IniString(ini, section, key);
  if (text.empty()) return fallback;
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(text.c_str(), &end, 0);
  return end == text.c_str() ? fallback : value;
}

inline void WriteIni(const std::wstring& ini, const wchar_t* section, const wchar_t* key,
                     const std::wstring& value) {
  ::WritePrivateProfileStringW(section, key, value.c_str(), ini.c_str());
}

// Resolves \t, \n, \r and \\ so that settings can hold control characters.
inline std::wstring Unescape(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size()) {
      const wchar_t next = text[i + 1];
      if (next == L't' || next == L'n' || next == L'r' || next == L'\\') {
        out.push_back(next == L't' ? L'\t' : next == L'n' ? L'\n' : next == L'r' ? L'\r' : L'\\');
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace standin
