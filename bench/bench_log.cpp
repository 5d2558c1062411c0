// Prints how many log entries per second the ring log takes, into an empty
// log and into a full ring of 1000 entries.
#include <windows.h>

#include <cstdio>

#include "app/log.h"
#include "app/log_reader.h"
#include "test_support.h"

namespace {
double EntriesPerSecond(int count) {
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) TW_LOG(L"bench", L"0x00000005, C:\\Recovery\\Image\\Disc1\\image.fc2");
  ::QueryPerformanceCounter(&end);
  return count / (static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
}
}  // namespace

int main() {
  twtest::EnsureLogParentFolder();
  const std::wstring path = tw::LogFilePath();
  const std::wstring backup = path + L".benchbak";
  const bool moved = ::MoveFileW(path.c_str(), backup.c_str()) != FALSE;
  const double empty = EntriesPerSecond(100);
  ::DeleteFileW(path.c_str());
  for (int i = 0; i < 1000; ++i) TW_LOG(L"fill", L"0x00000000");
  const double full = EntriesPerSecond(200);
  std::printf("WriteLog into an empty log:          %8.0f entries/s\n", empty);
  std::printf("WriteLog into a full ring of 1000:   %8.0f entries/s\n", full);
  ::DeleteFileW(path.c_str());
  if (moved) ::MoveFileW(backup.c_str(), path.c_str());
  return 0;
}
