// The command line of partlink: every argument is upper-cased and compared
// with the options as a whole; "/VIEW:" and "/UNMAP2:" are prefixes followed
// by a decimal number. The last operation option wins; "/LOG" may stand
// anywhere. Unknown arguments (the program's own path among them) are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace partlink {

enum class Operation : int {
  None = 0,
  View = 1,    // "/VIEW:" n
  Show = 2,    // "/SHOW"
  Hide = 3,    // "/HIDE"
  Map = 4,     // "/MAP"
  UnMap = 5,   // "/UNMAP"
  MapReg = 6,  // "/MAPREG"
  Map2 = 7,    // "/MAP2"
  UnMap2 = 8,  // "/UNMAP2:" n
  Map3 = 9,    // "/MAP3"
  UnMap3 = 10  // "/UNMAP3"
};

struct Options {
  // 1 = quiet, 0 = progress and error lines are printed ("/LOG").
  int outputSwitch = 1;
  Operation operation = Operation::None;
  int32_t viewDisk = 0;    // the number after "/VIEW:"
  int32_t unmapDrive = 0;  // the number after "/UNMAP2:", 1 = A to 26 = Z
};

Options ParseOptions(const std::vector<std::wstring>& args);

}  // namespace partlink
