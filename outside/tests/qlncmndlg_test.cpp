// The common dialog stand-in: answers from its settings, or shows its
// dialog and returns what the user chose.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "test_support.h"

namespace {

using ShowAttentionFn = int(__stdcall*)(HWND);

// A private copy of the library with its own settings file.
class DialogLibrary {
 public:
  explicit DialogLibrary(const std::wstring& settings) {
    const std::wstring path = dir_ / L"QLNCmnDlg.dll";
    ::CopyFileW((twtest::StandinDir() + L"\\QLNCmnDlg.dll").c_str(), path.c_str(), FALSE);
    if (!settings.empty()) twtest::WriteTextFile(dir_ / L"QLNCmnDlg.ini", settings);
    module_ = ::LoadLibraryW(path.c_str());
    if (module_) {
      show_ = reinterpret_cast<ShowAttentionFn>(
          reinterpret_cast<void*>(::GetProcAddress(module_, "ShowAttentionToDiscFormatDlg")));
    }
  }
  ~DialogLibrary() {
    if (module_) ::FreeLibrary(module_);
  }
  ShowAttentionFn show() const { return show_; }

 private:
  twtest::TempDir dir_;
  HMODULE module_ = nullptr;
  ShowAttentionFn show_ = nullptr;
};

// Presses a button of the dialog once it appears, from another thread, as a
// user would.
class Presser {
 public:
  explicit Presser(int button) {
    thread_ = std::thread([this, button] {
      for (int i = 0; i < 2400 && !done_; ++i) {
        HWND dialog = ::FindWindowW(L"#32770", L"Disc formatting");
        if (dialog && ::IsWindowVisible(dialog)) {
          seen_ = true;
          ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
          return;
        }
        ::Sleep(25);
      }
    });
  }
  ~Presser() {
    done_ = true;
    thread_.join();
  }
  bool seen() const { return seen_; }

 private:
  std::atomic<bool> done_{false}, seen_{false};
  std::thread thread_;
};

TEST(QLNCmnDlg, AnswersFromItsSettingsWithoutShowing) {
  DialogLibrary yes(L"[AttentionToDiscFormat]\r\nAnswer=1\r\n");
  ASSERT_NE(yes.show(), nullptr);
  EXPECT_EQ(yes.show()(nullptr), 1);
  DialogLibrary other(L"[AttentionToDiscFormat]\r\nAnswer=7\r\n");
  EXPECT_EQ(other.show()(nullptr), 7);
}

TEST(QLNCmnDlg, DialogReturnsTheUsersChoice) {
  DialogLibrary library(L"");
  ASSERT_NE(library.show(), nullptr);
  for (const int button : {IDOK, IDCANCEL}) {  // the dialog answers with the button's identifier
    Presser presser(button);
    EXPECT_EQ(library.show()(nullptr), button);
    EXPECT_TRUE(presser.seen()) << button;
  }
}

TEST(QLNCmnDlg, DialogCanCloseItselfForUnattendedRuns) {
  DialogLibrary library(L"[AttentionToDiscFormat]\r\nCloseAfterMs=100\r\n");
  EXPECT_EQ(library.show()(nullptr), 1);
}

}  // namespace
