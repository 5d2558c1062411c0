// Walks what a screen reader learns of a window and everything below it,
// through the system's accessibility library, as such a reader asks: the
// client object of each window (AccessibleObjectFromWindow), its name,
// role, state and value, and the simple children it reports (a list's
// items). The windows are walked one by one, since the system's objects of
// this platform give no children of their own. The caller's thread must
// be in a COM apartment.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace twdrive {

struct AccessibleEntry {
  int depth = 0;        // 0 for the window walked from
  HWND window = nullptr;
  int controlId = 0;
  long child = 0;       // 0: the window's own object; 1..: a simple child
  std::wstring name, value, role;  // role as the system words it
  std::wstring shortcut;           // "Alt+D"
  long roleNumber = 0;
  unsigned long state = 0;
  bool answered = false;  // the object could be had and named its role
};

// Every visible window from `top` down, in window order, with the simple
// children of each. Windows that are not shown are left out (with their
// children).
std::vector<AccessibleEntry> WalkAccessibility(HWND top);

// A focusable object (by its state) that is shown, available and has no
// name: what a screen reader could only call by its role.
bool IsUnnamedFocusable(const AccessibleEntry& entry);

// One line per entry: indented, role, name in quotes, value, shortcut,
// states and control id; line breaks in a text show as "\n".
std::wstring FormatEntry(const AccessibleEntry& entry);

// The entry of the window with that control id (its own object), or null.
const AccessibleEntry* FindEntry(const std::vector<AccessibleEntry>& entries, int controlId);

}  // namespace twdrive
