// Window messages between the main window, the step dialogs and the
// progress window. Plain numbers (WM_APP is 0x8000), so that the portable
// tables can name them too.
#pragma once

#include <cstdint>

namespace tw {
namespace msg {

constexpr uint32_t kApp = 0x8000;
// Step dialog -> main window (posted).
constexpr uint32_t kFatalError = kApp + 1;  // wParam error code, lParam show flag
constexpr uint32_t kGoNext = kApp + 5;
constexpr uint32_t kGoBack = kApp + 6;
constexpr uint32_t kFinished = kApp + 7;
// Step manager -> step dialog.
constexpr uint32_t kDestroyStep = kApp + 2;  // sent; also ends the progress window
constexpr uint32_t kNextPressed = kApp + 3;  // posted
constexpr uint32_t kBackPressed = kApp + 4;  // posted
// Worker -> progress window (posted).
constexpr uint32_t kOperationDone = kApp + 9;     // wParam result
constexpr uint32_t kOperationNotRun = kApp + 10;  // no operation record
constexpr uint32_t kProgressChanged = kApp + 11;  // the counting progress window: show the figures
// The error codes that go with kFatalError: the general message the main
// window shows for each (when the show flag is set).
enum class FatalCode : uint32_t {
  kUnknown = 0,       // "Msg_UnknownError"
  kFileLacked = 1,    // "Msg_FileLacked"
  kNoBurnApp = 2,     // "Msg_BurnAppNotInstalled"
  kDriveInfo = 3,     // "Msg_GettingDriveInfoFailed"
  kDiscSetInfo = 4,   // "Msg_GettingDiscSetInfoFailed"
  kOwnMessage = 5,    // the step has shown its own message ("Msg_UnknownError" if shown)
};
constexpr uint32_t CodeOf(FatalCode code) { return static_cast<uint32_t>(code); }

// A bitmap button to itself: repaint now.
constexpr uint32_t kButtonRepaint = kApp + 1;

}  // namespace msg
}  // namespace tw
