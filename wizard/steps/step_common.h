// What every step dialog does alike: talk to the main window by posted
// messages, answer the control-colour messages, give controls a font, and
// show a message box with the application name as caption.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/core/messages.h"
#include "ui/dialog_designer.h"

namespace tw {
namespace steps {

// The main window is the step dialog's parent.
inline void PostToMain(HWND dialog, uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0) {
  ::PostMessageW(::GetParent(dialog), message, wParam, lParam);
}
// Ends the wizard with the main window's general message for `code`
// (`show` false when the step has shown its own message).
inline void PostFatal(HWND dialog, uint32_t code, bool show = true) {
  PostToMain(dialog, msg::kFatalError, code, show ? 1 : 0);
}

inline void SetFont(HWND dialog, int id, HFONT font) {
  ::SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// A message box with the application name as caption.
int ShowAppMessage(HWND owner, const std::wstring& text, UINT type);

// The messages every step answers alike: the control-colour messages
// (transparent text on the designer's white) and the step manager's
// request to go. True, with the answer in `result`, for one of them.
bool HandleCommonMessage(HWND dialog, UINT message, WPARAM wParam, const CDialogDesigner& designer, INT_PTR* result);

}  // namespace steps
}  // namespace tw
