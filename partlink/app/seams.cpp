// Chooses the disks and the WMI service of this build. The shipped program
// always uses the system's; the test build (PARTLINK_TEST_BUILD) reads disk
// images from the folder named by PARTLINK_DISK_IMAGES and, when
// PARTLINK_WMI_TABLE names a file, answers WMI from that table instead of
// the system's WMI.
#include <windows.h>

#include "app/seams.h"
#include "app/system_seams.h"
#ifdef PARTLINK_TEST_BUILD
#include "testbuild/test_seams.h"
#endif

namespace partlink {

#ifdef PARTLINK_TEST_BUILD
namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024] = {};
  const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
  if (n == 0 || n >= 1024) return std::wstring();
  return std::wstring(value, n);
}

}  // namespace

DiskSystem& Disks() {
  static const std::unique_ptr<DiskSystem> disks = MakeImageDisks(Environment(L"PARTLINK_DISK_IMAGES"));
  return *disks;
}

WmiService& Wmi() {
  static const std::unique_ptr<WmiService> wmi = [] {
    const std::wstring table = Environment(L"PARTLINK_WMI_TABLE");
    return table.empty() ? MakeComWmi() : MakeTableWmi(table);
  }();
  return *wmi;
}

bool RegistryWriteFailureRequested() { return Environment(L"PARTLINK_FAIL_REGISTRY_WRITE") == L"1"; }

#else

DiskSystem& Disks() {
  static const std::unique_ptr<DiskSystem> disks = MakeSystemDisks();
  return *disks;
}

WmiService& Wmi() {
  static const std::unique_ptr<WmiService> wmi = MakeComWmi();
  return *wmi;
}

bool RegistryWriteFailureRequested() { return false; }

#endif

}  // namespace partlink
