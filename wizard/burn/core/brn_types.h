// What the wizard knows of the burning product: one optical drive as its
// interface library reports it, and the class of an engine exit code.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>

// One optical drive that can write DVDs.
struct OddInfo {
  wchar_t DriveLetter = 0;   // first character of the drive's letter field
  std::wstring DriveName;    // display name as the library gives it
  bool DvdWritable = false;  // code 101, 102, 103 or 104 (every stored drive)
  bool Flag105 = false;      // code 105
  bool BdWritable = false;   // code 201 or 202
  bool Flag203 = false;      // code 203 or 204
  bool Flag205 = false;      // code 205 or 206
  bool Flag207 = false;      // code 207
};

// Class of an engine exit code; the last three are failures in that phase.
enum class BrnResultType : int32_t {
  Unknown = 0,
  Success = 1,
  Abort = 2,
  Preparing = 3,
  Burning = 4,
  Verifying = 5,
};
