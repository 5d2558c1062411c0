// The test build's live counts of the handle and GDI owners, as a long run
// reads them from outside, and the other figures of a process read from
// outside, tried on this process. Built with TW_TEST_BUILD like the
// wizard's test build.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/handles.h"
#include "testing/process_figures.h"
#include "testing/test_build.h"
#include "ui/gdi.h"

namespace {

using tw::owners::Kind;

long Live(Kind kind) { return tw::owners::g_table->live[kind]; }

TEST(OwnerCounts, FollowWhatTheOwnersHoldOnEveryPath) {
  const long handles = Live(tw::owners::kHandle);
  {
    tw::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_EQ(Live(tw::owners::kHandle), handles + 1);
    event.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));  // the old one closed, the new one held
    EXPECT_EQ(Live(tw::owners::kHandle), handles + 1);
    tw::UniqueHandle moved(std::move(event));
    EXPECT_EQ(Live(tw::owners::kHandle), handles + 1);
    event = std::move(moved);
    EXPECT_EQ(Live(tw::owners::kHandle), handles + 1);
    HANDLE raw = event.release();  // handed away: no longer the owners'
    EXPECT_EQ(Live(tw::owners::kHandle), handles);
    ::CloseHandle(raw);
    tw::UniqueHandle none;  // "no handle" is not counted
    none.reset(nullptr);
    EXPECT_EQ(Live(tw::owners::kHandle), handles);
  }
  EXPECT_EQ(Live(tw::owners::kHandle), handles);

  // A value written through put() is counted once the call has returned,
  // and a failed call that leaves "no value" counts nothing.
  const long keys = Live(tw::owners::kKey);
  {
    tw::UniqueKey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    EXPECT_EQ(Live(tw::owners::kKey), keys + 1);
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\NoSuchKeyOfTarnwright", 0, KEY_READ, key.put()),
              ERROR_SUCCESS);
    EXPECT_EQ(Live(tw::owners::kKey), keys);
  }
  const long files = Live(tw::owners::kFile);
  tw::UniqueFile missing(::CreateFileW(L"C:\\no such folder\\x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing);
  EXPECT_EQ(Live(tw::owners::kFile), files);
}

TEST(OwnerCounts, GdiOwnersAndTheStartedProcess) {
  const long fonts = Live(tw::owners::kFont), brushes = Live(tw::owners::kBrush);
  const long memoryDcs = Live(tw::owners::kMemoryDc), windowDcs = Live(tw::owners::kWindowDc);
  {
    tw::UniqueFont font(::CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    tw::UniqueBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
    tw::WindowDc screen(nullptr);
    tw::UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
    EXPECT_EQ(Live(tw::owners::kFont), fonts + 1);
    EXPECT_EQ(Live(tw::owners::kBrush), brushes + 1);
    EXPECT_EQ(Live(tw::owners::kWindowDc), windowDcs + 1);
    EXPECT_EQ(Live(tw::owners::kMemoryDc), memoryDcs + 1);
  }
  EXPECT_EQ(Live(tw::owners::kFont), fonts);
  EXPECT_EQ(Live(tw::owners::kBrush), brushes);
  EXPECT_EQ(Live(tw::owners::kWindowDc), windowDcs);
  EXPECT_EQ(Live(tw::owners::kMemoryDc), memoryDcs);

  const long processes = Live(tw::owners::kProcess);
  wchar_t self[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  tw::ProcessInfo child;
  ASSERT_TRUE(::CreateProcessW(self, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                               &startup, child.put()));
  EXPECT_EQ(Live(tw::owners::kProcess), processes + 1);
  ::TerminateProcess(child.process(), 0);
  ::WaitForSingleObject(child.process(), 10000);
  child.Close();
  EXPECT_EQ(Live(tw::owners::kProcess), processes);
}

TEST(OwnerCounts, PublishedCountsAreReadLiveFromOutside) {
  ASSERT_TRUE(twtest::PublishOwnerCounts());
  ASSERT_TRUE(twtest::PublishOwnerCounts());  // once is enough; a second call changes nothing
  const DWORD self = ::GetCurrentProcessId();
  const auto before = twdrive::ReadOwnerCounts(self);
  ASSERT_TRUE(before);
  for (uint32_t kind = 0; kind < tw::owners::kKindCount; ++kind) {
    EXPECT_EQ((*before)[kind], Live(static_cast<Kind>(kind))) << tw::owners::KindName(kind);
  }
  {
    tw::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    tw::UniqueBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
    const auto during = twdrive::ReadOwnerCounts(self);
    ASSERT_TRUE(during);
    EXPECT_EQ(twdrive::Total(*during), twdrive::Total(*before) + 2);
    EXPECT_EQ((*during)[tw::owners::kBrush], (*before)[tw::owners::kBrush] + 1);
  }
  EXPECT_EQ(twdrive::ReadOwnerCounts(self), before);
  EXPECT_FALSE(twdrive::ReadOwnerCounts(0xFFFFFFF0u));  // no such process publishes

  twdrive::OwnerCounts counts{};
  EXPECT_EQ(twdrive::Describe(counts), L"none");
  counts[tw::owners::kFont] = 6;
  counts[tw::owners::kKey] = 1;
  EXPECT_EQ(twdrive::Describe(counts), L"key 1, font 6");
}

LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// A window of a class of this test: top-level, or message-only with
// HWND_MESSAGE as its parent.
tw::UniqueWindow PlainWindow(const wchar_t* className, HWND parent) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PlainProcedure;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = className;
  ::RegisterClassW(&windowClass);  // fails harmlessly when registered already
  return tw::UniqueWindow(::CreateWindowExW(0, className, L"", parent ? 0 : WS_OVERLAPPED, 0, 0, 10, 10, parent,
                                            nullptr, windowClass.hInstance, nullptr));
}

TEST(ProcessFigures, FollowHandlesMemoryGdiObjectsAndWindowsOfAProcess) {
  const DWORD self = ::GetCurrentProcessId();
  const auto handles = twdrive::CountHandles(self);
  ASSERT_TRUE(handles);
  {
    std::vector<tw::UniqueHandle> events;
    for (int i = 0; i < 10; ++i) events.emplace_back(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const auto more = twdrive::CountHandles(self);
    ASSERT_TRUE(more);
    EXPECT_EQ(more->count, handles->count + 10);
  }
  EXPECT_EQ(twdrive::CountHandles(self)->count, handles->count);

  const auto bytes = twdrive::CountPrivateBytes(self);
  ASSERT_TRUE(bytes);
  {
    constexpr size_t kBlock = 16u << 20;
    void* block = ::VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_TRUE(block);
    std::memset(block, 1, kBlock);
    const auto more = twdrive::CountPrivateBytes(self);
    ::VirtualFree(block, 0, MEM_RELEASE);
    ASSERT_TRUE(more);
    EXPECT_GE(more->bytes, bytes->bytes + kBlock * 3 / 4);
  }

  // GDI objects: the system's own count where it has one, else Wine's table.
  if (twdrive::GuiResources(self, GR_GDIOBJECTS)) {
    EXPECT_GT(*twdrive::GuiResources(self, GR_GDIOBJECTS), 0u);
  } else {
    EXPECT_TRUE(twdrive::WineGdiTableFollowsThisProcess());
  }

  // A thread's windows bring the system's input method window along while
  // any of them lives: count from one window on.
  const tw::UniqueWindow first = PlainWindow(L"TwFiguresFirst", nullptr);
  const twdrive::WindowCount windows = twdrive::CountWindows(self);
  {
    tw::UniqueWindow top = PlainWindow(L"TwFiguresTop", nullptr);
    tw::UniqueWindow child(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, top.get(), nullptr, nullptr,
                                             nullptr));
    tw::UniqueWindow messageOnly = PlainWindow(L"TwFiguresMessage", HWND_MESSAGE);
    const twdrive::WindowCount more = twdrive::CountWindows(self);

    EXPECT_EQ(more.topLevel, windows.topLevel + 1);
    EXPECT_EQ(more.children, windows.children + 1);
    EXPECT_EQ(more.messageOnly, windows.messageOnly + 1);
  }
  EXPECT_EQ(twdrive::CountWindows(self).total(), windows.total());
}

}  // namespace
