// What the step manager hands each step dialog when it creates it: paths,
// the user's choices so far, and pointers through which a step writes its
// results into the wizard's state. The records stay owned by the step
// manager and outlive the dialog.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/disc_entry.h"
#include "ui/core/wizard_tables.h"

namespace TarnSet {
class CMgr;
}

// The disc list (one entry per disc of the chosen set) and the indices of
// the discs to make in this run; the index array is a C runtime block.
struct CrtFree {
  void operator()(void* p) const { std::free(p); }
};
using DiscListOwner = std::unique_ptr<DiscEntry[]>;
using DiscIndexOwner = std::unique_ptr<int32_t[], CrtFree>;

struct SlctDiscSetDlgParam {
  std::wstring ActIniPath;
  std::wstring LangIniPath;
  TarnSet::CMgr* Manager = nullptr;    // borrowed
  int32_t* DiscSetIndex = nullptr;     // in: previous choice; out: the chosen set
  std::wstring* DiscSetName = nullptr;
  wchar_t* OddLetter = nullptr;        // 0 = none
  int32_t* DiscType = nullptr;         // 0 DVD, 1 BD, -1 none
  uint32_t* DiscListCount = nullptr;
  DiscListOwner* DiscList = nullptr;
};

struct ChkDiscDlgParam {
  std::wstring ActIniPath;
  std::wstring LangIniPath;
  int32_t DiscType = -1;
  uint32_t DiscListCount = 0;
  const DiscEntry* DiscList = nullptr;
  uint32_t* DiscCount = nullptr;          // out: ticked discs
  DiscIndexOwner* DiscListIndex = nullptr;  // out: their indices in DiscList
};

struct MkDiscDlgParam {
  std::wstring ActIniPath;
  std::wstring LangIniPath;
  wchar_t OddLetter = 0;
  int32_t DiscType = 0;
  uint32_t DiscListCount = 0;
  const DiscEntry* DiscList = nullptr;
  uint32_t DiscCount = 0;
  const int32_t* DiscListIndex = nullptr;
  int32_t* Result = nullptr;         // 0 succeeded, 1 failed, 2 aborted
  uint32_t* CurrentDisc = nullptr;   // incremented after each finished disc
  int32_t* ExitCode = nullptr;       // the engine's exit code on failure, else 0
  // Out: what reading each disc back found, by disc of the run.
  std::vector<tw::ui::ReadBack>* ReadBacks = nullptr;
};

struct FnshDlgParam {
  std::wstring LangIniPathCopy;
  std::wstring LangIniPath;
  std::wstring DiscSetName;
  const DiscEntry* DiscList = nullptr;
  uint32_t DiscCount = 0;
  const int32_t* DiscListIndex = nullptr;
  int32_t Result = 0;
  uint32_t CurrentDisc = 0;
  int32_t ExitCode = 0;
  // Entries in DiscList, so that an index is never used past the list.
  uint32_t DiscListCount = 0;
  // What reading each disc back found, by disc of the run.
  std::vector<tw::ui::ReadBack> ReadBacks;
};
