// Process-wide settings that start-up loads once from the action settings
// file and keeps until exit. Until then they hold the file's defaults.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

struct ProcessSettings {
  // Pixels per logical inch of the screen, read once at start-up; every
  // layout value given at 96 is scaled by these.
  int32_t LogPixelsX = 96;
  int32_t LogPixelsY = 96;
  // Writable capacity of one disc, in units of 2^20 bytes.
  uint32_t Dvd1SizeMiB = 4300;
  uint32_t Bd1SizeMiB = 23700;
  // Read every made disc back before it counts as made.
  bool VerifyDisc = false;
  // Where the recovery-data drive letter is recorded (HKLM, 32-bit view).
  std::wstring StorageDriveRegKey;
  std::wstring StorageDriveRegValueName;
  // Accepted ImageInfo values of a recovery image (both empty: any).
  std::wstring ImageInfo32;
  std::wstring ImageInfo64;
  // Language text "AppName" (section "Application"): also the window title
  // the burning engine shows, through the disc information file.
  std::wstring AppName;
};

ProcessSettings& Settings();

}  // namespace tw
