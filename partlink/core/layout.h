// A disk's partition layout as a plain value (what the driver's layout query
// reports), the GUID text in registry form, and the recovery-partition search
// over a GPT layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace partlink {

struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};
bool operator==(const Guid& a, const Guid& b);
inline bool operator!=(const Guid& a, const Guid& b) { return !(a == b); }

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hex.
std::wstring GuidRegistryText(const Guid& guid);
// A GUID stored on disk: the first three fields little-endian, then 8 bytes.
Guid GuidFromDiskBytes(const uint8_t* bytes);

// Type GUID of the recovery partition on GPT disks.
extern const Guid kRecoveryTypeGuid;

enum class PartitionStyle : uint32_t { Mbr = 0, Gpt = 1, Raw = 2 };

struct LayoutPartition {
  uint64_t startingOffset = 0;  // bytes
  uint64_t length = 0;          // bytes
  uint32_t partitionNumber = 0;
  Guid typeGuid;                // GPT only
  uint8_t mbrType = 0;          // MBR only
  bool bootIndicator = false;   // MBR only
};

struct DiskLayout {
  PartitionStyle style = PartitionStyle::Raw;
  std::vector<LayoutPartition> partitions;
};

struct GptTargetSearch {
  uint32_t code = 268;          // 0, 268 (no target) or 269 (fewer than two used)
  int32_t partitionNumber = 0;  // of the target
  int used = 0;
};

// The first used partition (length and starting offset non-zero) with the
// recovery type GUID is the target.
GptTargetSearch FindGptTarget(const DiskLayout& layout);

// Partition type reported for a GPT partition: 0x27 for the recovery type
// GUID, 0x07 for any other.
uint8_t ReportedGptType(const Guid& typeGuid);

}  // namespace partlink
