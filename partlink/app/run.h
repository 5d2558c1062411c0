// One run of partlink: parse the arguments, run the chosen operation and
// return its result as the exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace partlink {

constexpr uint32_t kCodeNoOperation = 279;
constexpr uint32_t kCodeStartupFailed = 280;

// args are all arguments, the program's own path included.
uint32_t RunPartlink(const std::vector<std::wstring>& args);

}  // namespace partlink
