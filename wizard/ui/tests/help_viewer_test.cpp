// The help viewer starts its program by a full path. Here no desktop shell
// runs, so the start itself fails and the log shows which program it was.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "app/core/paths.h"
#include "app/log_reader.h"
#include "test_support.h"
#include "ui/help_viewer.h"

namespace {

TEST(HelpViewer, TheViewerIsStartedByItsFullPath) {
  twtest::EnsureLogParentFolder();
  ASSERT_EQ(::GetShellWindow(), nullptr);
  tw::LogWatch watch;
  CHelpViewer::OpenHelp(L"C:\\help\\4000.htm");
  const std::vector<std::wstring> logged = twtest::LoggedMessages(watch, L"CHelpViewer::OpenHelp");
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_TRUE(tw::IsFullyQualifiedPath(logged[0])) << twtest::Narrow(logged[0]);
  EXPECT_EQ(logged[1], L"C:\\help\\4000.htm");
  // Without an association for ".htm" (as on this platform), the Windows
  // folder's explorer.exe.
  wchar_t program[MAX_PATH + 1] = {};
  DWORD chars = MAX_PATH + 1;
  if (FAILED(::AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, L".htm", L"open", program, &chars))) {
    wchar_t windows[MAX_PATH + 1] = {};
    ::GetSystemWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(::lstrcmpiW(logged[0].c_str(), (std::wstring(windows) + L"\\explorer.exe").c_str()), 0)
        << twtest::Narrow(logged[0]);
  }
}

}  // namespace
