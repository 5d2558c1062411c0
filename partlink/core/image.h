// Reading a disk image's own partition tables into the layout the driver
// would report for it. The test build of partlink answers its disk queries
// from image files with these functions; the shipped program never does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/layout.h"
#include "core/mbr.h"

namespace partlink {

constexpr uint8_t kTypeGptProtective = 0xEE;

// True when one of the four MBR entries is the protective entry of a GPT disk.
bool HasProtectiveEntry(const Sector& sector0);

struct GptHeader {
  uint64_t currentLba = 0;
  uint64_t firstUsableLba = 0;
  uint64_t lastUsableLba = 0;
  Guid diskId;
  uint64_t entriesLba = 0;
  uint32_t entryCount = 0;
  uint32_t entrySize = 0;
  uint32_t entriesCrc = 0;
};

// Upper bound on the entry array read from an image (the usual array is
// 128 entries of 128 bytes = 16 KiB).
constexpr uint64_t kMaxGptEntryArrayBytes = 1024 * 1024;

// The header at LBA 1: signature "EFI PART", a header size from 92 to 512,
// a matching header CRC, an entry size that is a multiple of 8 from 128 on,
// and an entry array of at most kMaxGptEntryArrayBytes. Nothing otherwise.
std::optional<GptHeader> ParseGptHeader(const Sector& sector1);

// Size in bytes of the entry array the header describes.
uint64_t GptEntryArrayBytes(const GptHeader& header);

// Highest LBA whose byte offset, and the byte offset after it, fit 64 bits.
constexpr uint64_t kMaxGptLba = UINT64_MAX / kSectorSize - 1;

// The partitions of the entry array (which must match the header's CRC):
// one per slot from the first up to the last used slot (type GUID not zero),
// empty slots in between included with zero offset and length, each with its
// slot number (from 1) as partition number. A used slot whose last LBA lies
// before its first has zero length; one whose first or last LBA lies beyond
// kMaxGptLba has zero offset and length: no search takes either as a
// partition. Nothing when the CRC differs or the array is shorter than the header says.
std::optional<std::vector<LayoutPartition>> ParseGptEntries(const std::vector<uint8_t>& entries,
                                                            const GptHeader& header);

// The four entries of an MBR as a layout (offsets and lengths in bytes);
// used entries are numbered from 1 in table order, others carry 0.
DiskLayout MbrLayout(const Sector& sector0);

// CRC-32 as GPT uses it (reflected, polynomial 0xEDB88320).
uint32_t Crc32(const uint8_t* data, size_t size);

// Reads "\Device\Harddisk<d>\Partition<p>" (case-insensitive, decimal
// numbers). Nothing for any other text.
struct HarddiskPartition {
  int32_t disk = 0;
  int32_t partition = 0;
};
std::optional<HarddiskPartition> ParseHarddiskPartitionPath(const std::wstring& path);

// Reads "\\.\PHYSICALDRIVE<d>" or "\\.\<letter>:" (case-insensitive).
struct DevicePathName {
  bool isDisk = false;
  int32_t disk = 0;        // isDisk
  wchar_t letter = L'\0';  // !isDisk
};
std::optional<DevicePathName> ParseDevicePath(const std::wstring& path);

}  // namespace partlink
