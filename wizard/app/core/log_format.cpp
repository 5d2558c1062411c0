#include "log_format.h"

#include "text.h"

namespace tw {
namespace {
std::wstring Padded(uint32_t value, size_t width) {
  std::wstring s = Dec(value);
  if (s.size() < width) s.insert(0, width - s.size(), L'0');
  return s;
}
}  // namespace

std::wstring FormatLogTime(const LogTime& t) {
  return Padded(t.year, 4) + L"-" + Padded(t.month, 2) + L"-" + Padded(t.day, 2) + L" " +
         Padded(t.hour, 2) + L":" + Padded(t.minute, 2) + L":" + Padded(t.second, 2) + L"." +
         Padded(t.millis, 3);
}

std::wstring FormatLogLine(const LogTime& t, const std::wstring& module, int32_t processId,
                           int32_t threadId, const std::wstring& function, uint32_t line,
                           const std::wstring& message) {
  std::wstring out = FormatLogTime(t);
  out += L'\t';
  out += module;
  out += L'\t';
  out += DecSigned(processId);
  out += L'\t';
  out += DecSigned(threadId);
  out += L'\t';
  out += function;
  out += L'\t';
  out += Dec(line);
  out += L'\t';
  out += message;
  return out;
}

uint32_t NextLogIndex(uint32_t last) {
  if (last >= kLogRingSize) return 1;
  return last + 1;
}

std::wstring LogKeyName(uint32_t index) { return L"Log" + Dec(index); }

std::optional<LogEntry> ParseLogLine(const std::wstring& text) {
  std::array<std::wstring, 6> head;
  size_t pos = 0;
  for (size_t i = 0; i < head.size(); ++i) {
    size_t tab = text.find(L'\t', pos);
    if (tab == std::wstring::npos) {
      // The profile functions drop trailing blanks when a value is read back,
      // so an entry with an empty message loses its last tab.
      if (i + 1 != head.size()) return std::nullopt;
      head[i] = text.substr(pos);
      pos = text.size();
      break;
    }
    head[i] = text.substr(pos, tab - pos);
    pos = tab + 1;
  }
  LogEntry e{head[0], head[1], head[2], head[3], head[4], head[5], text.substr(pos)};
  return e;
}

}  // namespace tw
