// Live counts of the handle and GDI owners (handles.h, ui/gdi.h), kept only
// by the wizard's test build (TW_TEST_BUILD): each owner counts a value when
// it takes one and uncounts it when it closes or hands it away, so that a
// long run driven from outside sees whether anything piles up where the
// platform counts no GDI or USER objects. The shipped program never
// includes the counting; the table's layout and name below are plain data
// that a reader in another process uses too.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tw::owners {

enum Kind : uint32_t {
  kHandle,
  kFile,
  kFind,
  kKey,
  kModule,
  kHook,
  kWindow,
  kFont,
  kBrush,
  kBitmap,
  kIcon,
  kMemoryDc,
  kWindowDc,
  kPaintDc,
  kProcess,
  kPen,
  kKindCount
};

inline const wchar_t* KindName(uint32_t kind) {
  static const wchar_t* const kNames[kKindCount] = {L"handle", L"file",       L"find",      L"key",     L"module",
                                                    L"hook",   L"window",     L"font",      L"brush",   L"bitmap",
                                                    L"icon",   L"memory DC",  L"window DC", L"paint DC", L"process",
                                                    L"pen"};
  return kind < kKindCount ? kNames[kind] : L"?";
}

// The counters as they lie in memory, in this process and in the section
// that the test build publishes them in.
struct Table {
  static constexpr LONG kMagic = 0x4F574E31;  // "OWN1"
  LONG magic;
  LONG kinds;
  volatile LONG live[kKindCount];
};

// The name of the section in which process `processId` publishes its table.
inline std::wstring SectionName(DWORD processId) {
  return L"Local\\TarnwrightOwners." + std::to_wstring(processId);
}

#ifdef TW_TEST_BUILD
// Until the test build publishes the table (at the start of its entry),
// the counts live in this process's own copy.
inline Table g_ownTable = {Table::kMagic, kKindCount, {}};
inline Table* volatile g_table = &g_ownTable;

inline void Opened(Kind kind) { ::InterlockedIncrement(&g_table->live[kind]); }
inline void Closed(Kind kind) { ::InterlockedDecrement(&g_table->live[kind]); }

// Which kind an owner's traits count as; every traits type used in the
// test build names its kind.
template <typename Traits>
struct KindOf;
#endif

}  // namespace tw::owners
