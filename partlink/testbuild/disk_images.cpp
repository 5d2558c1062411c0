#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

#include "app/handles.h"
#include "core/image.h"
#include "core/text.h"
#include "testbuild/test_seams.h"

namespace partlink {
namespace {

constexpr DWORD kLayoutHeaderSize = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry);

GUID GuidOf(const Guid& g) {
  GUID out;
  out.Data1 = g.data1;
  out.Data2 = g.data2;
  out.Data3 = g.data3;
  for (int i = 0; i < 8; ++i) out.Data4[i] = g.data4[i];
  return out;
}

bool ReadAt(HANDLE file, uint64_t offset, uint8_t* buffer, DWORD size) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  DWORD done = 0;
  return ::SetFilePointerEx(file, to, nullptr, FILE_BEGIN) && ::ReadFile(file, buffer, size, &done, nullptr) &&
         done == size;
}

// The image's tables as the driver would report them.
struct ImageTables {
  DiskLayout layout;
  uint64_t diskBytes = 0;
  std::optional<GptHeader> gpt;
};

// False (with the last error set) when the image cannot be read or its GPT
// is damaged; a GPT disk is one whose MBR holds the protective entry.
bool ReadTables(HANDLE file, ImageTables& tables, bool& isGpt) {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file, &size)) return false;
  tables.diskBytes = static_cast<uint64_t>(size.QuadPart);
  Sector sector0{};
  if (!ReadAt(file, 0, sector0.data(), kSectorSize)) return false;
  isGpt = HasProtectiveEntry(sector0);
  if (!isGpt) {
    tables.layout = MbrLayout(sector0);
    return true;
  }
  Sector sector1{};
  if (!ReadAt(file, kSectorSize, sector1.data(), kSectorSize)) return false;
  tables.gpt = ParseGptHeader(sector1);
  if (!tables.gpt) {
    ::SetLastError(ERROR_DISK_CORRUPT);
    return false;
  }
  std::vector<uint8_t> entries(static_cast<size_t>(GptEntryArrayBytes(*tables.gpt)));
  if (!entries.empty() && !ReadAt(file, tables.gpt->entriesLba * kSectorSize, entries.data(),
                                  static_cast<DWORD>(entries.size()))) {
    return false;
  }
  auto partitions = ParseGptEntries(entries, *tables.gpt);
  if (!partitions) {
    ::SetLastError(ERROR_DISK_CORRUPT);
    return false;
  }
  tables.layout.style = PartitionStyle::Gpt;
  tables.layout.partitions = std::move(*partitions);
  return true;
}

void FillPartition(PARTITION_INFORMATION_EX& out, PartitionStyle style, const LayoutPartition& p) {
  std::memset(&out, 0, sizeof(out));
  out.PartitionStyle = style == PartitionStyle::Gpt ? PARTITION_STYLE_GPT : PARTITION_STYLE_MBR;
  out.StartingOffset.QuadPart = static_cast<LONGLONG>(p.startingOffset);
  out.PartitionLength.QuadPart = static_cast<LONGLONG>(p.length);
  out.PartitionNumber = p.partitionNumber;
  if (style == PartitionStyle::Gpt) {
    out.Gpt.PartitionType = GuidOf(p.typeGuid);
  } else {
    out.Mbr.PartitionType = p.mbrType;
    out.Mbr.BootIndicator = p.bootIndicator ? TRUE : FALSE;
    out.Mbr.RecognizedPartition = p.mbrType != 0 ? TRUE : FALSE;
  }
}

// A whole disk image (partition 0) or one partition of it (a volume).
class ImageDevice : public DiskDevice {
 public:
  ImageDevice(UniqueFile file, uint32_t partition) : file_(std::move(file)), partition_(partition) {}

  bool SetPosition(uint64_t offset) override {
    if (partition_ != 0) return Refuse();
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN) != FALSE;
  }
  bool Read(uint8_t* buffer, DWORD size, DWORD& done) override {
    done = 0;
    if (partition_ != 0) return Refuse();
    return ::ReadFile(file_.get(), buffer, size, &done, nullptr) != FALSE;
  }
  bool Write(const uint8_t* buffer, DWORD size, DWORD& done) override {
    done = 0;
    if (partition_ != 0) return Refuse();
    return ::WriteFile(file_.get(), buffer, size, &done, nullptr) != FALSE;
  }

  bool Control(DWORD code, void* out, DWORD outSize, DWORD& returned) override {
    returned = 0;
    if (code == IOCTL_DISK_GET_PARTITION_INFO_EX) return PartitionInfo(out, outSize, returned);
    if (code == IOCTL_DISK_GET_DRIVE_LAYOUT_EX && partition_ == 0) return Layout(out, outSize, returned);
    ::SetLastError(ERROR_INVALID_FUNCTION);
    return false;
  }

 private:
  static bool Refuse() {
    ::SetLastError(ERROR_INVALID_FUNCTION);
    return false;
  }

  bool PartitionInfo(void* out, DWORD outSize, DWORD& returned) {
    if (outSize < sizeof(PARTITION_INFORMATION_EX)) {
      ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return false;
    }
    ImageTables tables;
    bool isGpt = false;
    const bool readable = ReadTables(file_.get(), tables, isGpt);
    auto* info = static_cast<PARTITION_INFORMATION_EX*>(out);
    if (partition_ == 0) {
      // The whole disk answers with its style even when its GPT is damaged.
      if (!readable && !isGpt) return false;
      LayoutPartition whole;
      whole.length = tables.diskBytes;
      FillPartition(*info, isGpt ? PartitionStyle::Gpt : PartitionStyle::Mbr, whole);
      returned = sizeof(PARTITION_INFORMATION_EX);
      return true;
    }
    if (!readable) return false;
    for (const LayoutPartition& p : tables.layout.partitions) {
      if (p.partitionNumber == partition_ && p.length != 0) {
        FillPartition(*info, tables.layout.style, p);
        returned = sizeof(PARTITION_INFORMATION_EX);
        return true;
      }
    }
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }

  bool Layout(void* out, DWORD outSize, DWORD& returned) {
    ImageTables tables;
    bool isGpt = false;
    if (!ReadTables(file_.get(), tables, isGpt)) return false;
    const size_t count = tables.layout.partitions.size();
    const size_t needed = kLayoutHeaderSize + count * sizeof(PARTITION_INFORMATION_EX);
    if (outSize < needed) {
      ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return false;
    }
    std::memset(out, 0, needed);
    auto* layout = static_cast<DRIVE_LAYOUT_INFORMATION_EX*>(out);
    layout->PartitionStyle = isGpt ? PARTITION_STYLE_GPT : PARTITION_STYLE_MBR;
    layout->PartitionCount = static_cast<DWORD>(count);
    if (isGpt) {
      layout->Gpt.DiskId = GuidOf(tables.gpt->diskId);
      layout->Gpt.StartingUsableOffset.QuadPart = static_cast<LONGLONG>(tables.gpt->firstUsableLba * kSectorSize);
      layout->Gpt.UsableLength.QuadPart =
          static_cast<LONGLONG>((tables.gpt->lastUsableLba - tables.gpt->firstUsableLba + 1) * kSectorSize);
      layout->Gpt.MaxPartitionCount = tables.gpt->entryCount;
    }
    for (size_t i = 0; i < count; ++i) {
      FillPartition(layout->PartitionEntry[i], tables.layout.style, tables.layout.partitions[i]);
    }
    returned = static_cast<DWORD>(needed);
    return true;
  }

  UniqueFile file_;
  uint32_t partition_;
};

class ImageDisks : public DiskSystem {
 public:
  explicit ImageDisks(std::wstring folder) : folder_(std::move(folder)) {}

  std::unique_ptr<DiskDevice> Open(const std::wstring& path, DiskAccess access) override {
    const auto name = ParseDevicePath(path);
    if (!name) {
      ::SetLastError(ERROR_FILE_NOT_FOUND);
      return nullptr;
    }
    int32_t disk = name->disk;
    uint32_t partition = 0;
    if (!name->isDisk) {
      // The volume of a letter: where its DOS device definition points.
      const std::wstring device = std::wstring(1, name->letter) + L":";
      wchar_t target[1024] = {};
      if (::QueryDosDeviceW(device.c_str(), target, 1024) == 0) return nullptr;
      const auto hp = ParseHarddiskPartitionPath(target);
      if (!hp || hp->partition <= 0) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
      }
      disk = hp->disk;
      partition = static_cast<uint32_t>(hp->partition);
    }
    if (folder_.empty()) {
      ::SetLastError(ERROR_PATH_NOT_FOUND);
      return nullptr;
    }
    const std::wstring file = folder_ + Format(L"\\disk%d.img", {disk});
    const bool write = access == DiskAccess::Write && partition == 0;
    UniqueFile handle(::CreateFileW(file.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                                    write ? FILE_SHARE_WRITE : (FILE_SHARE_READ | FILE_SHARE_WRITE), nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<ImageDevice>(std::move(handle), partition);
  }

 private:
  std::wstring folder_;
};

}  // namespace

std::unique_ptr<DiskSystem> MakeImageDisks(const std::wstring& folder) { return std::make_unique<ImageDisks>(folder); }

}  // namespace partlink
