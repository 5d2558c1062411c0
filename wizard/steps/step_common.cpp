#include "step_common.h"

#include "app/msgbox.h"
#include "config/process_records.h"

namespace tw {
namespace steps {

int ShowAppMessage(HWND owner, const std::wstring& text, UINT type) {
  return ShowMessageBox(owner, text, Records().App.AppName, type);
}

bool IsColorMessage(UINT message) {
  return message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN || message == WM_CTLCOLORDLG;
}

}  // namespace steps
}  // namespace tw
