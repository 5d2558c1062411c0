#include "step_common.h"

#include <commctrl.h>

#include "app/core/text.h"
#include "app/log.h"
#include "app/msgbox.h"
#include "config/process_records.h"
#include "ui/gdi.h"

namespace tw {
namespace steps {

int ShowAppMessage(HWND owner, const std::wstring& text, UINT type) {
  return ShowMessageBox(owner, text, Records().App.AppName, type);
}

int FillSingleColumnList(HWND list, const std::vector<std::wstring>& texts, const wchar_t* function,
                         std::vector<int>* items) {
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = LVCFMT_LEFT;
  column.cx = 100;
  column.pszText = const_cast<wchar_t*>(L"");
  ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

  WindowDc dc(list);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0));
  SelectedObject selected(dc.get(), font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
  int widest = 0;
  if (items) items->clear();
  for (size_t i = 0; i < texts.size(); ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(texts[i].c_str());
    item.lParam = static_cast<LPARAM>(i);
    const int index = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (items) items->push_back(index);
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc.get(), texts[i].c_str(), static_cast<int>(texts[i].size()), &size)) {
      TW_LOG(function, Hex8With(::GetLastError(), texts[i]));
    } else if (size.cx > widest) {
      widest = size.cx;
    }
  }
  return widest;
}

void SetSingleColumnWidth(HWND list, uint16_t width) {
  ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
}

bool HandleCommonMessage(HWND dialog, UINT message, WPARAM wParam, const CDialogDesigner& designer, INT_PTR* result) {
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
      *result = designer.ColorAnswer(reinterpret_cast<HDC>(wParam));
      return true;
    case msg::kDestroyStep:
      ::DestroyWindow(dialog);
      *result = TRUE;
      return true;
    default:
      return false;
  }
}

}  // namespace steps
}  // namespace tw
