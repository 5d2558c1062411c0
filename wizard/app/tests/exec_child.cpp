// A child program for the tests of program execution. Arguments:
//   sleep=<ms>     wait this long before ending
//   exit=<code>    end with this exit code (default 0)
//   record=<path>  write the whole command line there (UTF-16LE, no mark)
//   module=<path>  write the path of this program's own file there (the
//                  same way), so a test sees which program ran
//   drv3=<letter>  record the letter as the recovery drive, as the partition
//                  tool does (HKLM\SOFTWARE\Norvane\ZRV_PARTLINK, DRV3,
//                  32-bit view); "drv3=" alone deletes the value
#include <windows.h>

#include <cwchar>
#include <string>

namespace {
void Write(const std::wstring& path, const std::wstring& text) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
  ::CloseHandle(file);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  DWORD sleepMs = 0;
  DWORD exitCode = 0;
  std::wstring record;
  std::wstring module;
  bool setDrive = false;
  std::wstring drive;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg.rfind(L"sleep=", 0) == 0) sleepMs = std::wcstoul(arg.c_str() + 6, nullptr, 10);
    if (arg.rfind(L"exit=", 0) == 0) exitCode = std::wcstoul(arg.c_str() + 5, nullptr, 10);
    if (arg.rfind(L"record=", 0) == 0) record = arg.substr(7);
    if (arg.rfind(L"module=", 0) == 0) module = arg.substr(7);
    if (arg.rfind(L"drv3=", 0) == 0) {
      setDrive = true;
      drive = arg.substr(5);
    }
  }
  if (!record.empty()) Write(record, ::GetCommandLineW());
  if (!module.empty()) {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    Write(module, std::wstring(self, length < MAX_PATH ? length : 0));
  }
  if (setDrive) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Norvane\\ZRV_PARTLINK", 0, nullptr, 0,
                          KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key, nullptr) == ERROR_SUCCESS) {
      if (drive.empty()) {
        ::RegDeleteValueW(key, L"DRV3");
      } else {
        ::RegSetValueExW(key, L"DRV3", 0, REG_SZ, reinterpret_cast<const BYTE*>(drive.c_str()),
                         static_cast<DWORD>((drive.size() + 1) * sizeof(wchar_t)));
      }
      ::RegCloseKey(key);
    }
  }
  if (sleepMs) ::Sleep(sleepMs);
  return static_cast<int>(exitCode);
}
