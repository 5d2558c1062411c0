// The check of one deployment folder as the wizard placed there would see
// it. Reads only: it starts no program and writes nothing in the
// deployment (the wizard's readers write their log entries into the log
// ring, as they do for the wizard).
#pragma once

#include <string>

#include "core/report.h"

namespace tc {

// Fills `report` with the check of `folder` (a full path without trailing
// backslash).
void CheckDeployment(const std::wstring& folder, Report& report);

}  // namespace tc
