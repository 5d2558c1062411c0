// gendata: writes the sample recovery data below a root folder.
//
//   gendata --small|--realistic [--clean] [--static DIR | --no-static] ROOT
//
// ROOT becomes the recovery data drive: the sample disc-set file names its
// content as "?:\Recovery\...". --small writes a few MiB of real bytes
// (demo, end-to-end runs); --realistic writes multi-GB members as sparse
// files (packing tests, benchmarks). --clean removes ROOT/Recovery first.
// The fixed texts of the deployment (task descriptions, the task's own
// exclusion list) are copied from DIR, by default the repository's
// demo/deployment/recovery.
#include <cstdio>
#include <cstring>
#include <string>

#include "gendata.h"

#ifndef TW_DEPLOYMENT_RECOVERY_DIR
#define TW_DEPLOYMENT_RECOVERY_DIR ""
#endif

namespace {
int Usage() {
  std::fprintf(stderr,
               "usage: gendata --small|--realistic [--clean] [--static DIR | --no-static] ROOT\n"
               "  --small       a few MiB of real bytes (demo, end-to-end runs)\n"
               "  --realistic   multi-GB members as sparse files (packing tests, benchmarks)\n"
               "  --clean       remove ROOT/Recovery before writing\n"
               "  --static DIR  copy the fixed deployment texts from DIR (default: %s)\n"
               "  --no-static   do not copy them\n",
               TW_DEPLOYMENT_RECOVERY_DIR);
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  bool haveScale = false;
  gendata::Scale scale = gendata::Scale::Small;
  bool clean = false;
  std::string staticDir = TW_DEPLOYMENT_RECOVERY_DIR;
  std::string root;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--small" || arg == "--realistic") {
      if (haveScale) return Usage();
      haveScale = true;
      scale = arg == "--small" ? gendata::Scale::Small : gendata::Scale::Realistic;
    } else if (arg == "--clean") {
      clean = true;
    } else if (arg == "--static" && i + 1 < argc) {
      staticDir = argv[++i];
    } else if (arg == "--no-static") {
      staticDir.clear();
    } else if (!arg.empty() && arg[0] != '-' && root.empty()) {
      root = arg;
    } else {
      return Usage();
    }
  }
  if (!haveScale || root.empty()) return Usage();

  const gendata::Result result = gendata::Generate(scale, std::filesystem::u8path(root),
                                                   std::filesystem::u8path(staticDir), clean);
  if (!result.ok) {
    std::fprintf(stderr, "gendata: %s\n", result.error.c_str());
    return 2;
  }
  std::printf("gendata: %llu files, %.1f MiB%s below %s\n", static_cast<unsigned long long>(result.files),
              static_cast<double>(result.bytes) / (1024.0 * 1024.0),
              scale == gendata::Scale::Realistic ? " (sparse)" : "", root.c_str());
  return 0;
}
