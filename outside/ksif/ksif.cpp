// KSIF.dll, stand-in for the burning product's interface library. It lists
// the optical drives that its settings file KSIF.ini (beside the library)
// describes:
//
//   [GetOddsList]
//   Result=0          ; 0 lists the drives, 55 means no drive, else failure
//   Drives=E,F        ; letters in list order, each with a section below
//   Text=...          ; optional: this text (\t \n \\ escapes) instead
//   PadWith=7         ; optional: fill the whole buffer after the text with
//                     ; this character and leave it unterminated
//   [Drive E]
//   Name=Virtual DVD Writer
//   Codes=101,102,201
//
// The file is read on every call, so a caller may change it between calls.
#include <windows.h>

#include <string>
#include <type_traits>

#include "common/standin.h"

namespace {

HMODULE g_module = nullptr;

std::wstring SettingsPath() { return standin::ModuleFolder(g_module) + L"\\KSIF.ini"; }

// One line per configured drive: "E:<TAB>name<TAB>codes\n".
std::wstring DriveListText(const std::wstring& ini) {
  const std::wstring letters = standin::IniString(ini, L"GetOddsList", L"Drives");
  std::wstring text;
  size_t start = 0;
  while (start <= letters.size()) {
    size_t comma = letters.find(L',', start);
    if (comma == std::wstring::npos) comma = letters.size();
    std::wstring letter = letters.substr(start, comma - start);
    while (!letter.empty() && letter.front() == L' ') letter.erase(letter.begin());
    if (!letter.empty()) {
      const std::wstring section = L"Drive " + letter.substr(0, 1);
      text += letter.substr(0, 1) + L":\t" + standin::IniString(ini, section.c_str(), L"Name", L"Virtual Drive") +
              L"\t" + standin::IniString(ini, section.c_str(), L"Codes") + L"\n";
    }
    start = comma + 1;
  }
  return text;
}

DWORD ListDrives(wchar_t* buffer, DWORD* count) {
  if (!buffer || !count || *count == 0) return ERROR_INVALID_PARAMETER;
  const std::wstring ini = SettingsPath();
  const DWORD result = standin::IniNumber(ini, L"GetOddsList", L"Result", 0);
  if (result != 0) return result;

  const std::wstring text = standin::HasIniKey(ini, L"GetOddsList", L"Text")
                                ? standin::Unescape(standin::IniString(ini, L"GetOddsList", L"Text"))
                                : DriveListText(ini);
  const std::wstring pad = standin::Unescape(standin::IniString(ini, L"GetOddsList", L"PadWith"));
  if (!pad.empty()) {
    // Deliberately unterminated: the text, then the pad up to the last unit.
    for (DWORD i = 0; i < *count; ++i) buffer[i] = i < text.size() ? text[i] : pad[0];
    return 0;
  }
  if (text.size() + 1 > *count) {
    *count = static_cast<DWORD>(text.size() + 1);
    return ERROR_INSUFFICIENT_BUFFER;
  }
  text.copy(buffer, text.size());
  buffer[text.size()] = L'\0';
  return 0;
}

}  // namespace

// The export the wizard binds by this exact name; __stdcall as the maker's
// library has it (the .def file keeps the name undecorated).
extern "C" DWORD __stdcall GetOddsListW(wchar_t* buffer, DWORD* count) {
  return standin::AtEdge<DWORD>(ERROR_INTERNAL_ERROR, [&] { return ListDrives(buffer, count); });
}
static_assert(std::is_same_v<decltype(&GetOddsListW), DWORD(WINAPI*)(wchar_t*, DWORD*)>, "the interface is __stdcall");

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
