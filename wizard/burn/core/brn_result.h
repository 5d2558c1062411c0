// Sorting the burning engine's exit codes into result classes.
#pragma once

#include <cstdint>

#include "burn/core/brn_types.h"

namespace tw {

// 0 success; 310-313 and 325 aborted by the user; the preparing, burning
// and verifying failures of the engine's table; every other code Unknown.
BrnResultType ClassifyBrnExitCode(uint32_t exitCode);

}  // namespace tw
