// Disk layout access: sectors of the physical disk, the driver's layout and
// partition queries, the partition-table listings and the search for the
// hidden recovery partition. Every operation returns 0 or an exit code.
#pragma once

#include <cstdint>

#include "core/layout.h"
#include "core/mbr.h"

namespace partlink {

// Results of the last target search, cleared when a search starts.
struct TargetResults {
  uint8_t fileSystemId = 0;  // type of the target
  int32_t partitionId = 0;   // number in \Device\HarddiskN\PartitionM
  int32_t mbrIndex = 0;      // 1 to 4, or the GPT partition number
};
TargetResults& Target();

uint32_t _ReadSector(int32_t disk, Sector& buffer, uint64_t sector);
uint32_t _WriteSector(int32_t disk, const Sector& buffer, uint64_t sector);
int _isGPTDisk(int32_t disk);
uint32_t _viewMBR(int32_t disk);
uint32_t _viewGPT(int32_t disk);
uint32_t _getTargetPartitionID(int32_t disk);
uint32_t _getFileSystemID(int32_t disk, int32_t mbrIndex, uint8_t& type);
uint32_t _SetPartitionID(int32_t disk, int32_t mbrIndex, uint8_t type);
uint32_t _getVolumePartNumber(wchar_t letter);

// The driver's layout of a GPT disk: 0, 270, 287, or 286 when the disk is
// not GPT.
uint32_t QueryGptLayout(int32_t disk, DiskLayout& layout);

}  // namespace partlink
