// What a screen reader learns of the wizard's windows. Every control of the
// main window and of each step dialog answers the accessibility request
// (WM_GETOBJECT) for its client object with an object of the wizard's own:
// its name (from its label, its text or a name the wizard gives it), role,
// state and value, and for a list each item with its check state. The
// rules live in ui/core/access_rules.h; here the windows are read and the
// object is handed out. A read-only multi-line box also lets Tab, Enter and
// Escape go on to the dialog, so that the keyboard never stays caught in it.
#pragma once

#include <windows.h>

#include <string>

#include "ui/core/access_rules.h"

namespace tw {
namespace access {

// The accessibility interface's id, defined here: the one the toolchain's
// import library carries is wrong.
extern const IID kIidAccessible;

// Gives `window` (named `ownName`, which may be empty) and every window
// below it that exists now their accessible objects. Windows created later
// are not covered.
void AnnotateTree(HWND window, const std::wstring& ownName);

// The answer to WM_GETOBJECT of a window that names itself (the banner's
// bitmap buttons): the client object, or 0 for any other request.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const std::wstring& ownName);

// The client object of a window, as a screen reader gets it: the window's
// own answer to WM_GETOBJECT, or the system's object.
HRESULT ClientObjectOf(HWND window, IDispatch** object);

// What the window's accessible object reports about it.
ui::access::ControlFacts FactsOf(HWND window, const std::wstring& ownName);

// The chosen item's text of a combo box, plain or extended (empty when
// nothing is chosen).
std::wstring ComboChoice(HWND combo);

}  // namespace access
}  // namespace tw
