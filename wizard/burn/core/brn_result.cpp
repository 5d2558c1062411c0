#include "burn/core/brn_result.h"

namespace tw {

BrnResultType ClassifyBrnExitCode(uint32_t code) {
  auto in = [code](uint32_t first, uint32_t last) { return code >= first && code <= last; };
  if (code == 0) return BrnResultType::Success;
  if (in(310, 313) || code == 325) return BrnResultType::Abort;
  if (in(1, 2) || in(100, 111) || in(113, 114) || code == 119 || code == 200 || in(300, 309) || in(314, 319) ||
      code == 326) {
    return BrnResultType::Preparing;
  }
  if (in(115, 116) || in(320, 322)) return BrnResultType::Burning;
  if (in(117, 118) || in(323, 324)) return BrnResultType::Verifying;
  return BrnResultType::Unknown;
}

}  // namespace tw
