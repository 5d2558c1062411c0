#include "core/mbr.h"

namespace partlink {
namespace {

uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

std::array<MbrEntry, kMbrEntryCount> DecodeMbrEntries(const Sector& sector) {
  std::array<MbrEntry, kMbrEntryCount> entries{};
  for (int i = 0; i < kMbrEntryCount; ++i) {
    const uint8_t* e = sector.data() + kMbrTableOffset + static_cast<size_t>(i) * kMbrEntrySize;
    entries[static_cast<size_t>(i)].bootIndicator = e[0];
    entries[static_cast<size_t>(i)].type = e[4];
    entries[static_cast<size_t>(i)].firstSector = LoadLe32(e + 8);
    entries[static_cast<size_t>(i)].sectorCount = LoadLe32(e + 12);
  }
  return entries;
}

MbrTargetSearch FindMbrTarget(const Sector& sector) {
  MbrTargetSearch result;
  const auto entries = DecodeMbrEntries(sector);
  int targetPosition = -1;
  for (int i = 0; i < kMbrEntryCount; ++i) {
    const MbrEntry& entry = entries[static_cast<size_t>(i)];
    if (!entry.Used()) continue;
    ++result.used;
    if (entry.type == kTypeRecovery && targetPosition < 0) targetPosition = i;
    if (entry.type == kTypeExtended || entry.type == kTypeExtendedLba) {
      ++result.extended;
      if (targetPosition < 0) ++result.forwardExtended;
    }
  }
  if (targetPosition < 0) {
    result.code = kCodeTargetNotFound;
    return result;
  }
  if (result.used < 2) {
    result.code = kCodeTooFewPartitions;
    return result;
  }
  result.code = 0;
  result.type = entries[static_cast<size_t>(targetPosition)].type;
  result.partitionId = targetPosition - result.forwardExtended + 1;
  result.mbrIndex = targetPosition + 1;
  return result;
}

bool IsMbrIndex(int32_t index) { return index >= 1 && index <= kMbrEntryCount; }

size_t MbrTypeOffset(int32_t index) {
  return kMbrTableOffset + static_cast<size_t>(index - 1) * kMbrEntrySize + 4;
}

}  // namespace partlink
