#include "core/drive_letters.h"

namespace partlink {

int32_t HighestFreeDriveNumber(uint32_t usedMask) {
  for (int32_t number = 26; number >= 3; --number) {
    if ((usedMask & (1u << (number - 1))) == 0) return number;
  }
  return 0;
}

wchar_t DriveLetterOfNumber(int32_t number) {
  if (number < 1 || number > 26) return L'\0';
  return static_cast<wchar_t>(L'A' + number - 1);
}

int32_t DriveNumberOfLetter(wchar_t letter) {
  if (letter >= L'A' && letter <= L'Z') return letter - L'A' + 1;
  if (letter >= L'a' && letter <= L'z') return letter - L'a' + 1;
  return 0;
}

}  // namespace partlink
