// Drive letters and their numbers (1 = A to 26 = Z).
#pragma once

#include <cstdint>

namespace partlink {

// The number of the highest free letter from Z down to C in a mask of used
// letters (bit 0 = A); 0 when all of them are used. A and B are never chosen.
int32_t HighestFreeDriveNumber(uint32_t usedMask);

// Letter of a drive number from 1 to 26; the character 0 for any other number.
wchar_t DriveLetterOfNumber(int32_t number);

// Number of a drive letter A to Z (either case); 0 for any other character.
int32_t DriveNumberOfLetter(wchar_t letter);

}  // namespace partlink
