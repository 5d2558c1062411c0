#include "log_table.h"

#include <algorithm>
#include <array>

namespace tc {
namespace {

std::wstring Flat(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  }
  return text;
}

}  // namespace

std::wstring FormatLogTable(const std::vector<tw::LogEntry>& entries) {
  constexpr size_t kColumns = 6;
  const std::array<std::wstring, kColumns> header = {L"time", L"process", L"thread", L"function", L"line",
                                                     L"message"};
  const std::array<bool, kColumns> rightAligned = {false, true, true, false, true, false};
  std::vector<std::array<std::wstring, kColumns>> rows;
  rows.push_back(header);
  for (const tw::LogEntry& e : entries) {
    rows.push_back({Flat(e.time), Flat(e.processId), Flat(e.threadId), Flat(e.function), Flat(e.line),
                    Flat(e.message)});
  }
  std::array<size_t, kColumns> width{};
  for (const auto& row : rows) {
    for (size_t c = 0; c < kColumns; ++c) width[c] = std::max(width[c], row[c].size());
  }
  std::wstring out;
  for (const auto& row : rows) {
    std::wstring line;
    for (size_t c = 0; c < kColumns; ++c) {
      if (c > 0) line += L"  ";
      if (c + 1 == kColumns) {
        line += row[c];
        break;
      }
      const std::wstring pad(width[c] - row[c].size(), L' ');
      line += rightAligned[c] ? pad + row[c] : row[c] + pad;
    }
    while (!line.empty() && line.back() == L' ') line.pop_back();
    out += line + L'\n';
  }
  return out;
}

bool ParseLogTime(const std::wstring& text, std::wstring* normalized) {
  // The full form, one character per position: 'd' a digit, others literal.
  static const std::wstring kPattern = L"dddd-dd-dd dd:dd:dd.ddd";
  // Where the text may end: after the date, the hour, the minute, the second
  // and the milliseconds.
  static const size_t kEnds[] = {10, 13, 16, 19, 23};
  std::wstring time = text;
  if (time.size() > 10 && (time[10] == L'T' || time[10] == L't')) time[10] = L' ';
  if (std::find(std::begin(kEnds), std::end(kEnds), time.size()) == std::end(kEnds)) return false;
  for (size_t i = 0; i < time.size(); ++i) {
    const bool digit = time[i] >= L'0' && time[i] <= L'9';
    if (kPattern[i] == L'd' ? !digit : time[i] != kPattern[i]) return false;
  }
  if (normalized) *normalized = time;
  return true;
}

std::vector<tw::LogEntry> EntriesSince(const std::vector<tw::LogEntry>& entries, const std::wstring& since) {
  std::vector<tw::LogEntry> out;
  for (const tw::LogEntry& e : entries) {
    // Times of equal shape compare as text; a shorter "since" stands for
    // its start, so only the leading part of the entry's time counts.
    if (e.time.compare(0, since.size(), since) >= 0) out.push_back(e);
  }
  return out;
}

}  // namespace tc
