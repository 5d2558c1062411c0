// What can be counted of another process from outside, for the soak and
// the leak tests: kernel handles, private bytes, GDI and USER objects, its
// windows, and the live counts of the handle and GDI owners that the
// wizard's test build publishes. Each figure comes from the system's own
// call where the platform implements it; under Wine some do not, and the
// functions say so (an absent value, or where else the figure came from).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/owner_count.h"

namespace twdrive {

struct HandleCount {
  DWORD count = 0;
  // GetProcessHandleCount, or the system's handle list where that call
  // answers 0 (Wine: not implemented).
  bool fromHandleList = false;
};
std::optional<HandleCount> CountHandles(DWORD processId);

struct PrivateBytes {
  uint64_t bytes = 0;
  // PrivateUsage, or PagefileUsage (the same commit charge on Windows)
  // where PrivateUsage stays 0 (Wine).
  bool fromPagefileUsage = false;
};
std::optional<PrivateBytes> CountPrivateBytes(DWORD processId);

// GetGuiResources (GR_GDIOBJECTS or GR_USEROBJECTS); absent where the
// platform does not implement it (Wine answers 0 with
// ERROR_CALL_NOT_IMPLEMENTED).
std::optional<DWORD> GuiResources(DWORD processId, DWORD which);

// The live entries of Wine's GDI handle table of the process (Wine keeps
// one per process and names it in the PEB, as Windows once did): the
// process's GDI objects, stock objects included. Absent where no such
// table is found.
std::optional<DWORD> WineGdiTableCount(DWORD processId);
// Whether the table count follows GDI objects made and deleted in this
// process (the check that the table read means what it says).
bool WineGdiTableFollowsThisProcess();

// The process's windows, shown or not: top-level, their descendants, and
// message-only windows.
struct WindowCount {
  unsigned topLevel = 0;
  unsigned children = 0;
  unsigned messageOnly = 0;
  unsigned total() const { return topLevel + children + messageOnly; }
};
WindowCount CountWindows(DWORD processId);

// The live counts of the test build's owners (per tw::owners::Kind);
// absent when the process publishes none (the shipped program).
using OwnerCounts = std::array<long, tw::owners::kKindCount>;
std::optional<OwnerCounts> ReadOwnerCounts(DWORD processId);
long Total(const OwnerCounts& counts);
// "font 6, brush 4, ..." for the kinds held (none: "none").
std::wstring Describe(const OwnerCounts& counts);

}  // namespace twdrive
