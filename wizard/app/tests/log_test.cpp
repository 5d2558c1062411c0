#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/core/text.h"
#include "app/format.h"
#include "app/handles.h"
#include "app/log.h"
#include "app/log_reader.h"
#include "test_support.h"

namespace {

using Lines = std::vector<std::wstring>;

// How many different messages the ring holds.
size_t DistinctMessages(const std::vector<tw::NumberedLogEntry>& ring) {
  std::set<std::wstring> messages;
  for (const auto& e : ring) messages.insert(e.entry.message);
  return messages.size();
}

// Moves the real log aside for the test and puts it back afterwards.
class LogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = tw::LogFilePath();
    ASSERT_FALSE(path_.empty());
    backup_ = path_ + L".testbak";
    ::DeleteFileW(backup_.c_str());
    moved_ = ::MoveFileW(path_.c_str(), backup_.c_str()) != FALSE;
  }
  void TearDown() override {
    ::DeleteFileW(path_.c_str());
    if (moved_) ::MoveFileW(backup_.c_str(), path_.c_str());
  }
  std::wstring Value(const std::wstring& key) {
    wchar_t buffer[2048] = {};
    ::GetPrivateProfileStringW(L"Value", key.c_str(), L"", buffer, 2048, path_.c_str());
    return buffer;
  }
  void SetCounter(const wchar_t* text) {
    twtest::MakeDirs(path_.substr(0, path_.rfind(L'\\')));
    ::WritePrivateProfileStringW(L"Info", L"LastLogIndex", text, path_.c_str());
  }
  std::wstring path_, backup_;
  bool moved_ = false;
};

TEST_F(LogFileTest, FirstEntryIsLog1WithSevenFields) {
  TW_LOG(L"Norvane::DeskKit::Common::ActivateTargetWindow", L"0x00000005, C:\\x");
  EXPECT_EQ(tw::ReadLastLogIndex(), 1u);
  auto parsed = tw::ParseLogLine(Value(L"Log1"));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->module, L"Tarnwright.exe");
  EXPECT_EQ(parsed->processId, tw::Dec(::GetCurrentProcessId()));
  EXPECT_EQ(parsed->threadId, tw::Dec(::GetCurrentThreadId()));
  EXPECT_EQ(parsed->function, L"Norvane::DeskKit::Common::ActivateTargetWindow");
  EXPECT_EQ(parsed->message, L"0x00000005, C:\\x");
  EXPECT_EQ(parsed->time.size(), 23u);
  EXPECT_EQ(parsed->time[4], L'-');
  EXPECT_EQ(parsed->time[19], L'.');
}

TEST_F(LogFileTest, EmptyMessageStillWritesALine) {
  WriteLog(kLogRelPath, kLogModule, L"wWinMain", 7, L"");
  // The line is stored with a final tab; reading it back trims that tab.
  const std::string raw = twtest::ReadBytes(path_);
  EXPECT_NE(raw.find("\twWinMain\t7\t"), std::string::npos);
  auto parsed = tw::ParseLogLine(Value(L"Log1"));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->line, L"7");
  EXPECT_EQ(parsed->message, L"");
}

TEST_F(LogFileTest, RingWrapsAfterThousandAndAfterNegativeCounters) {
  for (const wchar_t* counter : {L"1000", L"-5", L"-1", L"0", L"junk"}) {
    SetCounter(counter);
    TW_LOG(L"f", counter);
    EXPECT_EQ(tw::ReadLastLogIndex(), 1u) << counter;
    auto parsed = tw::ParseLogLine(Value(L"Log1"));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->message, counter);
  }
  SetCounter(L"999");
  TW_LOG(L"f", L"last");
  EXPECT_EQ(tw::ReadLastLogIndex(), 1000u);
  EXPECT_FALSE(Value(L"Log1000").empty());
}

TEST_F(LogFileTest, ReaderReturnsEntriesOldestFirstAcrossTheWrap) {
  SetCounter(L"998");
  for (int i = 0; i < 4; ++i) TW_LOG(L"f", tw::Dec(static_cast<uint64_t>(i)));
  Lines order;
  for (const auto& e : tw::ReadLogRing()) order.push_back(tw::Dec(e.index) + L": " + e.entry.message);
  EXPECT_EQ(order, (Lines{L"999: 0", L"1000: 1", L"1: 2", L"2: 3"}));
}

TEST_F(LogFileTest, MissingParentFolderDropsTheEntry) {
  // Move Norvane\Quillon away: only the last folder level may be created.
  const std::wstring tarnFolder = path_.substr(0, path_.rfind(L'\\'));
  const std::wstring quillon = tarnFolder.substr(0, tarnFolder.rfind(L'\\'));
  const std::wstring norvane = quillon.substr(0, quillon.rfind(L'\\'));
  const std::wstring aside = norvane + L".aside";
  twtest::MakeDirs(tarnFolder);
  ASSERT_TRUE(::MoveFileW(norvane.c_str(), aside.c_str()));
  TW_LOG(L"f", L"dropped");
  const DWORD attributes = ::GetFileAttributesW(tarnFolder.c_str());
  ASSERT_TRUE(::MoveFileW(aside.c_str(), norvane.c_str()));
  EXPECT_EQ(attributes, INVALID_FILE_ATTRIBUTES);
}

// The process keeps what it learnt about the log's place between entries;
// the folders themselves are still looked at by every entry: a log folder
// removed meanwhile is created again, and once the product's folder is
// gone no entry is written until it is back.
TEST_F(LogFileTest, EveryEntryFindsTheFoldersAsTheyAreNow) {
  const std::wstring tarnFolder = path_.substr(0, path_.rfind(L'\\'));
  const std::wstring quillon = tarnFolder.substr(0, tarnFolder.rfind(L'\\'));
  TW_LOG(L"f", L"first");
  const std::wstring tarnAside = tarnFolder + L".aside";
  ASSERT_TRUE(::MoveFileW(tarnFolder.c_str(), tarnAside.c_str()));
  TW_LOG(L"f", L"after the folder went");
  const unsigned counter = tw::ReadLastLogIndex();
  const std::wstring entry = Value(L"Log1");
  ::DeleteFileW(path_.c_str());
  ::RemoveDirectoryW(tarnFolder.c_str());
  ASSERT_TRUE(::MoveFileW(tarnAside.c_str(), tarnFolder.c_str()));
  EXPECT_EQ(counter, 1u);
  EXPECT_NE(entry.find(L"after the folder went"), std::wstring::npos);

  const std::wstring aside = quillon + L".aside";
  ASSERT_TRUE(::MoveFileW(quillon.c_str(), aside.c_str()));
  TW_LOG(L"f", L"dropped");
  const DWORD whileGone = ::GetFileAttributesW(tarnFolder.c_str());
  ASSERT_TRUE(::MoveFileW(aside.c_str(), quillon.c_str()));
  EXPECT_EQ(whileGone, INVALID_FILE_ATTRIBUTES);
  TW_LOG(L"f", L"back");
  EXPECT_EQ(tw::ReadLastLogIndex(), 2u);
  EXPECT_NE(Value(L"Log2").find(L"back"), std::wstring::npos);
}

TEST_F(LogFileTest, ConcurrentThreadsNeverShareANumber) {
  constexpr int kThreads = 4, kEach = 30;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kEach; ++i) TW_LOG(L"f", tw::Fmt(L"%d-%d", t, i));
    });
  }
  for (auto& th : threads) th.join();
  const auto ring = tw::ReadLogRing();
  EXPECT_EQ(ring.size(), static_cast<size_t>(kThreads * kEach));
  EXPECT_EQ(DistinctMessages(ring), static_cast<size_t>(kThreads * kEach));
  EXPECT_EQ(tw::ReadLastLogIndex(), static_cast<unsigned>(kThreads * kEach));
}

// Child side of the two-process test: writes entries when asked to.
TEST(LogChildWriter, WritesWhenStartedAsChild) {
  wchar_t count[16] = {};
  if (!::GetEnvironmentVariableW(L"TW_LOG_CHILD_ENTRIES", count, 16)) GTEST_SKIP() << "only run as a child";
  const int n = _wtoi(count);
  ASSERT_GT(n, 0);
  for (int i = 0; i < n; ++i) TW_LOG(L"child", tw::Fmt(L"%lu-%d", ::GetCurrentProcessId(), i));
  // Every entry of this writer is in the ring, whatever the other writer
  // did meanwhile; the parent sees a failure here as the exit code. A read
  // that meets the other writer rewriting the file sees it incomplete, so
  // the ring is read again until it is whole or a deadline has passed.
  auto missing = [&] {
    std::set<std::wstring> mine;
    for (const auto& e : tw::ReadLogRing()) {
      if (e.entry.function == L"child") mine.insert(e.entry.message);
    }
    int count = 0;
    for (int i = 0; i < n; ++i) count += mine.count(tw::Fmt(L"%lu-%d", ::GetCurrentProcessId(), i)) == 1 ? 0 : 1;
    return count;
  };
  int lost = missing();
  for (const DWORD start = ::GetTickCount(); lost > 0 && ::GetTickCount() - start < 20000; lost = missing()) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, 0);
  }
  EXPECT_EQ(lost, 0);
}

TEST_F(LogFileTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kEach = 40;
  ::SetEnvironmentVariableW(L"TW_LOG_CHILD_ENTRIES", tw::Dec(kEach).c_str());
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::vector<PROCESS_INFORMATION> children;
  for (int c = 0; c < 2; ++c) {
    std::wstring cmd = tw::Fmt(L"\"%ls\" --gtest_filter=LogChildWriter.WritesWhenStartedAsChild", self);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                                 &si, &pi));
    children.push_back(pi);
  }
  for (auto& pi : children) EXPECT_EQ(twtest::WaitForExitCode(pi), 0u);
  ::SetEnvironmentVariableW(L"TW_LOG_CHILD_ENTRIES", nullptr);
  const auto ring = tw::ReadLogRing();
  EXPECT_EQ(ring.size(), 2u * kEach);
  EXPECT_EQ(DistinctMessages(ring), 2u * kEach);
}

TEST_F(LogFileTest, WatchSeesOnlyNewEntriesOfAFunction) {
  TW_LOG(L"before", L"");
  tw::LogWatch watch;
  TW_LOG(L"A::B", L"one");
  TW_LOG(L"C", L"two");
  TW_LOG(L"A::B", L"three");
  EXPECT_EQ(twtest::LoggedMessages(watch, L"A::B"), (Lines{L"one", L"three"}));
  EXPECT_EQ(watch.NewEntries().size(), 3u);
}

}  // namespace
