// The edge of the wizard's start-up, run in this process: whatever escapes
// start-up ends the run with exit code 2 and one log entry.
#include <gtest/gtest.h>

#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "app/log_reader.h"
#include "app/msgbox.h"
#include "app/startup/startup.h"
#include "test_support.h"

namespace {

using Strings = std::vector<std::wstring>;

int ThrowingMessageBox(HWND, const wchar_t*, const wchar_t*, UINT) { throw std::bad_alloc(); }

TEST(StartupEdge, WhatEscapesStartUpEndsWithTwoAndOneLogEntry) {
  twtest::EnsureLogParentFolder();
  // No INI file beside this program, and an install folder without
  // Language.ini: start-up shows "Necessary file is not found.", and that
  // message box runs out of memory.
  twtest::TempDir install;
  twtest::ScopedHklmKey quillon(L"SOFTWARE\\Norvane\\Quillon");
  quillon.SetString(L"InstFolder", install.path());
  twtest::SettingsGuard settings;
  const tw::MessageBoxHandler previous = tw::SetMessageBoxHandler(ThrowingMessageBox);
  tw::LogWatch watch;
  const int code = tw::RunTarnwright(::GetModuleHandleW(nullptr), L"Tarnwright.exe /Tarn");
  tw::SetMessageBoxHandler(previous);
  EXPECT_EQ(code, 2);
  EXPECT_EQ(twtest::LoggedMessages(watch, L"wWinMain"), (Strings{L"exception: std::bad_alloc"}));
}

}  // namespace
