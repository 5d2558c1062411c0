#include "app/disk.h"

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/console.h"
#include "app/seams.h"
#include "app/wmi.h"
#include "core/messages.h"
#include "core/text.h"

namespace partlink {
namespace {

// The layout record as the driver writes it: a 48-byte header, then one
// 144-byte partition record per partition.
static_assert(sizeof(PARTITION_INFORMATION_EX) == 144, "partition record size");
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) == 48, "layout header size");
static_assert(offsetof(PARTITION_INFORMATION_EX, StartingOffset) == 8, "partition record offsets");
static_assert(offsetof(PARTITION_INFORMATION_EX, Gpt) == 32, "partition record offsets");

constexpr DWORD kLayoutBufferStep = 256;
// A layout never needs more; a driver that keeps asking for more is refused.
constexpr DWORD kLayoutBufferLimit = 1024 * 1024;

std::wstring DiskPath(int32_t disk) { return Format(L"\\\\.\\PHYSICALDRIVE%1d", {disk & 0xFF}); }

Guid GuidOf(const GUID& g) {
  Guid out;
  out.data1 = g.Data1;
  out.data2 = g.Data2;
  out.data3 = g.Data3;
  for (int i = 0; i < 8; ++i) out.data4[i] = g.Data4[i];
  return out;
}

// Converts the driver's record, reading no further than it returned.
DiskLayout LayoutOf(const std::vector<uint64_t>& buffer, DWORD returned) {
  const auto* raw = reinterpret_cast<const DRIVE_LAYOUT_INFORMATION_EX*>(buffer.data());
  DiskLayout layout;
  layout.style = static_cast<PartitionStyle>(raw->PartitionStyle);
  const size_t header = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry);
  size_t fits = returned >= header ? (returned - header) / sizeof(PARTITION_INFORMATION_EX) : 0;
  size_t count = raw->PartitionCount < fits ? raw->PartitionCount : fits;
  for (size_t i = 0; i < count; ++i) {
    const PARTITION_INFORMATION_EX& e = raw->PartitionEntry[i];
    LayoutPartition p;
    p.startingOffset = static_cast<uint64_t>(e.StartingOffset.QuadPart);
    p.length = static_cast<uint64_t>(e.PartitionLength.QuadPart);
    p.partitionNumber = e.PartitionNumber;
    if (e.PartitionStyle == PARTITION_STYLE_GPT) {
      p.typeGuid = GuidOf(e.Gpt.PartitionType);
    } else if (e.PartitionStyle == PARTITION_STYLE_MBR) {
      p.mbrType = e.Mbr.PartitionType;
      p.bootIndicator = e.Mbr.BootIndicator != 0;
    }
    layout.partitions.push_back(p);
  }
  return layout;
}

// The line of a failed system call, with its error.
void PrintFailed(const wchar_t* call, DWORD error) {
  Print(Format(L"ERROR : Failed %s() - 0x%08X\n", {call, error}));
}

// Opens a disk or volume for reading; prints the failure.
std::unique_ptr<DiskDevice> OpenForReading(const std::wstring& path) {
  auto device = Disks().Open(path, DiskAccess::Read);
  if (!device) PrintFailed(L"CreateFile", ::GetLastError());
  return device;
}

// Opens the disk or volume, asks for its partition information and closes
// it again: 0, or 270 when it cannot be opened and 287 when the query
// fails, after printing the failure.
uint32_t QueryPartitionInfo(const std::wstring& path, PARTITION_INFORMATION_EX& info) {
  const auto device = OpenForReading(path);
  if (!device) return 270;
  DWORD returned = 0;
  if (!device->Control(IOCTL_DISK_GET_PARTITION_INFO_EX, &info, sizeof(info), returned)) {
    PrintFailed(L"DeviceIoControl", ::GetLastError());
    return 287;
  }
  return 0;
}

// Prints the line of a failed target search and passes its code on.
uint32_t TargetSearchFailed(uint32_t code) {
  Print(code == kCodeTargetNotFound ? L"ERROR : Target Partition not Found\n"
                                    : L"ERROR : Few partition in system disk\n");
  return code;
}

}  // namespace

TargetResults& Target() {
  static TargetResults results;
  return results;
}

uint32_t _ReadSector(int32_t disk, Sector& buffer, uint64_t sector) {
  auto device = Disks().Open(DiskPath(disk), DiskAccess::Read);
  if (!device) return 270;
  if (!device->SetPosition(sector * kSectorSize)) return 271;
  DWORD done = 0;
  // A short read is a failed read: a sector written back later must be whole.
  if (!device->Read(buffer.data(), kSectorSize, done) || done != kSectorSize) return 272;
  return 0;
}

uint32_t _WriteSector(int32_t disk, const Sector& buffer, uint64_t sector) {
  auto device = Disks().Open(DiskPath(disk), DiskAccess::Write);
  if (!device) return 273;
  if (!device->SetPosition(sector * kSectorSize)) return 274;
  DWORD done = 0;
  if (!device->Write(buffer.data(), kSectorSize, done) || done != kSectorSize) return 275;
  return 0;
}

int _isGPTDisk(int32_t disk) {
  PARTITION_INFORMATION_EX info{};
  if (QueryPartitionInfo(DiskPath(disk), info) != 0 || info.PartitionStyle != PARTITION_STYLE_GPT) return 0;
  Print(L"This is GPT Disk.\n");
  return 1;
}

uint32_t QueryGptLayout(int32_t disk, DiskLayout& layout) {
  bool haveLayout = false;
  {
    const auto device = OpenForReading(DiskPath(disk));
    if (!device) return 270;
    for (DWORD size = kLayoutBufferStep; size <= kLayoutBufferLimit; size += kLayoutBufferStep) {
      std::vector<uint64_t> buffer(size / sizeof(uint64_t));
      DWORD returned = 0;
      if (device->Control(IOCTL_DISK_GET_DRIVE_LAYOUT_EX, buffer.data(), size, returned)) {
        layout = LayoutOf(buffer, returned);
        haveLayout = true;
        break;
      }
      const DWORD error = ::GetLastError();
      if (error != ERROR_INSUFFICIENT_BUFFER || size + kLayoutBufferStep > kLayoutBufferLimit) {
        PrintFailed(L"DeviceIoControl", error);
        break;
      }
    }
  }
  if (!haveLayout) {
    Print(L"ERROR : Can't get Layout data.\n");
    return 287;
  }
  if (layout.style != PartitionStyle::Gpt) {
    Print(L"ERROR : This is not GPT Disk.\n");
    return 286;
  }
  return 0;
}

uint32_t _viewMBR(int32_t disk) {
  Print(Format(L"Enter : _viewMBR(%d)\n", {disk}));
  if (_isGPTDisk(disk)) {
    Print(L"Target drive is GPT.\n");
    return _viewGPT(disk);
  }
  Sector sector{};
  const uint32_t read = _ReadSector(disk, sector, 0);
  if (read != 0) return read;
  PrintAlways(kMbrViewHeader);
  PrintAlways(kMbrViewRule);
  const auto entries = DecodeMbrEntries(sector);
  for (int i = 0; i < kMbrEntryCount; ++i) PrintAlways(MbrViewRow(i, entries[static_cast<size_t>(i)]));
  Print(L"SUCCEDD : _viewMBR\n");
  return 0;
}

uint32_t _viewGPT(int32_t disk) {
  DiskLayout layout;
  const uint32_t query = QueryGptLayout(disk, layout);
  if (query != 0) return query;
  PrintAlways(kGptViewHeader);
  PrintAlways(kGptViewRule);
  for (size_t i = 0; i < layout.partitions.size(); ++i) {
    PrintAlways(GptViewRow(static_cast<int>(i), layout.partitions[i]));
  }
  Print(L"SUCCEDD : _viewGPT\n");
  return 0;
}

uint32_t _getTargetPartitionID(int32_t disk) {
  Print(Format(L"Enter : _getTargetPartitionID(%d)\n", {disk}));
  Target() = TargetResults{};

  if (_isGPTDisk(disk)) {
    Print(L"ERROR : target drive is GPT.\n");
    DiskLayout layout;
    const uint32_t query = QueryGptLayout(disk, layout);
    if (query != 0) return query;
    const GptTargetSearch search = FindGptTarget(layout);
    if (search.code != 0) return TargetSearchFailed(search.code);
    Target().fileSystemId = kTypeRecovery;
    Target().partitionId = search.partitionNumber;
    Target().mbrIndex = search.partitionNumber;
    Print(Format(L"Found Target Drive \n PartID = %d \n FileSystem = %08X \n",
                 {Target().partitionId, Target().fileSystemId}));
    return 0;
  }

  Sector sector{};
  const uint32_t read = _ReadSector(disk, sector, 0);
  if (read != 0) {
    Print(L"ERROR : failed _ReadSector()\n");
    return read;
  }
  const MbrTargetSearch search = FindMbrTarget(sector);
  if (search.code != 0) return TargetSearchFailed(search.code);
  Target().fileSystemId = search.type;
  Target().partitionId = search.partitionId;
  Target().mbrIndex = search.mbrIndex;
  Print(Format(L"Found Target Drive \n PartID = %d \n FileSystem = %08X \n", {search.partitionId, search.type}));
  Print(Format(L"MBR Indx. of Target = %d \n Number of ExtPart. = %d \n", {search.mbrIndex, search.extended}));
  Print(Format(L"Number of Forward Ext Part = %d \n", {search.forwardExtended}));
  Print(L"SUCCESS : _getTargetPartitionID\n");
  return 0;
}

uint32_t _getFileSystemID(int32_t disk, int32_t mbrIndex, uint8_t& type) {
  Print(Format(L"Enter : _getFileSystemID(%d, %d)\n", {disk, mbrIndex}));
  if (_isGPTDisk(disk)) {
    Print(L"target drive is GPT.\n");
    DiskLayout layout;
    const uint32_t query = QueryGptLayout(disk, layout);
    if (query != 0) return query;
    if (mbrIndex < 1 || layout.partitions.size() < static_cast<size_t>(mbrIndex)) {
      Print(L"ERROR : Partition not found.\n");
      return kCodeTargetNotFound;
    }
    const LayoutPartition& p = layout.partitions[static_cast<size_t>(mbrIndex - 1)];
    Print(GuidRegistryText(p.typeGuid) + L".\n");
    type = ReportedGptType(p.typeGuid);
    return 0;
  }
  // Only the four entries of the table can be asked for.
  if (!IsMbrIndex(mbrIndex)) {
    Print(L"ERROR : Partition not found.\n");
    return kCodeTargetNotFound;
  }
  Sector sector{};
  const uint32_t read = _ReadSector(disk, sector, 0);
  if (read != 0) {
    Print(L"ERROR : failed _ReadSector()\n");
    return read;
  }
  type = sector[MbrTypeOffset(mbrIndex)];
  Print(Format(L"Partition ID = %X\n", {type}));
  Print(Format(L"SUCCESS : _getFileSystemID(%d, %d)\n", {disk, mbrIndex}));
  return 0;
}

uint32_t _SetPartitionID(int32_t disk, int32_t mbrIndex, uint8_t type) {
  Print(Format(L"Enter :_SetPartitionID(Drv:%d, Partition:%d, ID:%02X\n\n", {disk, mbrIndex, type}));
  if (_isGPTDisk(disk)) {
    Print(L"ERROR : target drive is GPT.\n");
    return 286;
  }
  if (!IsMbrIndex(mbrIndex)) {
    Print(L"ERROR : Partition not found.\n");
    return kCodeTargetNotFound;
  }
  Sector sector{};
  const uint32_t read = _ReadSector(disk, sector, 0);
  if (read != 0) {
    Print(L"ERROR : failed _ReadSector\n");
    return read;
  }
  sector[MbrTypeOffset(mbrIndex)] = type;
  const uint32_t written = _WriteSector(disk, sector, 0);
  if (written != 0) {
    Print(L"ERROR : failed _WriteSector\n");
    return written;
  }
  Print(Format(L"Exit :_SetPartitionID(Drv:%d, Partition:%d, ID:%02X\n\n", {disk, mbrIndex, type}));
  return 0;
}

uint32_t _getVolumePartNumber(wchar_t letter) {
  PARTITION_INFORMATION_EX info{};
  const uint32_t query = QueryPartitionInfo(Format(L"\\\\.\\%c:", {FormatArg::Char(letter)}), info);
  if (query != 0) return query;
  if (info.PartitionStyle != PARTITION_STYLE_GPT) {
    Print(L"This is not GPT Disk.\n");
    return 286;
  }
  Print(Format(L"PartitionNumber - 0x%08X\n", {info.PartitionNumber}));
  LookupTexts().partitionIndex = Format(L"%d", {static_cast<int32_t>(info.PartitionNumber) - 1});
  return 0;
}

}  // namespace partlink
