// The disc information file: the job description the burning engine reads
// for one disc (window titles, what to write and from where, drive, disc
// type, speed, volume label).
#pragma once

#include <cstdint>
#include <string>

#include "steps/disc_entry.h"

namespace MkDiscDlg {

// Writes the file at `path` (replacing what is there) in UTF-16 with a byte
// order mark. `driveRoot` is "E:\" of the chosen drive, `discType` 0 DVD or
// 1 BD, `listPath` the burn file list of the same disc. The window titles are
// the application name that start-up loaded into tw::Settings().AppName.
// On false one log entry names the cause and the file is incomplete.
bool CreateDiscInfoFile(const std::wstring& path, const std::wstring& driveRoot, int32_t discType,
                        const std::wstring& listPath, const DiscEntry& entry);

}  // namespace MkDiscDlg
