// The first step: the disc sets of the disc-set file, the writer to use,
// the disc types that set and writer allow, and the number of discs. Next
// stores the choice and builds the list of discs still to make.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "burn/core/brn_types.h"

namespace TarnSet {
class CMgr;
}
class CExCmbx;

class SlctDiscSetDlg {
 public:
  static INT_PTR CALLBACK DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  // Fills list 1006 with `count` names; item i carries set position i.
  static bool SetDiscSetList(const std::wstring* names, HWND dialog, uint32_t count, int32_t selectedIndex);
  // The first drive, read-only, in edit 1025.
  static bool ShowOneOddAsAvailable(HWND dialog);
  // Every drive in combo 1008; the one with `letter` (else the first) chosen.
  static bool ShowOddSelection(HWND dialog, wchar_t letter);
  // DVD, and BD where the set and the chosen drive allow it, in combo 1010.
  static bool SetDiscTypeCmbBox(int32_t setIndex, HWND dialog, const std::wstring& langIniPath,
                                TarnSet::CMgr* manager, CExCmbx* driveCombo, bool canSelectDrive,
                                const OddInfo* drives, uint32_t driveCount);
  static void UpdateNeedDiscCount(HWND dialog, TarnSet::CMgr* manager);
  // Discs of the set and type still to make.
  static bool GetTotalDiscCount(int32_t setIndex, int32_t discType, TarnSet::CMgr* manager, uint32_t* count);
  static bool GetSelectedDiscSetIndex(HWND dialog, int32_t* index);
};
