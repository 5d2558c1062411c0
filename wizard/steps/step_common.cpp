#include "step_common.h"

#include "app/msgbox.h"
#include "config/process_records.h"

namespace tw {
namespace steps {

int ShowAppMessage(HWND owner, const std::wstring& text, UINT type) {
  return ShowMessageBox(owner, text, Records().App.AppName, type);
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
