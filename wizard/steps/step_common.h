// What every step dialog does alike: talk to the main window by posted
// messages, answer the control-colour messages, give controls a font, and
// show a message box with the application name as caption.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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
inline void PostFatal(HWND dialog, msg::FatalCode code, bool show = true) {
  PostToMain(dialog, msg::kFatalError, msg::CodeOf(code), show ? 1 : 0);
}

inline void SetFont(HWND dialog, int id, HFONT font) {
  ::SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// A message box with the application name as caption.
int ShowAppMessage(HWND owner, const std::wstring& text, UINT type);

// Fills a report list view that shows one column without header (the
// disc sets, the discs to tick): inserts the column, then one item per text
// in order, with the text's index as item data. Returns the width of the
// widest text in the list's font, from which the caller sets the column's
// width; a text that cannot be measured is logged under `function` and
// left out of it. `items` receives each text's item index (-1 when the
// list refused it).
int FillSingleColumnList(HWND list, const std::vector<std::wstring>& texts, const wchar_t* function,
                         std::vector<int>* items = nullptr);
void SetSingleColumnWidth(HWND list, uint16_t width);

// The messages every step answers alike: the control-colour messages
// (transparent text on the designer's white) and the step manager's
// request to go. True, with the answer in `result`, for one of them.
bool HandleCommonMessage(HWND dialog, UINT message, WPARAM wParam, const CDialogDesigner& designer, INT_PTR* result);

}  // namespace steps
}  // namespace tw
