#include "power.h"

namespace tw {
namespace power {
namespace {
Hooks g_hooks;
}

void SetHooks(const Hooks& hooks) { g_hooks = hooks; }

bool GetStatus(SYSTEM_POWER_STATUS* status) {
  auto get = g_hooks.getStatus ? g_hooks.getStatus : ::GetSystemPowerStatus;
  return status && get(status) != FALSE;
}

void KeepAwake::Request() {
  auto set = g_hooks.setExecutionState ? g_hooks.setExecutionState : ::SetThreadExecutionState;
  if (set(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED) != 0) active_ = true;
}

void KeepAwake::Release() {
  if (!active_) return;
  auto set = g_hooks.setExecutionState ? g_hooks.setExecutionState : ::SetThreadExecutionState;
  set(ES_CONTINUOUS);
  active_ = false;
}

}  // namespace power
}  // namespace tw
