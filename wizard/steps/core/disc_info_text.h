// Content of the disc information file: the lines the burning engine reads
// to learn its window titles, what to write, where the burn file list lies,
// which drive and disc type to use and the volume label.
// No platform headers: this compiles natively as well as for Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/core/disc_entry.h"

namespace tw {

// "WritingType" of an entry type: 0 "ISO", 1 and 2 "Files" (an image set is
// written as plain files), 3 "Files_Bootable"; nothing for any other value,
// negative ones included.
std::optional<std::wstring> WritingTypeOf(int32_t type);

// "Disc" of a disc type: 0 "DVD_1", 1 "BD_1"; nothing for any other value.
std::optional<std::wstring> DiscTypeKeyOf(int32_t discType);

// Root of a drive, "E:\" for E.
std::wstring DriveRootOf(wchar_t letter);

// The file's lines in order, each with its CR LF. When a value is out of
// range the layout stops there: `lines` holds what comes before it and
// `failure` the log message; the file is then written up to that point and
// reported as failed.
struct DiscInfoLayout {
  std::vector<std::wstring> lines;
  std::optional<std::wstring> failure;
};

DiscInfoLayout LayOutDiscInfo(const std::wstring& appName, const std::wstring& driveRoot, int32_t discType,
                              const std::wstring& listPath, const DiscEntry& entry);

// The line text without its CR LF (for log entries, which are one line each).
std::wstring WithoutLineEnd(const std::wstring& line);

}  // namespace tw
