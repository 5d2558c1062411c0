// Every message box of the wizard goes through here, so that automated runs
// can see that one was requested and answer it without a person.
#pragma once

#include <windows.h>

#include <string>

namespace tw {

using MessageBoxHandler = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

// Replaces the handler (nullptr restores MessageBoxW); returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Caption of the few fixed English messages.
constexpr wchar_t kFixedCaption[] = L"Tarnwright";

}  // namespace tw
