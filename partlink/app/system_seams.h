// The system's own disks and WMI service (see seams.h).
#pragma once

#include <memory>

#include "app/seams.h"

namespace partlink {

std::unique_ptr<DiskSystem> MakeSystemDisks();
std::unique_ptr<WmiService> MakeComWmi();

}  // namespace partlink
