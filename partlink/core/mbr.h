// The master boot record's partition table: decoding the four entries of
// sector 0 and finding the hidden recovery partition (type 0x27) in them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace partlink {

constexpr size_t kSectorSize = 512;
using Sector = std::array<uint8_t, kSectorSize>;

constexpr size_t kMbrTableOffset = 446;  // 0x1BE
constexpr size_t kMbrEntrySize = 16;
constexpr int kMbrEntryCount = 4;

constexpr uint8_t kTypeRecovery = 0x27;  // hidden recovery partition
constexpr uint8_t kTypeShown = 0x07;     // what showing the partition writes
constexpr uint8_t kTypeExtended = 0x05;
constexpr uint8_t kTypeExtendedLba = 0x0F;

struct MbrEntry {
  uint8_t bootIndicator = 0;
  uint8_t type = 0;
  uint32_t firstSector = 0;
  uint32_t sectorCount = 0;

  // An entry counts only when its type, first sector and length are set.
  bool Used() const { return type != 0 && firstSector != 0 && sectorCount != 0; }
};

// Little-endian loads of the four entries, in table order.
std::array<MbrEntry, kMbrEntryCount> DecodeMbrEntries(const Sector& sector);

// Outcome codes shared with the exit codes of the tool.
constexpr uint32_t kCodeTargetNotFound = 268;
constexpr uint32_t kCodeTooFewPartitions = 269;

struct MbrTargetSearch {
  uint32_t code = kCodeTargetNotFound;  // 0, 268 or 269
  uint8_t type = 0;                     // the target's type byte
  int32_t partitionId = 0;              // number in \Device\HarddiskN\PartitionM
  int32_t mbrIndex = 0;                 // 1 to 4
  int used = 0;                         // used entries
  int extended = 0;                     // used extended entries
  int forwardExtended = 0;              // used extended entries before the target
};

// Walks the four entries: the first used entry of type 0x27 is the target.
// Its partition ID skips the extended entries in front of it, which the
// system does not number as partitions.
MbrTargetSearch FindMbrTarget(const Sector& sector);

// True when index names an entry of the table (1 to 4).
bool IsMbrIndex(int32_t index);

// Byte offset of the type byte of entry index (1 to 4).
size_t MbrTypeOffset(int32_t index);

}  // namespace partlink
