#include "app/console.h"

#include <windows.h>

#include <string>

namespace partlink {
namespace {

int g_outputSwitch = 0;

// A console gets the text as it is; a file or pipe gets it in the console's
// output code page (the ANSI code page when there is no console), with line
// feeds written as CR LF as a Windows program's text output is.
void Write(const std::wstring& text) {
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE || text.empty()) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (::GetConsoleMode(out, &mode)) {
    ::WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  std::wstring crlf;
  crlf.reserve(text.size() + 8);
  for (wchar_t c : text) {
    if (c == L'\n') crlf += L'\r';
    crlf += c;
  }
  UINT codePage = ::GetConsoleOutputCP();
  if (codePage == 0) codePage = ::GetACP();
  const int size = ::WideCharToMultiByte(codePage, 0, crlf.data(), static_cast<int>(crlf.size()), nullptr, 0,
                                         nullptr, nullptr);
  if (size <= 0) return;
  std::string bytes(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(codePage, 0, crlf.data(), static_cast<int>(crlf.size()), &bytes[0], size, nullptr, nullptr);
  ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

void SetOutputSwitch(int value) { g_outputSwitch = value; }
int OutputSwitch() { return g_outputSwitch; }

void Print(const std::wstring& text) {
  if (g_outputSwitch == 0) Write(text);
}

void PrintAlways(const std::wstring& text) { Write(text); }

}  // namespace partlink
