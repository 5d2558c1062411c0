// Reading a made disc back through its drive and comparing it with what the
// disc's burn file list asked for: every file byte for byte, every empty
// folder, and for an image disc the drive's sectors against the image.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "steps/core/disc_verify.h"

namespace tw {
namespace verify {

// Where the comparison reports its bytes and learns of a Cancel; called on
// the comparing thread.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void Total(uint64_t bytes) = 0;  // once, before the first Advance
  virtual void Advance(uint64_t bytes) = 0;
  virtual bool Cancelled() const = 0;
};

// What a test build stands in for: the drive's sectors (Wine serves no raw
// reads of a drive whose disc is a folder) and the pace of the reads (a
// test's disc of a few megabytes is read before anyone can press Cancel).
struct Hooks {
  HANDLE (*openRawDrive)(wchar_t driveLetter) = nullptr;  // INVALID_HANDLE_VALUE with the last error on failure
  void (*beforeRead)(uint32_t bytes) = nullptr;  // before each block of the disc side is read
};
void SetHooks(const Hooks& hooks);

// Compares the disc in drive `driveLetter` with the burn file list at
// `listPath`. Every outcome but kVerified names the item and, where it
// applies, the byte or the system's error (LogText words it).
Result VerifyDisc(wchar_t driveLetter, const std::wstring& listPath, Progress& progress);

}  // namespace verify
}  // namespace tw
