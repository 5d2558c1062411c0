// The power status and the request that keeps the computer awake, in one
// place so that a test build can stand in for them: Wine always reports
// mains power and has no real sleep. The shipped program never installs
// hooks, so it always asks the system.
#pragma once

#include <windows.h>

namespace tw {
namespace power {

struct Hooks {
  BOOL(WINAPI* getStatus)(LPSYSTEM_POWER_STATUS) = nullptr;
  EXECUTION_STATE(WINAPI* setExecutionState)(EXECUTION_STATE) = nullptr;
};
// Replaces the system calls (a null member keeps the system's).
void SetHooks(const Hooks& hooks);

bool GetStatus(SYSTEM_POWER_STATUS* status);

// While one lives, the system neither sleeps nor turns the display off
// (for the calling thread's request); released on every path.
class KeepAwake {
 public:
  KeepAwake() = default;
  ~KeepAwake() { Release(); }
  KeepAwake(const KeepAwake&) = delete;
  KeepAwake& operator=(const KeepAwake&) = delete;
  void Request();
  void Release();
  bool active() const { return active_; }

 private:
  bool active_ = false;
};

}  // namespace power
}  // namespace tw
