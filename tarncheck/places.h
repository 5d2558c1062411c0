// The places the elevated wizard reads or runs from, and who besides the
// administrators may change them.
#pragma once

#include <string>
#include <vector>

#include "core/report.h"

namespace tc {

struct Place {
  std::wstring path;  // full path of a file or folder
  std::wstring role;  // "the program folder", "Tarnwright_Act.ini", ...
};

// One part of the report: every place that exists, once (roles of the same
// path joined), with an ERROR for each that an account other than SYSTEM,
// Administrators and TrustedInstaller may change, naming the accounts and
// their rights.
void CheckWritablePlaces(const std::vector<Place>& places, Report& report);

}  // namespace tc
