#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/exec.h"
#include "app/handles.h"
#include "app/log_reader.h"
#include "test_support.h"

namespace {

using twtest::LoggedMessages;
using twtest::WaitForExitCode;
using Lines = std::vector<std::wstring>;

std::wstring ChildPath() { return twtest::ExeFolder() + L"\\exec_child.exe"; }

// What exec_child recorded as its command line.
std::wstring Recorded(const std::wstring& path) {
  const std::string bytes = twtest::ReadBytes(path);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// Handles open in this process, found by asking about every handle value
// (the platform's own count is not available everywhere).
size_t OpenHandleCount() {
  size_t count = 0;
  DWORD flags = 0;
  for (uintptr_t value = 4; value < 65536; value += 4) {
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

TEST(ExecuteFile, WaitsForALongRunAndReturnsItsExitCode) {
  PROCESS_INFORMATION pi{};
  DWORD code = 0;
  ASSERT_TRUE(ExecuteFile(ChildPath().c_str(), L"sleep=2500 exit=3010", true, &pi, &code));
  EXPECT_EQ(code, 3010u);
  // The program has ended and both handles are still open for the caller.
  EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 0), WAIT_OBJECT_0);
  DWORD again = 0;
  EXPECT_TRUE(::GetExitCodeProcess(pi.hProcess, &again));
  EXPECT_NE(::WaitForSingleObject(pi.hThread, 0), WAIT_FAILED);
  tw::CloseProcessInfo(pi);
}

TEST(ExecuteFile, WithoutWaitingReturnsWhileTheProgramRuns) {
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(ExecuteFile(ChildPath().c_str(), L"sleep=3000 exit=4", false, &pi, nullptr));
  EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForExitCode(pi), 4u);
}

TEST(ExecuteFile, QuotesThePathAndPassesTheParametersUnchanged) {
  twtest::TempDir dir;
  const std::wstring folder = dir / L"with blanks";
  twtest::MakeDirs(folder);
  const std::wstring program = folder + L"\\exec child.exe";
  ASSERT_TRUE(::CopyFileW(ChildPath().c_str(), program.c_str(), FALSE));
  const std::wstring record = folder + L"\\command line.txt";
  const std::wstring parameters = L"exit=7 \"record=" + record + L"\"  two  blanks";
  PROCESS_INFORMATION pi{};
  DWORD code = 0;
  ASSERT_TRUE(ExecuteFile(program.c_str(), parameters.c_str(), true, &pi, &code));
  tw::CloseProcessInfo(pi);
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(Recorded(record), L"\"" + program + L"\" " + parameters);
}

TEST(ExecuteFile, RefusesWhatIsNotAnExistingFile) {
  twtest::TempDir dir;
  const std::wstring quoted = L"\"" + ChildPath() + L"\"";
  const std::wstring missing = dir / L"missing.exe";
  PROCESS_INFORMATION pi{};
  tw::LogWatch watch;
  EXPECT_FALSE(ExecuteFile(quoted.c_str(), L"", true, &pi, nullptr));
  EXPECT_FALSE(ExecuteFile(missing.c_str(), L"", true, &pi, nullptr));
  EXPECT_FALSE(ExecuteFile(dir.path().c_str(), L"", true, &pi, nullptr));
  EXPECT_FALSE(ExecuteFile(nullptr, L"", true, &pi, nullptr));
  EXPECT_FALSE(ExecuteFile(ChildPath().c_str(), nullptr, true, &pi, nullptr));
  EXPECT_FALSE(ExecuteFile(ChildPath().c_str(), L"", true, nullptr, nullptr));
  EXPECT_EQ(LoggedMessages(watch, L"ExecuteFile"), (Lines{quoted, missing, dir.path(), L"", L"", L""}));
}

TEST(ExecuteFile, ABlankInThePathNeverStartsAPlantedProgram) {
  // C:\Program.exe, planted: a copy of exec_child, so that what it records
  // shows which program ran. The intended one lies below "C:\Program Files".
  const std::wstring plant = L"C:\\Program.exe";
  const std::wstring folder = L"C:\\Program Files\\Tarnwright exec test";
  ASSERT_TRUE(::CopyFileW(ChildPath().c_str(), plant.c_str(), TRUE)) << "C:\\Program.exe is there already";
  twtest::MakeDirs(folder);
  tw::ScopeExit cleanUp([&] {
    ::DeleteFileW(plant.c_str());
    twtest::RemoveTree(folder);
  });
  const std::wstring program = folder + L"\\exec_child.exe";
  ASSERT_TRUE(::CopyFileW(ChildPath().c_str(), program.c_str(), FALSE));
  twtest::TempDir dir;
  const std::wstring ran = dir / L"ran.txt";

  // The control: unquoted, the same command line starts the plant here.
  std::wstring unquoted = program + L" module=" + ran;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(::CreateProcessW(nullptr, &unquoted[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &pi));
  EXPECT_EQ(WaitForExitCode(pi), 0u);
  EXPECT_EQ(Recorded(ran), plant);

  // The path quoted: the intended program.
  DWORD code = 1;
  ASSERT_TRUE(ExecuteFile(program.c_str(), (L"module=" + ran).c_str(), true, &pi, &code));
  tw::CloseProcessInfo(pi);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(Recorded(ran), program);
}

TEST(ExecuteFile, AProgramWithoutAFullPathIsRefusedEvenWhereItExists) {
  // exec_child.exe lies in the current folder, where a search would find it.
  wchar_t previous[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(::SetCurrentDirectoryW(twtest::ExeFolder().c_str()));
  tw::ScopeExit restore([&] { ::SetCurrentDirectoryW(previous); });
  tw::LogWatch watch;
  PROCESS_INFORMATION pi{};
  EXPECT_FALSE(ExecuteFile(L"exec_child.exe", L"", true, &pi, nullptr));
  EXPECT_EQ(pi.hProcess, nullptr);
  CShellMgr shell;
  EXPECT_FALSE(shell.ExecuteAsUser(L"exec_child.exe", L"", &pi));
  EXPECT_EQ(pi.hProcess, nullptr);
  EXPECT_EQ(LoggedMessages(watch, L"ExecuteFile"), Lines{L"0x000000a1, exec_child.exe"});
  EXPECT_EQ(LoggedMessages(watch, L"CShellMgr::ExecuteAsUser"), Lines{L"0x000000a1, exec_child.exe"});
}

TEST(ExecuteFile, FileThatIsNoProgramFailsToStart) {
  twtest::TempDir dir;
  const std::wstring fake = dir / L"fake.exe";
  twtest::WriteBytes(fake, "not a program");
  PROCESS_INFORMATION pi{};
  tw::LogWatch watch;
  EXPECT_FALSE(ExecuteFile(fake.c_str(), L"a b", true, &pi, nullptr));
  EXPECT_EQ(pi.hProcess, nullptr);
  const auto entries = watch.EntriesOf(L"ExecuteFile");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_NE(entries[0].message.find(L", \"" + fake + L"\" a b"), std::wstring::npos) << entries[0].message;
}

// The stand-in desktop shell, running for the lifetime of this object.
class ShellStub {
 public:
  ShellStub() {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    std::wstring line = L"\"" + twtest::StandinDir() + L"\\shellstub.exe\"";
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return;
    for (int i = 0; i < 200 && !::GetShellWindow(); ++i) ::Sleep(50);
  }
  ~ShellStub() {
    if (HWND shell = ::GetShellWindow()) ::PostMessageW(shell, WM_CLOSE, 0, 0);
    if (pi_.hProcess) {
      if (::WaitForSingleObject(pi_.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(pi_.hProcess, 1);
      tw::CloseProcessInfo(pi_);
    }
    for (int i = 0; i < 100 && ::GetShellWindow(); ++i) ::Sleep(50);
  }
  ShellStub(const ShellStub&) = delete;
  ShellStub& operator=(const ShellStub&) = delete;

 private:
  PROCESS_INFORMATION pi_{};
};

TEST(ExecuteAsUser, FailsWithoutAShellWindow) {
  ASSERT_EQ(::GetShellWindow(), nullptr);
  tw::LogWatch watch;
  CShellMgr shell;
  PROCESS_INFORMATION pi{};
  pi.hProcess = reinterpret_cast<HANDLE>(1);  // cleared on entry
  EXPECT_FALSE(shell.ExecuteAsUser(ChildPath().c_str(), L"", &pi));
  EXPECT_EQ(pi.hProcess, nullptr);
  EXPECT_EQ(watch.EntriesOf(L"CShellMgr::GetTokenOfShellWindow").size(), 1u);
  EXPECT_EQ(LoggedMessages(watch, L"CShellMgr::ExecuteAsUser"), Lines{L""});
}

TEST(ExecuteAsUser, StartsTheProgramWithTheShellsToken) {
  ShellStub stub;
  ASSERT_NE(::GetShellWindow(), nullptr);
  twtest::TempDir dir;
  const std::wstring record = dir / L"line.txt";
  const std::wstring parameters = L"exit=5 record=" + record;
  CShellMgr shell;
  PROCESS_INFORMATION pi{};
  const size_t handlesBefore = OpenHandleCount();
  ASSERT_TRUE(shell.ExecuteAsUser(ChildPath().c_str(), parameters.c_str(), &pi));
  EXPECT_EQ(WaitForExitCode(pi), 5u);
  EXPECT_EQ(Recorded(record), L"\"" + ChildPath() + L"\" " + parameters);
  // The shell's process, its token and the duplicate are all closed again.
  EXPECT_EQ(OpenHandleCount(), handlesBefore);
}

TEST(ExecuteAsUser, ShellTokenIsAPrimaryToken) {
  ShellStub stub;
  CShellMgr shell;
  HANDLE raw = nullptr;
  ASSERT_TRUE(shell.GetTokenOfShellWindow(&raw));
  tw::UniqueHandle token(raw);
  TOKEN_TYPE type = TokenImpersonation;
  DWORD size = 0;
  ASSERT_TRUE(::GetTokenInformation(token.get(), TokenType, &type, sizeof(type), &size));
  EXPECT_EQ(type, TokenPrimary);
}

TEST(ExecuteAsUser, CommandLineMustFitItsBuffer) {
  ShellStub stub;
  CShellMgr shell;
  // The quoted path, a blank and the parameters take 1023 characters: fits.
  const size_t room = 1023 - (ChildPath().size() + 3);
  const std::wstring fits = L"exit=6 " + std::wstring(room - 7, L'x');
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(shell.ExecuteAsUser(ChildPath().c_str(), fits.c_str(), &pi));
  EXPECT_EQ(WaitForExitCode(pi), 6u);

  // One more character is refused rather than cut off.
  const std::wstring tooLong = fits + L"y";
  tw::LogWatch watch;
  EXPECT_FALSE(shell.ExecuteAsUser(ChildPath().c_str(), tooLong.c_str(), &pi));
  EXPECT_EQ(LoggedMessages(watch, L"CShellMgr::CreateProcWithToken"),
            Lines{L"0x0000007a, \"" + ChildPath() + L"\" " + tooLong});
  EXPECT_EQ(LoggedMessages(watch, L"CShellMgr::ExecuteAsUser"), (Lines{ChildPath(), tooLong}));
}

TEST(ExecuteAsUser, MissingProgramIsReportedByTheStart) {
  ShellStub stub;
  CShellMgr shell;
  twtest::TempDir dir;
  PROCESS_INFORMATION pi{};
  tw::LogWatch watch;
  EXPECT_FALSE(shell.ExecuteAsUser((dir / L"none.exe").c_str(), L"", &pi));
  const auto entries = watch.EntriesOf(L"CShellMgr::CreateProcWithToken");
  ASSERT_EQ(entries.size(), 1u);
  // Without parameters no blank follows the quoted path.
  EXPECT_EQ(entries[0].message.substr(10), L", \"" + (dir / L"none.exe") + L"\"");
}

}  // namespace
