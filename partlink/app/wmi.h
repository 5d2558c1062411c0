// Drive lookup through WMI: which physical disk and partition lie behind a
// drive letter, and which physical disk holds drive C.
#pragma once

#include <cstdint>
#include <string>

namespace partlink {

// The texts of the last lookup, emptied when the next one starts.
struct WmiLookupTexts {
  std::wstring diskNumber;      // after "Disk #"
  std::wstring partitionIndex;  // after "Partition #" (from 0); on GPT disks the partition number - 1
  std::wstring systemDiskName;  // e.g. "PHYSICALDRIVE0"
};
WmiLookupTexts& LookupTexts();

uint32_t _initWMI();
uint32_t _termWMI();
uint32_t _DrvLetter2PartID(wchar_t letter);
uint32_t _getSystemDriveID();

}  // namespace partlink
