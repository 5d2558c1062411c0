// Disks as the system gives them: CreateFile on the device path, the file
// pointer, ReadFile, WriteFile and DeviceIoControl.
#include <windows.h>

#include "app/handles.h"
#include "app/system_seams.h"

namespace partlink {
namespace {

class SystemDevice : public DiskDevice {
 public:
  explicit SystemDevice(UniqueFile file) : file_(std::move(file)) {}

  bool SetPosition(uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN) != FALSE;
  }
  bool Read(uint8_t* buffer, DWORD size, DWORD& done) override {
    done = 0;
    return ::ReadFile(file_.get(), buffer, size, &done, nullptr) != FALSE;
  }
  bool Write(const uint8_t* buffer, DWORD size, DWORD& done) override {
    done = 0;
    return ::WriteFile(file_.get(), buffer, size, &done, nullptr) != FALSE;
  }
  bool Control(DWORD code, void* out, DWORD outSize, DWORD& returned) override {
    returned = 0;
    return ::DeviceIoControl(file_.get(), code, nullptr, 0, out, outSize, &returned, nullptr) != FALSE;
  }

 private:
  UniqueFile file_;
};

class SystemDisks : public DiskSystem {
 public:
  std::unique_ptr<DiskDevice> Open(const std::wstring& path, DiskAccess access) override {
    const DWORD desired = access == DiskAccess::Read ? GENERIC_READ : GENERIC_WRITE;
    const DWORD share = access == DiskAccess::Read ? (FILE_SHARE_READ | FILE_SHARE_WRITE) : FILE_SHARE_WRITE;
    UniqueFile file(::CreateFileW(path.c_str(), desired, share, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return nullptr;
    return std::make_unique<SystemDevice>(std::move(file));
  }
};

}  // namespace

std::unique_ptr<DiskSystem> MakeSystemDisks() { return std::make_unique<SystemDisks>(); }

}  // namespace partlink
