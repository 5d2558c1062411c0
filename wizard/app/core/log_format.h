// The log's line format and ring arithmetic, kept apart from the file work.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tw {

constexpr uint32_t kLogRingSize = 1000;

struct LogTime {
  uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
};

// "%04u-%02u-%02u %02u:%02u:%02u.%03u".
std::wstring FormatLogTime(const LogTime& t);

// The seven tab-separated fields of one entry:
// time, module, process id, thread id, function, source line, message.
std::wstring FormatLogLine(const LogTime& t, const std::wstring& module, int32_t processId,
                           int32_t threadId, const std::wstring& function, uint32_t line,
                           const std::wstring& message);

// Number of the entry after `last` in the ring 1..1000. Anything outside
// the ring (0 from a missing counter, huge values from a negative one)
// restarts at 1, so an entry never lands on a key outside Log1..Log1000.
uint32_t NextLogIndex(uint32_t last);

// Key of entry n: "Log" followed by n.
std::wstring LogKeyName(uint32_t index);

struct LogEntry {
  std::wstring time, module, processId, threadId, function, line, message;
};

// Splits a stored line into its seven fields. The message is everything
// after the sixth tab (it may itself hold tabs); a line read back without its
// final tab has an empty message. nullopt when fewer fields.
std::optional<LogEntry> ParseLogLine(const std::wstring& text);

}  // namespace tw
