// A child program for the tests of program execution. Arguments:
//   sleep=<ms>     wait this long before ending
//   exit=<code>    end with this exit code (default 0)
//   record=<path>  write the whole command line there (UTF-16LE, no mark)
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  DWORD sleepMs = 0;
  DWORD exitCode = 0;
  std::wstring record;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg.rfind(L"sleep=", 0) == 0) sleepMs = std::wcstoul(arg.c_str() + 6, nullptr, 10);
    if (arg.rfind(L"exit=", 0) == 0) exitCode = std::wcstoul(arg.c_str() + 5, nullptr, 10);
    if (arg.rfind(L"record=", 0) == 0) record = arg.substr(7);
  }
  if (!record.empty()) {
    const std::wstring line = ::GetCommandLineW();
    HANDLE file = ::CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      ::WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
      ::CloseHandle(file);
    }
  }
  if (sleepMs) ::Sleep(sleepMs);
  return static_cast<int>(exitCode);
}
