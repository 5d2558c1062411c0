// Prints how many entries per second WriteLog takes into an empty log and
// into a full ring of 1000 entries, and beside each the rate of the bare
// profile calls that one entry needs on the same file (read the counter,
// write the counter, write the entry): the floor of any writer of this
// file. Both are taken in turn over several rounds; medians.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "app/core/log_format.h"
#include "app/core/text.h"
#include "app/log.h"
#include "test_support.h"

namespace {

using bench::Now;
using bench::Median;

constexpr int kRounds = 7;
constexpr int kEmptyEntries = 100;  // from no file at all
constexpr int kFullEntries = 200;   // into a ring that holds 1000

constexpr wchar_t kFunction[] = L"bench";
constexpr wchar_t kMessage[] = L"0x00000005, C:\\Recovery\\Image\\Disc1\\image.fc2";

double PerSecond(int count, const std::function<void()>& write) {
  const double start = Now();
  for (int i = 0; i < count; ++i) write();
  return count / (Now() - start);
}

// The line WriteLog would store for the same call.
std::wstring EntryLine() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  const tw::LogTime t{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
  return tw::FormatLogLine(t, kLogModule, static_cast<int32_t>(::GetCurrentProcessId()),
                           static_cast<int32_t>(::GetCurrentThreadId()), kFunction, __LINE__, kMessage);
}

// The three profile calls of one entry, and nothing else.
void BareEntry(const std::wstring& path, const std::wstring& line) {
  const UINT last = ::GetPrivateProfileIntW(L"Info", L"LastLogIndex", 0, path.c_str());
  const uint32_t next = tw::NextLogIndex(last);
  ::WritePrivateProfileStringW(L"Info", L"LastLogIndex", tw::Dec(next).c_str(), path.c_str());
  ::WritePrivateProfileStringW(L"Value", tw::LogKeyName(next).c_str(), line.c_str(), path.c_str());
}

void LogEntry() { TW_LOG(kFunction, kMessage); }

}  // namespace

int main() {
  twtest::EnsureLogParentFolder();
  const std::wstring path = tw::LogFilePath();
  const std::wstring backup = path + L".benchbak";
  const bool moved = ::MoveFileW(path.c_str(), backup.c_str()) != FALSE;
  const std::wstring line = EntryLine();
  auto bare = [&] { BareEntry(path, line); };

  std::vector<double> empty, emptyFloor, full, fullFloor;
  for (int round = 0; round < kRounds; ++round) {
    ::DeleteFileW(path.c_str());
    empty.push_back(PerSecond(kEmptyEntries, LogEntry));
    ::DeleteFileW(path.c_str());
    emptyFloor.push_back(PerSecond(kEmptyEntries, bare));
  }
  ::DeleteFileW(path.c_str());
  for (int i = 0; i < static_cast<int>(tw::kLogRingSize); ++i) bare();
  for (int round = 0; round < kRounds; ++round) {
    full.push_back(PerSecond(kFullEntries, LogEntry));
    fullFloor.push_back(PerSecond(kFullEntries, bare));
  }
  const unsigned long long bytes = twtest::ReadBytes(path).size();

  std::printf("WriteLog, medians of %d rounds (the bare profile calls of an entry on the same file in turn):\n",
              kRounds);
  std::printf("  into an empty log (%d entries):      %7.0f entries/s, bare calls %7.0f/s, %3.0f%% of that floor\n",
              kEmptyEntries, Median(empty), Median(emptyFloor), 100 * Median(empty) / Median(emptyFloor));
  std::printf("  into a full ring of 1000 (%d more):  %7.0f entries/s, bare calls %7.0f/s, %3.0f%% of that floor\n",
              kFullEntries, Median(full), Median(fullFloor), 100 * Median(full) / Median(fullFloor));
  std::printf("  (a full ring is a file of %llu bytes, which each profile write rewrites whole)\n", bytes);
  ::DeleteFileW(path.c_str());
  if (moved) ::MoveFileW(backup.c_str(), path.c_str());
  return 0;
}
