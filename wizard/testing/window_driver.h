// Driving the wizard's windows from a test or the demo walker, in the same
// process or from outside: find a window or message box, read its controls,
// press buttons, tick list items with real clicks, choose combo items, and
// wait on window state with a deadline. The one wait on the clock alone is
// ClickAt's: it keeps a click a double-click time apart from the input
// before it, so that two clicks never make a double click. List views
// and extended combo boxes of another process are read through memory
// allocated in that process, since their messages carry pointers.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace twdrive {

// Polls `done` every few milliseconds until it holds or `timeoutMs` has
// passed; the calling thread's messages are dispatched meanwhile. Every
// deadline is multiplied by the environment's TW_DEADLINE_SCALE (1 to 100,
// default 1), so that runs under an emulator, where every program starts
// many times slower, keep the same waits.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
DWORD DeadlineScale();

// Top-level windows of a process (0: any process): the visible ones, or
// every one with `hiddenToo` (a window made but not yet shown).
std::vector<HWND> TopWindows(DWORD processId, bool hiddenToo = false);
// The first window below `parent`, at any depth, with that control id.
HWND DescendantWithId(HWND parent, int id);
std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
std::wstring ItemText(HWND parent, int id);
bool IsShownAndEnabled(HWND window);

// The first visible top-level window of the process with that class (and
// caption, when not empty), waiting up to `timeoutMs`.
HWND WaitTopWindow(DWORD processId, const std::wstring& className, const std::wstring& caption, DWORD timeoutMs);

// Presses a button the way a click does, without waiting for what the
// click starts (a posted BM_CLICK).
void Press(HWND button);
void PressItem(HWND parent, int id);

// A message box: caption, text, icon (none, or which system icon it shows)
// and its buttons.
struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
  std::vector<int> buttons;  // IDOK, IDCANCEL, IDRETRY...
  bool hasIcon = false;
};
// The first message box of the process (any dialog with a message text
// that is not in `ignore`), waiting up to `timeoutMs`.
std::optional<MessageBoxInfo> WaitMessageBox(DWORD processId, DWORD timeoutMs, const std::vector<HWND>& ignore = {});
// Answers with one of its buttons and waits until the box has gone.
bool Answer(const MessageBoxInfo& box, int buttonId, DWORD timeoutMs = 10000);

// A list view of any process.
class RemoteList {
 public:
  explicit RemoteList(HWND list) : list_(list) {}
  int Count() const;
  std::wstring Text(int item) const;
  UINT State(int item, UINT mask) const;
  bool Checked(int item) const;  // state image 2
  // Screen rectangle of an item part (LVIR_BOUNDS, LVIR_LABEL...).
  std::optional<RECT> ItemRect(int item, int part) const;
  // The check box sits left of the label.
  std::optional<POINT> CheckBoxPoint(int item) const;
  std::optional<POINT> LabelPoint(int item) const;

 private:
  HWND list_;
};

// A real mouse click at a screen point (cursor moved there first), so that
// code hit-testing the cursor sees it. `right` for the right button.
void ClickAt(POINT screen, bool right = false);

// A real key press (down and up) for whichever window has the keyboard
// focus. Input is handled in the order it came, so a key typed after a
// click reaches the program only once the click has been handled.
void TypeKey(WORD virtualKey);
// Keys held together: pressed in order, released in reverse (Alt+N,
// Shift+Tab, Alt+F4).
void TypeChord(std::initializer_list<WORD> virtualKeys);
// The window that has the keyboard focus in the thread of `window` (of any
// process); null when none.
HWND FocusOfThread(HWND window);

// Combo boxes (plain or extended) of any process.
int ComboCount(HWND combo);
int ComboSelection(HWND combo);
std::wstring ComboText(HWND combo, int item);
// Selects an item and tells the parent as a user's choice does.
void ChooseCombo(HWND combo, int item);

// The window's pixels as a 24-bit bitmap file, copied from the screen.
bool CaptureWindow(HWND window, const std::wstring& bmpPath);

// The colours of a screen rectangle, row by row from the top.
struct Pixels {
  int width = 0, height = 0;
  std::vector<COLORREF> colors;
  COLORREF At(int x, int y) const { return colors[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};
std::optional<Pixels> ScreenPixels(const RECT& screenRect);

// Pixels that stand out from a background colour (by more than `tolerance`
// summed over red, green and blue): how much of something is drawn on it.
size_t PixelsApartFrom(const Pixels& pixels, COLORREF background, int tolerance = 96);

}  // namespace twdrive
