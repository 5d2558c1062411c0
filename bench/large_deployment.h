// A large, realistic deployment for the benchmarks: a disc-set file of ten
// sets, each with ten DVD and five BD tasks of every type, over recovery
// data with real file trees of some thousands of files (and the realistic
// recovery image and ISO of the generator, whose members are sparse).
#pragma once

#include <cstdint>
#include <string>

namespace twbench {

struct LargeDeployment {
  std::string error;         // empty on success
  std::wstring tarnSetText;  // the disc-set file, CR LF lines
  uint64_t files = 0;        // files written below the recovery root
  uint32_t sets = 0, dvdTasks = 0, bdTasks = 0;
};

// Writes the recovery data below `root` (the recovery drive's root, with
// "Recovery" below it; `staticDir` holds the sample's fixed texts) and
// returns the disc-set file that points at it with "?:\" paths. Some
// discs are marked as made, as on a machine where a set was begun.
LargeDeployment WriteLargeDeployment(const std::wstring& root, const std::wstring& staticDir);

}  // namespace twbench
