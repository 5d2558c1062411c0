// The support staff's view of the wizard's log ring: one row per entry in
// aligned columns (time, process, thread, function, line, message), and the
// entries from a given time on.
#pragma once

#include <string>
#include <vector>

#include "app/core/log_format.h"

namespace tc {

// A header row and one row per entry; numbers right aligned, the message
// last and never padded. Tabs and line breaks inside a field show as blanks.
std::wstring FormatLogTable(const std::vector<tw::LogEntry>& entries);

// A time as the log writes it, "YYYY-MM-DD hh:mm:ss.mmm", cut after any of
// its parts ("2026-12-07", "2026-12-07 10:30"); "T" may stand for the blank.
// False when the text is no such time. `normalized` gets it with the blank.
bool ParseLogTime(const std::wstring& text, std::wstring* normalized);

// The entries at or after `since` (a normalized time; the parts it leaves
// out count as zero), in the order given.
std::vector<tw::LogEntry> EntriesSince(const std::vector<tw::LogEntry>& entries, const std::wstring& since);

}  // namespace tc
