#include "main_dlg.h"

#include <array>
#include <memory>
#include <new>

#include "app/core/text.h"
#include "app/guard.h"
#include "app/log.h"
#include "app/msgbox.h"
#include "app/settings.h"
#include "app/syshelpers.h"
#include "config/lang_ini.h"
#include "config/process_records.h"
#include "config/tarnset.h"
#include "res/resource.h"
#include "ui/access.h"
#include "ui/core/access_rules.h"
#include "ui/core/messages.h"
#include "ui/dialog_designer.h"
#include "ui/gdi.h"
#include "ui/help_viewer.h"
#include "ui/look.h"
#include "ui/step_manager.h"

namespace {

constexpr std::array<SystemButtonRow, 3> kSystemButtons = {{
    {IDC_HELP_BUTTON, IDB_HELP_NORMAL, IDB_HELP_FOCUSED, IDB_HELP_PRESSED, IDB_HELP_DISABLED},
    {IDC_MINIMISE_BUTTON, IDB_MINIMISE_NORMAL, IDB_MINIMISE_FOCUSED, IDB_MINIMISE_PRESSED, IDB_MINIMISE_DISABLED},
    {IDC_CLOSE_BUTTON, IDB_CLOSE_NORMAL, IDB_CLOSE_FOCUSED, IDB_CLOSE_PRESSED, IDB_CLOSE_DISABLED},
}};

constexpr int kCapWidth = 18;

// One look of a step box: bitmaps (left cap, middle, right cap), font and
// text colour.
struct StepLook {
  HBITMAP left = nullptr, middle = nullptr, right = nullptr;  // shared resources
  HFONT font = nullptr;
  COLORREF color = 0;
};

// The main window's process-wide state.
struct MainState {
  const MainDlgInitParam* param = nullptr;
  HWND window = nullptr;
  tw::UniqueHook helpKey;  // F1 while the main window runs
  INT_PTR exitCode = 1;
  std::unique_ptr<CDialogDesigner> designer;
  CSystemBtn systemButtons;
  tw::UniqueFont boldFont;
  StepLook currentLook, currentLastLook, otherLook, otherLastLook;
  std::unique_ptr<TarnSet::CMgr> discSets;
  RECT stepArea{};
  LangIni::AppData texts;
};

MainState& Main() {
  static MainState state;
  return state;
}

// Ends the wizard with the general message for `code` (as a step does).
void PostFatal(HWND dialog, tw::msg::FatalCode code) {
  ::PostMessageW(dialog, tw::msg::kFatalError, tw::msg::CodeOf(code), 1);
}

HBITMAP SharedBitmap(int id) {
  return static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_SHARED));
}

RECT ToRect(const tw::ui::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

RECT ClientOf(HWND window) {
  RECT client{};
  if (!::GetClientRect(window, &client)) {
    const tw::ProcessSettings& settings = tw::Settings();
    client = ToRect(tw::ui::FallbackClient(settings.LogPixelsX, settings.LogPixelsY));
  }
  return client;
}

void BuildLooks(MainState& m) {
  HFONT font2 = m.designer->Font(2);
  LOGFONTW bold{};
  ::GetObjectW(font2, sizeof(bold), &bold);
  bold.lfWeight = FW_BOLD;
  m.boldFont.reset(::CreateFontIndirectW(&bold));
  const COLORREF white = RGB(255, 255, 255);
  const COLORREF black = RGB(0, 0, 0);
  m.currentLook = {SharedBitmap(IDB_STEP_CURRENT_LEFT), SharedBitmap(IDB_STEP_CURRENT_MIDDLE),
                   SharedBitmap(IDB_STEP_CURRENT_RIGHT), m.boldFont.get(), white};
  m.currentLastLook = m.currentLook;
  m.currentLastLook.right = SharedBitmap(IDB_STEP_CURRENT_LAST);
  m.otherLook = {SharedBitmap(IDB_STEP_OTHER_LEFT), SharedBitmap(IDB_STEP_OTHER_MIDDLE),
                 SharedBitmap(IDB_STEP_OTHER_RIGHT), font2, black};
  m.otherLastLook = m.otherLook;
  m.otherLastLook.right = SharedBitmap(IDB_STEP_OTHER_LAST);
}

// Focus and mnemonics are always shown, whatever the last input was: a
// step that comes after a key press must show where the keyboard is.
void ShowKeyboardCues(HWND dialog) {
  ::SendMessageW(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

// F1 asks for the current step's help as the help button does, where the
// step has one. The dialog loop hands every message to the thread's
// message filter before the dialog manager sees it.
bool OnHelpKey(const MSG& msg) {
  HWND main = Main().window;
  if (!main || (msg.hwnd != main && !::IsChild(main, msg.hwnd))) return false;
  if (msg.lParam & (1 << 30)) return true;  // a held key repeats: one help page
  HWND help = ::GetDlgItem(main, IDC_HELP_BUTTON);
  if (!help || !::IsWindowVisible(help) || !::IsWindowEnabled(help)) return false;
  ::SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(help));
  return true;
}

LRESULT CALLBACK HelpKeyFilter(int code, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(L"MainDlg::HelpKeyFilter", LRESULT{0}, [&]() -> LRESULT {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && OnHelpKey(*msg)) {
      return 1;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  });
}

// Tab goes round in reading order: the step's controls (the step dialog is
// always the first child), then Back and Next, then the banner's buttons
// from left to right. The title and description follow, the banner last.
void ArrangeTabOrder(HWND dialog) {
  HWND after = HWND_TOP;
  for (int32_t id : tw::ui::access::MainWindowTabOrder()) {
    HWND control = ::GetDlgItem(dialog, id);
    if (!control) continue;
    ::SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = control;
  }
}

// Where Back and Next begin, in the client area (its bottom without them).
int32_t TopOfButtonRow(HWND dialog, const RECT& client) {
  int32_t top = client.bottom;
  for (int id : {IDC_BACK, IDC_NEXT}) {
    RECT button{};
    if (!::GetWindowRect(::GetDlgItem(dialog, id), &button)) continue;
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
    if (button.top < top) top = button.top;
  }
  return top;
}

// Names the banner's buttons for screen readers.
void NameSystemButtons(MainState& m) {
  m.systemButtons.Button(0).SetAccessibleName(m.texts.HelpButton);
  m.systemButtons.Button(1).SetAccessibleName(m.texts.MinimizeButton);
  m.systemButtons.Button(2).SetAccessibleName(m.texts.CloseButton);
}

// Runs the step manager's transition and sets the window up for the new step.
void ChangeStep(HWND dialog, bool forward) {
  MainState& m = Main();
  if (!m.param) return;
  HWND next = CFuncMgr::GoNextStep(forward, dialog, m.param->LangIniPath, m.param->ActIniPath, m.discSets.get(),
                                   m.stepArea);
  if (!next) {
    TW_LOG(L"MainDlg::DlgProc", tw::Hex8(CFuncMgr::State().CurrentStep));
    PostFatal(dialog, tw::msg::FatalCode::kUnknown);
    return;
  }
  MainDlg::SetStepCtrls(dialog, m.param->LangIniPath, m.param->ActIniPath);
  CFuncMgr::SetFirstFocus(dialog);
  ShowKeyboardCues(dialog);
  ::ShowWindow(dialog, SW_RESTORE);
  Norvane::DeskKit::Common::ActivateTargetWindow(dialog);
}

BOOL OnInitDialog(HWND dialog, const MainDlgInitParam* param) {
  MainState& m = Main();
  m.param = param;
  m.window = dialog;
  m.exitCode = 1;
  if (!m.designer) m.designer = std::make_unique<CDialogDesigner>();

  ::SetClassLongPtrW(dialog, GCL_STYLE, ::GetClassLongPtrW(dialog, GCL_STYLE) | CS_DROPSHADOW);
  ::SetWindowLongPtrW(dialog, GWL_EXSTYLE, ::GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_APPWINDOW);
  HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON),
                                               IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
  ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

  ::SendDlgItemMessageW(dialog, IDC_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(m.designer->Font(1)), TRUE);
  ::SendDlgItemMessageW(dialog, IDC_FUNC_DESCRIPTION, WM_SETFONT, reinterpret_cast<WPARAM>(m.designer->Font(2)), TRUE);
  ::SendDlgItemMessageW(dialog, IDC_NEXT, WM_SETFONT, reinterpret_cast<WPARAM>(m.designer->Font(3)), TRUE);
  ::SendDlgItemMessageW(dialog, IDC_BACK, WM_SETFONT, reinterpret_cast<WPARAM>(m.designer->Font(3)), TRUE);
  BuildLooks(m);

  m.texts = tw::Records().App;
  ::SetWindowTextW(dialog, m.texts.AppName.c_str());
  ::SetDlgItemTextW(dialog, IDC_TITLE, m.texts.AppName.c_str());
  ::SetDlgItemTextW(dialog, IDC_FUNC_DESCRIPTION, m.texts.FuncDescription.c_str());

  if (param) {
    try {
      m.discSets = std::make_unique<TarnSet::CMgr>(param->ActIniPath, param->TarnSetIniPath);
    } catch (const std::bad_alloc&) {
      m.discSets.reset();  // absent: the first step reports it
    }
  }

  // The window and its controls tell a screen reader what they are; the
  // banner's buttons, made next, name themselves.
  tw::access::AnnotateTree(dialog, std::wstring());

  const tw::ProcessSettings& settings = tw::Settings();
  const RECT client = ClientOf(dialog);
  if (m.systemButtons.Create(::GetModuleHandleW(nullptr), dialog, kSystemButtons)) {
    NameSystemButtons(m);
    const tw::ui::SystemButtonFrame frame =
        tw::ui::SystemButtonFrameOf(client.right, settings.LogPixelsX, settings.LogPixelsY);
    m.systemButtons.SetLayout(frame.rightEdge, frame.top, frame.gap);
    m.systemButtons.Arrange(true, true, true, true, true, true);
  } else {
    TW_LOG(L"MainDlg::DlgProc", tw::Hex8(::GetLastError()));
  }

  // The title and the system buttons lie on the banner. The banner goes to
  // the bottom of the controls' order and clips its siblings, so however the
  // three repaint, it never paints over the title or a button.
  ::SetWindowPos(::GetDlgItem(dialog, IDC_BANNER), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ArrangeTabOrder(dialog);
  m.helpKey.reset(::SetWindowsHookExW(WH_MSGFILTER, HelpKeyFilter, nullptr, ::GetCurrentThreadId()));

  m.stepArea = ToRect(tw::ui::StepAreaAbove(tw::ui::StepArea(client.right, settings.LogPixelsX, settings.LogPixelsY),
                                            TopOfButtonRow(dialog, client)));
  if (!param || !CFuncMgr::CreateDlg(dialog, param->LangIniPath, param->ActIniPath, m.discSets.get(), m.stepArea)) {
    TW_LOG(L"MainDlg::DlgProc", L"");
    PostFatal(dialog, tw::msg::FatalCode::kUnknown);
    return TRUE;
  }
  MainDlg::SetStepCtrls(dialog, param->LangIniPath, param->ActIniPath);
  CFuncMgr::SetFirstFocus(dialog);
  ShowKeyboardCues(dialog);
  ::ShowWindow(dialog, SW_SHOWNORMAL);
  Norvane::DeskKit::Common::ActivateTargetWindow(dialog);
  return TRUE;
}

void OnPaint(HWND dialog) {
  MainState& m = Main();
  tw::PaintDc paint(dialog);
  if (!paint) {
    TW_LOG(L"MainDlg::DlgProc", tw::Hex8(::GetLastError()));
    return;
  }
  if (!m.param) return;
  const tw::ProcessSettings& settings = tw::Settings();
  const RECT client = ClientOf(dialog);
  const auto boxes = tw::ui::IndicatorBoxes(tw::ui::IndicatorArea(client.right, settings.LogPixelsX, settings.LogPixelsY));
  const std::wstring* names[4] = {&m.texts.Step1, &m.texts.Step2, &m.texts.Step3, &m.texts.Step4};
  const uint32_t current = CFuncMgr::State().CurrentStep;
  for (uint32_t i = 0; i < 4; ++i) MainDlg::ShowPrcssStep(paint.get(), boxes[i], i == current, i == 3, *names[i]);
}

void OnClose(HWND dialog) {
  MainState& m = Main();
  if (m.exitCode == 1) {
    const int answer = tw::ShowMessageBox(dialog, tw::Records().Messages.Msg_ExitApplication, m.texts.AppName,
                                          MB_OKCANCEL | MB_ICONINFORMATION);
    if (answer != IDOK) return;
  }
  CFuncMgr::DestroyDlg();
  m.discSets.reset();
  m.stepArea = RECT{};
  m.helpKey.reset();
  m.window = nullptr;
  ::EndDialog(dialog, m.exitCode);
}

void OnCommand(HWND dialog, int id, int code) {
  MainState& m = Main();
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_BACK:
      CFuncMgr::NotifyGoNextStepRequest(false);
      break;
    case IDC_NEXT:
      CFuncMgr::NotifyGoNextStepRequest(true);
      break;
    case IDC_CLOSE_BUTTON:
      m.exitCode = 1;
      ::PostMessageW(dialog, WM_CLOSE, 0, 0);
      break;
    case IDCANCEL:
      // Escape: closing as the system's close (Alt+F4) does, with the
      // confirmation while the user is leaving.
      ::PostMessageW(dialog, WM_CLOSE, 0, 0);
      break;
    case IDC_MINIMISE_BUTTON:
      ::ShowWindow(dialog, SW_MINIMIZE);
      break;
    case IDC_HELP_BUTTON: {
      std::wstring path;
      if (CFuncMgr::GetHelpFilePathOfStep(&path)) {
        CHelpViewer::OpenHelp(path);
      } else {
        PostFatal(dialog, tw::msg::FatalCode::kUnknown);
      }
      break;
    }
    default:
      break;
  }
}

// The banner and the title on it: the designer's light blue, or the
// system's window colours under high contrast.
INT_PTR BannerColorAnswer(HDC dc, const CDialogDesigner& designer) {
  ::SetBkMode(dc, TRANSPARENT);
  const tw::ui::contrast::Look look = tw::look::LookOf(tw::ui::contrast::Element::kBanner);
  HBRUSH system = tw::look::SystemBrushOf(look.background);
  if (!system) return reinterpret_cast<INT_PTR>(designer.LightBlueBrush());
  ::SetTextColor(dc, tw::look::ColorOf(look.text));
  return reinterpret_cast<INT_PTR>(system);
}

void DrawBanner(const DRAWITEMSTRUCT& item, const CDialogDesigner& designer) {
  const tw::ui::contrast::Look look = tw::look::LookOf(tw::ui::contrast::Element::kBanner);
  if (!look.background.system) {
    ::FillRect(item.hDC, &item.rcItem, designer.LightBlueBrush());
    return;
  }
  tw::look::FillShape(item.hDC, item.rcItem, look, tw::ui::Scale(2, tw::Settings().LogPixelsY) / 2);
}

BOOL CALLBACK ForwardColorChange(HWND child, LPARAM) {
  ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

INT_PTR Answer(HWND dialog, LRESULT result) {
  ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  MainState& m = Main();
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, reinterpret_cast<const MainDlgInitParam*>(lParam));
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_PAINT:
      OnPaint(dialog);
      return TRUE;
    case WM_CLOSE:
      OnClose(dialog);
      return TRUE;
    case WM_NCHITTEST: {
      RECT banner{};
      const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (::GetWindowRect(::GetDlgItem(dialog, IDC_BANNER), &banner) && ::PtInRect(&banner, point) &&
          ::DefWindowProcW(dialog, message, wParam, lParam) == HTCLIENT) {
        return Answer(dialog, HTCAPTION);
      }
      return FALSE;
    }
    case WM_CTLCOLORDLG:
      if (!m.designer) return FALSE;
      return m.designer->ColorAnswer(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC: {
      if (!m.designer) return FALSE;
      const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (id != IDC_BANNER && id != IDC_TITLE) return m.designer->ColorAnswer(reinterpret_cast<HDC>(wParam));
      return BannerColorAnswer(reinterpret_cast<HDC>(wParam), *m.designer);
    }
    case WM_CTLCOLORBTN: {
      const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (!m.designer || (id != IDC_BACK && id != IDC_NEXT)) return FALSE;
      return m.designer->ColorAnswer(reinterpret_cast<HDC>(wParam));
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (!m.designer || !item || static_cast<int>(item->CtlID) != IDC_BANNER) return FALSE;
      DrawBanner(*item, *m.designer);
      return TRUE;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      // The colours or the high-contrast mode changed: the common
      // controls learn it from the window that holds them, and everything
      // is drawn anew.
      if (message == WM_SYSCOLORCHANGE) ::EnumChildWindows(dialog, ForwardColorChange, 0);
      ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return FALSE;
    case tw::msg::kFatalError:
      if (lParam != 0) MainDlg::ShowErrorMessage(static_cast<uint32_t>(wParam), dialog);
      m.exitCode = 2;
      ::PostMessageW(dialog, WM_CLOSE, 0, 0);
      return TRUE;
    case tw::msg::kGoNext:
      ChangeStep(dialog, true);
      return TRUE;
    case tw::msg::kGoBack:
      ChangeStep(dialog, false);
      return TRUE;
    case tw::msg::kFinished:
      m.exitCode = 0;
      ::PostMessageW(dialog, WM_CLOSE, 0, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR MainDlg::Run(HINSTANCE instance, const MainDlgInitParam& param) {
  // The windows' accessible objects are handed to screen readers through
  // COM: the thread that runs the windows is a single-threaded apartment.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const tw::ScopeExit uninitialize([com] {
    if (SUCCEEDED(com)) ::CoUninitialize();
  });
  return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DlgProc,
                           reinterpret_cast<LPARAM>(&param));
}

INT_PTR CALLBACK MainDlg::DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(L"MainDlg::DlgProc", INT_PTR{FALSE}, [&] { return Handle(dialog, message, wParam, lParam); });
}

void MainDlg::ShowErrorMessage(uint32_t errorCode, HWND owner) {
  const LangIni::GnrlMsgData& messages = tw::Records().Messages;
  const std::wstring* text = &messages.Msg_UnknownError;
  using tw::msg::FatalCode;
  switch (static_cast<FatalCode>(errorCode)) {
    case FatalCode::kUnknown:
    case FatalCode::kOwnMessage:
      break;
    case FatalCode::kFileLacked:
      text = &messages.Msg_FileLacked;
      break;
    case FatalCode::kNoBurnApp:
      text = &messages.Msg_BurnAppNotInstalled;
      break;
    case FatalCode::kDriveInfo:
      text = &messages.Msg_GettingDriveInfoFailed;
      break;
    case FatalCode::kDiscSetInfo:
      text = &messages.Msg_GettingDiscSetInfoFailed;
      break;
    default:
      TW_LOG(L"MainDlg::ShowErrorMessage", tw::Hex8(errorCode));
      break;
  }
  tw::ShowMessageBox(owner, *text, tw::Records().App.AppName, MB_OK | MB_ICONERROR);
}

void MainDlg::SetStepCtrls(HWND mainWindow, const std::wstring& langIniPath, const std::wstring& actIniPath) {
  StepControls controls;
  if (!CFuncMgr::GetSettngValiableCntrls(langIniPath, actIniPath, &controls)) return;
  const tw::ui::ButtonStates& s = controls.states;
  Main().systemButtons.Arrange(s.helpVisible, s.helpEnabled, s.minimiseVisible, s.minimiseEnabled, s.closeVisible,
                               s.closeEnabled);
  struct PushButton {
    int id;
    bool visible, enabled, isDefault;
    const std::wstring& text;
  };
  const PushButton buttons[] = {{IDC_BACK, s.backVisible, s.backEnabled, s.backDefault, controls.backText},
                                {IDC_NEXT, s.nextVisible, s.nextEnabled, s.nextDefault, controls.nextText}};
  for (const PushButton& b : buttons) {
    HWND button = ::GetDlgItem(mainWindow, b.id);
    ::ShowWindow(button, b.visible ? SW_SHOW : SW_HIDE);
    ::EnableWindow(button, b.enabled ? TRUE : FALSE);
    LONG_PTR style = ::GetWindowLongPtrW(button, GWL_STYLE);
    style = b.isDefault ? (style | BS_DEFPUSHBUTTON) : (style & ~static_cast<LONG_PTR>(BS_DEFPUSHBUTTON));
    ::SetWindowLongPtrW(button, GWL_STYLE, style);
    ::SetWindowTextW(button, b.text.c_str());
    if (!b.enabled) ::SendMessageW(button, WM_KILLFOCUS, 0, 0);
    ::SetWindowPos(button, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  ::InvalidateRect(mainWindow, nullptr, TRUE);
}

namespace {
// A step box under high contrast: a plain box in system colours, the
// current step in the highlight colours.
void ShowPlainStep(HDC dc, const tw::ui::Rect& box, bool current, HFONT font, const std::wstring& text) {
  const tw::ui::contrast::Look look =
      tw::look::LookOf(current ? tw::ui::contrast::Element::kStepCurrent : tw::ui::contrast::Element::kStepOther);
  const tw::ProcessSettings& settings = tw::Settings();
  RECT shape = ToRect(box);
  ::InflateRect(&shape, -tw::ui::Scale(2, settings.LogPixelsX), 0);
  tw::look::FillShape(dc, shape, look, current ? tw::ui::Scale(2, settings.LogPixelsX) : 1);
  tw::SelectedObject selected(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, tw::look::ColorOf(look.text));
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shape,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
}  // namespace

void MainDlg::ShowPrcssStep(HDC dc, const tw::ui::Rect& box, bool current, bool last, const std::wstring& text) {
  const MainState& m = Main();
  if (tw::look::HighContrastOn()) {
    ShowPlainStep(dc, box, current, current ? m.currentLook.font : m.otherLook.font, text);
    return;
  }
  const StepLook& look = current ? (last ? m.currentLastLook : m.currentLook) : (last ? m.otherLastLook : m.otherLook);
  tw::UniqueMemoryDc memory(::CreateCompatibleDC(dc));
  if (!memory) {
    TW_LOG(L"MainDlg::ShowPrcssStep", tw::Hex8(::GetLastError()));
    return;
  }
  const tw::ui::BoxPieces pieces = tw::ui::StepBoxPieces(box, kCapWidth, tw::Settings().LogPixelsX);
  const std::pair<const tw::ui::Rect*, HBITMAP> parts[] = {
      {&pieces.left, look.left}, {&pieces.middle, look.middle}, {&pieces.right, look.right}};
  ::SetStretchBltMode(dc, HALFTONE);
  ::SetBrushOrgEx(dc, 0, 0, nullptr);
  for (const auto& part : parts) {
    if (!part.second || part.first->width() <= 0) continue;
    BITMAP info{};
    ::GetObjectW(part.second, sizeof(info), &info);
    tw::SelectedObject selected(memory.get(), part.second);
    ::StretchBlt(dc, part.first->left, part.first->top, part.first->width(), part.first->height(), memory.get(), 0, 0,
                 info.bmWidth, info.bmHeight, SRCCOPY);
  }
  RECT textBox = ToRect(box);
  tw::SelectedObject font(dc, look.font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, look.color);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textBox,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
