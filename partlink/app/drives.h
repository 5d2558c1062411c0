// Map, unmap, hide and show: the operations the options of partlink run.
// Each returns the exit code of the run.
#pragma once

#include <cstdint>

namespace partlink {

// Where map operations record the letter: HKLM in the 32-bit view.
extern const wchar_t kRecordKey[];   // "SOFTWARE\Norvane\ZRV_PARTLINK"
extern const wchar_t kRecordDrv[];   // "DRV"  ("/MAPREG", "/UNMAP")
extern const wchar_t kRecordDrv3[];  // "DRV3" ("/MAP3", "/UNMAP3")

// The drive number (3 to 26) of the highest free letter, or 281 or 282.
uint32_t _getAvailableDriveLetter(wchar_t& letter);
uint32_t _MapDrive(int32_t disk, int32_t partitionId, wchar_t letter);
uint32_t _UnmapDrive(wchar_t letter);

uint32_t _Map(bool withRecord);
uint32_t _Map2();
uint32_t _Map3();
uint32_t _UnMap();
uint32_t _UnMap2(int32_t driveNumber);
uint32_t _UnMap3();
uint32_t _chgPatID(uint8_t type);

}  // namespace partlink
