// The drive list of the burning product's interface library: one line per
// optical drive, "letter<TAB>name<TAB>code,code,...\n", ended by the end of
// the text or by an empty line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "burn/core/brn_types.h"

namespace tw {

enum class OddListError {
  None,
  TooManyDrives,  // a further line came when the caller's array was full
  NoLetterTab,    // the line has no TAB after its letter field
  NoNameTab,      // the line has no TAB after the drive name
  NoLineFeed,     // the code list is not closed by "\n"
};

struct OddListResult {
  std::vector<OddInfo> drives;  // DVD writers in list order, up to the failure
  OddListError error = OddListError::None;
  std::wstring logMessage;      // what to log when error != None
};

// The text of a buffer up to its first NUL, and never past its last unit,
// whether or not the library terminated it.
std::wstring TextUpToNul(const wchar_t* buffer, size_t units);

// Sets the flag that one capability code stands for; other codes are ignored.
void ApplyCapabilityCode(OddInfo& drive, uint32_t code);

// Reads the list. `capacity` is the number of records the caller can take;
// it is checked before each line, so a line that would be dropped also
// fails when the array is full. Every field is looked for within its own
// line. A drive without code 101-104, or with an empty letter field, is
// not stored. On failure the drives read before it are kept.
OddListResult ParseOddsList(const std::wstring& text, uint32_t capacity);

}  // namespace tw
