// Reads the log ring back in order, oldest entry first (for tests and
// support staff).
#pragma once

#include <string>
#include <vector>

#include "core/log_format.h"

namespace tw {

struct NumberedLogEntry {
  unsigned index = 0;  // key number 1..1000
  LogEntry entry;
};

// Entries of the log file at `path` (default: the machine-wide log), from
// the oldest to the newest; lines that do not have seven fields are left out.
std::vector<NumberedLogEntry> ReadLogRing(const std::wstring& path = std::wstring());

// The counter "LastLogIndex" (0 when absent).
unsigned ReadLastLogIndex(const std::wstring& path = std::wstring());

// Collects what was logged after its construction (at most one full ring).
class LogWatch {
 public:
  LogWatch();
  std::vector<LogEntry> NewEntries() const;
  // Entries since construction written under `function`.
  std::vector<LogEntry> EntriesOf(const std::wstring& function) const;

 private:
  std::wstring path_;
  unsigned startIndex_ = 0;
};

}  // namespace tw
