// The two places where partlink meets hardware it cannot have under test: the
// disks (raw sectors and the driver's layout and partition queries) and the
// WMI associations. The shipped program answers them from the system; the
// test build answers them from disk image files and a table of associations.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace partlink {

// One opened disk ("\\.\PHYSICALDRIVEn") or volume ("\\.\X:"). Failing calls
// leave the reason in the thread's last error, as the system calls do.
class DiskDevice {
 public:
  virtual ~DiskDevice() = default;
  virtual bool SetPosition(uint64_t offset) = 0;
  virtual bool Read(uint8_t* buffer, DWORD size, DWORD& done) = 0;
  virtual bool Write(const uint8_t* buffer, DWORD size, DWORD& done) = 0;
  // IOCTL_DISK_GET_DRIVE_LAYOUT_EX and IOCTL_DISK_GET_PARTITION_INFO_EX.
  virtual bool Control(DWORD code, void* out, DWORD outSize, DWORD& returned) = 0;
};

enum class DiskAccess {
  Read,  // read access, read and write sharing
  Write  // write access, write sharing
};

class DiskSystem {
 public:
  virtual ~DiskSystem() = default;
  // Nothing (with the last error set) when the device cannot be opened.
  virtual std::unique_ptr<DiskDevice> Open(const std::wstring& path, DiskAccess access) = 0;
};

// One instance of an association class.
class WmiObject {
 public:
  virtual ~WmiObject() = default;
  // The property as text; false when it is missing or not text.
  virtual bool ReadText(const wchar_t* property, std::wstring& text) = 0;
};

class WmiEnumeration {
 public:
  virtual ~WmiEnumeration() = default;
  // The next instance, or nothing when there are no more.
  virtual std::unique_ptr<WmiObject> Next() = 0;
};

class WmiService {
 public:
  enum class EnumStart { Ok, NameAllocationFailed, EnumerationFailed };
  virtual ~WmiService() = default;
  // 0, or 257 to 261 after printing the failing step's line.
  virtual uint32_t Connect() = 0;
  // Releases what Connect acquired; harmless when nothing is held.
  virtual void Disconnect() = 0;
  // Starts a forward-only, shallow enumeration of all instances of a class.
  virtual EnumStart Enumerate(const wchar_t* className, std::unique_ptr<WmiEnumeration>& out) = 0;
};

// The process's disks and WMI service, chosen by the build.
DiskSystem& Disks();
WmiService& Wmi();

// True when the test build was asked to let a registry value write fail
// (the only failure the real registry cannot be made to produce on demand);
// always false in the shipped program.
bool RegistryWriteFailureRequested();

}  // namespace partlink
