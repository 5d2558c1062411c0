#include "log_reader.h"

#include <windows.h>

#include "core/text.h"
#include "log.h"

namespace tw {
namespace {

std::wstring ReadValue(const std::wstring& path, const std::wstring& key) {
  std::vector<wchar_t> buffer(4096);
  for (;;) {
    DWORD n = ::GetPrivateProfileStringW(L"Value", key.c_str(), L"", buffer.data(),
                                         static_cast<DWORD>(buffer.size()), path.c_str());
    if (n + 1 < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring ResolvePath(const std::wstring& path) { return path.empty() ? LogFilePath() : path; }

}  // namespace

unsigned ReadLastLogIndex(const std::wstring& path) {
  return ::GetPrivateProfileIntW(L"Info", L"LastLogIndex", 0, ResolvePath(path).c_str());
}

std::vector<NumberedLogEntry> ReadLogRing(const std::wstring& path) {
  const std::wstring file = ResolvePath(path);
  std::vector<NumberedLogEntry> out;
  const unsigned last = ReadLastLogIndex(file);
  if (last == 0 || last > kLogRingSize) return out;
  for (unsigned step = 1; step <= kLogRingSize; ++step) {
    unsigned index = (last + step - 1) % kLogRingSize + 1;  // oldest is the one after `last`
    std::wstring text = ReadValue(file, LogKeyName(index));
    if (text.empty()) continue;
    if (auto e = ParseLogLine(text)) out.push_back({index, *e});
  }
  return out;
}

LogWatch::LogWatch() : path_(LogFilePath()), startIndex_(ReadLastLogIndex(path_)) {}

std::vector<LogEntry> LogWatch::NewEntries() const {
  std::vector<LogEntry> out;
  const unsigned last = ReadLastLogIndex(path_);
  if (last == 0 || last > kLogRingSize) return out;
  unsigned index = startIndex_;
  // Walk forward from the entry after the starting point up to the newest.
  for (unsigned step = 0; step < kLogRingSize && index != last; ++step) {
    index = NextLogIndex(index);
    if (auto e = ParseLogLine(ReadValue(path_, LogKeyName(index)))) out.push_back(*e);
  }
  return out;
}

std::vector<LogEntry> LogWatch::EntriesOf(const std::wstring& function) const {
  std::vector<LogEntry> out;
  for (auto& e : NewEntries()) {
    if (e.function == function) out.push_back(e);
  }
  return out;
}

}  // namespace tw
