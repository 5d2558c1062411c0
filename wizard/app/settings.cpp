#include "settings.h"

namespace tw {
ProcessSettings& Settings() {
  static ProcessSettings settings;
  return settings;
}
}  // namespace tw
