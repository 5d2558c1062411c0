// Writes the recovery data that the sample disc-set file points at below a
// root folder: a recovery image set, an ISO image and file trees. The same
// scale always gives the same names, sizes and bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gendata {

enum class Scale {
  Small,      // a few MiB of real bytes: for the demo and end-to-end runs
  Realistic,  // multi-GB members as sparse files: only their sizes matter
};

enum class Kind { Folder, Text, Bytes };

// One item of the layout. `relative` is UTF-8 with "/" between folders.
struct Item {
  std::string relative;
  Kind kind;
  uint64_t size;     // Bytes only
  std::string text;  // Text only, written as it is
};

// The layout of one scale, folders before their content.
std::vector<Item> Plan(Scale scale);

struct Result {
  bool ok = false;
  std::string error;
  uint64_t files = 0;
  uint64_t bytes = 0;  // apparent size of all files
};

// Writes the plan below `root` (created if needed). With `clean`, the
// folder "Recovery" below the root is removed first. A non-empty
// `staticDir` is copied over the root afterwards (the fixed texts of the
// deployment: per-task descriptions and the task's own exclusion list).
Result Generate(Scale scale, const std::filesystem::path& root, const std::filesystem::path& staticDir, bool clean);

// Deterministic content of a Bytes item: the same path and size always
// give the same bytes.
void FillBytes(const std::string& relative, uint64_t offset, unsigned char* out, size_t count);

}  // namespace gendata
