// The second step: the discs of the chosen set, each with a check box, all
// ticked at first. Next stores the ticked discs in set order, shows the
// maker's attention about disc formatting and moves on.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/disc_entry.h"

class ChkDiscDlg {
 public:
  static INT_PTR CALLBACK DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static void SetDiscList(HWND dialog, uint32_t count, const DiscEntry* discList);
  // The common dialog library's export that shows the attention.
  static constexpr const char* kAttentionExportName = "ShowAttentionToDiscFormatDlg";
  // Shows "ShowAttentionToDiscFormatDlg" of the common dialog library; true
  // when the user goes on.
  static bool ShowAttntnToFormatDisc(HWND dialog);
};
