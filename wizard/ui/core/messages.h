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
// A bitmap button to itself: repaint now.
constexpr uint32_t kButtonRepaint = kApp + 1;

}  // namespace msg
}  // namespace tw
