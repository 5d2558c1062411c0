#include "dialog_designer.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

#include "app/core/text.h"
#include "app/guard.h"
#include "app/log.h"
#include "app/settings.h"
#include "config/process_records.h"
#include "res/resource.h"
#include "ui/access.h"
#include "ui/core/messages.h"
#include "ui/look.h"

// ---------------------------------------------------------------- CDialogDesigner

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kLightBlue = 0xE8CFB3;  // red 179, green 207, blue 232

// The non-client metrics as every version of the platform fills them: the
// structure without its last field, 500 bytes.
constexpr UINT kNonClientMetricsSize = 500;

LOGFONTW FontOf(const LOGFONTW& base, const std::wstring& face, uint32_t points, int dpiY) {
  LOGFONTW font = base;
  font.lfHeight = -::MulDiv(static_cast<int>(points), dpiY, 72);
  font.lfWidth = 0;
  font.lfWeight = FW_NORMAL;
  // Face names are at most 31 characters (the reader cuts longer ones);
  // copy no more than the field holds either way.
  const size_t n = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
  std::copy_n(face.c_str(), n, font.lfFaceName);
  font.lfFaceName[n] = L'\0';
  return font;
}

}  // namespace

CDialogDesigner::CDialogDesigner()
    : white_(::CreateSolidBrush(kWhite)), lightBlue_(::CreateSolidBrush(kLightBlue)) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = kNonClientMetricsSize;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) {
    TW_LOG(L"CDialogDesigner::CDialogDesigner", tw::Hex8(::GetLastError()));
    // Without the system's message font the fonts start from a zeroed
    // description: the platform's defaults for everything but face and size.
    metrics.lfMessageFont = LOGFONTW{};
  }
  const ActIni::AppData& fonts = tw::Records().Fonts;
  const int dpiY = tw::Settings().LogPixelsY;
  const LOGFONTW f1 = FontOf(metrics.lfMessageFont, fonts.FontName1, fonts.FontSize1, dpiY);
  const LOGFONTW f2 = FontOf(metrics.lfMessageFont, fonts.FontName2, fonts.FontSize2, dpiY);
  const LOGFONTW f3 = FontOf(metrics.lfMessageFont, fonts.FontName3, fonts.FontSize3, dpiY);
  LOGFONTW f4 = f3;
  f4.lfWeight = FW_BOLD;
  fonts_[0].reset(::CreateFontIndirectW(&f1));
  fonts_[1].reset(::CreateFontIndirectW(&f2));
  fonts_[2].reset(::CreateFontIndirectW(&f3));
  fonts_[3].reset(::CreateFontIndirectW(&f4));
}

INT_PTR CDialogDesigner::ColorAnswer(HDC dc) const {
  ::SetBkMode(dc, TRANSPARENT);
  const tw::ui::contrast::Look look = tw::look::LookOf(tw::ui::contrast::Element::kStepArea);
  HBRUSH system = tw::look::SystemBrushOf(look.background);
  if (!system) return reinterpret_cast<INT_PTR>(WhiteBrush());
  ::SetTextColor(dc, tw::look::ColorOf(look.text));
  return reinterpret_cast<INT_PTR>(system);
}

// ---------------------------------------------------------------- CSystemBmpBtn

namespace {

// Process-wide: 1 at start, 0 while a click is being delivered.
LONG g_clickFlag = 1;

bool PointInClient(HWND window, LPARAM lParam) {
  RECT client{};
  ::GetClientRect(window, &client);
  const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return ::PtInRect(&client, point) != FALSE;
}

constexpr UINT_PTR kFocusTimer = 1;
constexpr UINT kFocusDelayMs = 500;

}  // namespace

bool CSystemBmpBtn::ClickFlag() { return g_clickFlag != 0; }

CSystemBmpBtn::~CSystemBmpBtn() {
  if (window_) {
    // The window owner destroys the button right after this body: give it
    // back its own procedure first, so that the messages of its
    // destruction never reach an object that is being torn down.
    ::SetWindowLongPtrW(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  }
}

bool CSystemBmpBtn::Create(HINSTANCE instance, HWND parent, const SystemButtonRow& row) {
  parent_ = parent;
  id_ = static_cast<int>(row[0]);
  for (size_t i = 0; i < 4; ++i) {
    bitmaps_[i] = static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(row[i + 1]), IMAGE_BITMAP, 0, 0, LR_SHARED));
    if (!bitmaps_[i]) return false;
  }
  BITMAP info{};
  ::GetObjectW(bitmaps_[0], sizeof(info), &info);
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  window_.reset(::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_GROUP | WS_TABSTOP, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), instance, nullptr));
  if (!window_) return false;
  // Above the banner it sits on, so that repainting the banner never paints
  // over it.
  ::SetWindowPos(window_.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  static_assert(std::is_same_v<decltype(&SubclassProc), WNDPROC>, "installed as a window procedure");
  previous_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  ::UpdateWindow(window_.get());
  return true;
}

void CSystemBmpBtn::Show(bool show) { ::ShowWindow(window_.get(), show ? SW_SHOW : SW_HIDE); }

void CSystemBmpBtn::Move(int x, int y) {
  ::SetWindowPos(window_.get(), nullptr, x, y, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
}

int CSystemBmpBtn::GetWidth() const { return width_; }

void CSystemBmpBtn::Enable(bool enable) {
  HWND window = window_.get();
  if (!enable && focused_) {
    ::SendMessageW(parent_, WM_NEXTDLGCTL, 0, FALSE);
    focused_ = false;
  }
  ::EnableWindow(window, enable ? TRUE : FALSE);
  if (::IsWindowVisible(window)) {
    ::InvalidateRect(window, nullptr, FALSE);
    ::UpdateWindow(window);
  }
}

void CSystemBmpBtn::Draw(HDC dc) {
  const bool hasFocus = ::GetFocus() == window_.get();
  if (tw::look::HighContrastOn()) {
    DrawPlain(dc, hasFocus);
    return;
  }
  HBITMAP bitmap = !::IsWindowEnabled(window_.get()) ? bitmaps_[3]
                   : pressed_                         ? bitmaps_[2]
                   : hasFocus                         ? bitmaps_[1]
                                                      : bitmaps_[0];
  tw::UniqueMemoryDc memory(::CreateCompatibleDC(dc));
  if (!memory) return;
  tw::SelectedObject selected(memory.get(), bitmap);
  ::BitBlt(dc, 0, 0, width_, height_, memory.get(), 0, 0, SRCCOPY);
}

namespace {

tw::ui::contrast::Glyph GlyphOf(int id) {
  switch (id) {
    case IDC_HELP_BUTTON:
      return tw::ui::contrast::Glyph::kHelp;
    case IDC_MINIMISE_BUTTON:
      return tw::ui::contrast::Glyph::kMinimise;
    default:
      return tw::ui::contrast::Glyph::kClose;
  }
}

// The help button's question mark, as large as the button allows.
void DrawQuestionMark(HDC dc, const RECT& box, COLORREF color) {
  tw::UniqueFont font(::CreateFontW(-(box.bottom - box.top) * 2 / 3, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH, L"MS Shell Dlg"));
  tw::SelectedObject selected(dc, font.get());
  RECT text = box;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, color);
  ::DrawTextW(dc, L"?", 1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

void CSystemBmpBtn::DrawPlain(HDC dc, bool hasFocus) {
  using tw::ui::contrast::Element;
  const Element element = !::IsWindowEnabled(window_.get()) ? Element::kButtonDisabled
                          : pressed_                         ? Element::kButtonPressed
                          : hasFocus                         ? Element::kButtonFocused
                                                             : Element::kButtonNormal;
  const tw::ui::contrast::Look look = tw::look::LookOf(element);
  const RECT box{0, 0, width_, height_};
  const int stroke = tw::ui::contrast::StrokeWidth(width_);
  tw::look::FillShape(dc, box, look, stroke / 2 > 0 ? stroke / 2 : 1);
  const COLORREF color = tw::look::ColorOf(look.text);
  const tw::ui::contrast::Glyph glyph = GlyphOf(id_);
  if (glyph == tw::ui::contrast::Glyph::kHelp) {
    DrawQuestionMark(dc, box, color);
  } else {
    tw::UniquePen pen(::CreatePen(PS_SOLID, stroke, color));
    tw::SelectedObject selected(dc, pen.get());
    for (const tw::ui::contrast::Stroke& s : tw::ui::contrast::GlyphStrokes(glyph, width_, height_)) {
      ::MoveToEx(dc, s.x1, s.y1, nullptr);
      ::LineTo(dc, s.x2, s.y2);
    }
  }
  if (hasFocus) {
    RECT focus = box;
    ::InflateRect(&focus, -(stroke + 1), -(stroke + 1));
    ::SetTextColor(dc, color);
    ::DrawFocusRect(dc, &focus);
  }
}

void CSystemBmpBtn::DeliverClick() {
  g_clickFlag = 0;
  ::SendMessageW(parent_, WM_COMMAND, MAKEWPARAM(id_, BN_CLICKED), reinterpret_cast<LPARAM>(window_.get()));
}

LRESULT CALLBACK CSystemBmpBtn::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(L"CSystemBmpBtn::SubclassProc", LRESULT{0}, [&]() -> LRESULT {
    auto* self = reinterpret_cast<CSystemBmpBtn*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(window, message, wParam, lParam);
  });
}

LRESULT CSystemBmpBtn::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) {
    // Destroyed with its parent: unhook before the window goes.
    WNDPROC previous = previous_;
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    window_.release();
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
  }
  if (g_clickFlag == 0) {
    // A click is being delivered: answer everything with 0. Painting is
    // validated so that a long delivery (a message box) does not spin on
    // an ever-invalid button; the repaint after the click draws it.
    if (message == WM_PAINT) ::ValidateRect(window, nullptr);
    return 0;
  }
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      OnFocusChange(window, message == WM_SETFOCUS);
      return 0;
    case WM_TIMER:
      if (wParam != kFocusTimer) break;
      ::KillTimer(window, kFocusTimer);
      ::PostMessageW(window, tw::msg::kButtonRepaint, 0, 0);
      return 0;
    case WM_PAINT: {
      tw::PaintDc paint(window);
      if (paint) Draw(paint.get());
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case BM_SETSTATE:
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (wParam != VK_SPACE) break;
      OnSpaceKey(window, message == WM_KEYDOWN);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      OnLeftButton(window, message == WM_LBUTTONDOWN, lParam);
      break;
    case tw::msg::kButtonRepaint:
      ::InvalidateRect(window, nullptr, FALSE);
      ::UpdateWindow(window);
      return 0;
    case WM_GETOBJECT: {
      const LRESULT answer = tw::access::AnswerGetObject(window, wParam, lParam, name_);
      if (answer) return answer;
      break;
    }
    default:
      break;
  }
  return ::CallWindowProcW(previous_, window, message, wParam, lParam);
}

void CSystemBmpBtn::OnFocusChange(HWND window, bool focused) {
  if (focused_ == focused) return;
  focused_ = focused;
  ::SetTimer(window, kFocusTimer, kFocusDelayMs, nullptr);
}

void CSystemBmpBtn::OnSpaceKey(HWND window, bool down) {
  if (down) {
    if (pressed_) return;
    pressed_ = true;
  } else {
    if (!pressed_) return;
    DeliverClick();
    pressed_ = false;
    g_clickFlag = 1;
  }
  ::SendMessageW(window, tw::msg::kButtonRepaint, 0, 0);
}

void CSystemBmpBtn::OnLeftButton(HWND window, bool down, LPARAM lParam) {
  if (down) {
    if (!PointInClient(window, lParam) || pressed_) return;
    pressed_ = true;
  } else {
    if (!pressed_) return;
    g_clickFlag = 0;
    if (PointInClient(window, lParam)) DeliverClick();
    pressed_ = false;
    g_clickFlag = 1;
  }
  ::SendMessageW(window, tw::msg::kButtonRepaint, 0, 0);
}

// ---------------------------------------------------------------- CSystemBtn

bool CSystemBtn::Create(HINSTANCE instance, HWND parent, const std::array<SystemButtonRow, 3>& rows) {
  parent_ = parent;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!buttons_[i].Create(instance, parent, rows[i])) return false;
  }
  return true;
}

void CSystemBtn::SetLayout(int rightEdge, int top, int gap) {
  rightEdge_ = rightEdge;
  top_ = top;
  gap_ = gap;
}

void CSystemBtn::Arrange(bool show0, bool enable0, bool show1, bool enable1, bool show2, bool enable2) {
  const bool show[3] = {show0, show1, show2};
  const bool enable[3] = {enable0, enable1, enable2};
  int x = rightEdge_;
  for (int i = 2; i >= 0; --i) {
    CSystemBmpBtn& button = buttons_[static_cast<size_t>(i)];
    button.Move(x - button.GetWidth(), top_);
    button.Show(show[i]);
    button.Enable(enable[i]);
    if (show[i]) x -= button.GetWidth() + gap_;
  }
}

// ---------------------------------------------------------------- CExCmbx

namespace {
struct LocalFreer {
  void operator()(wchar_t* p) const { ::LocalFree(p); }
};
}  // namespace

bool CExCmbx::FormatText(std::wstring* out, const std::wstring& format, std::initializer_list<const wchar_t*> args) {
  if (!out) return false;
  // Every insert a format can name (1 to 99) reads a valid text: the given
  // ones, then empty ones, so a format naming more inserts than given
  // never reads past the arguments.
  std::vector<DWORD_PTR> inserts(99, reinterpret_cast<DWORD_PTR>(L""));
  size_t i = 0;
  for (const wchar_t* arg : args) {
    if (i < inserts.size()) inserts[i++] = reinterpret_cast<DWORD_PTR>(arg ? arg : L"");
  }
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, format.c_str(), 0,
      0, reinterpret_cast<wchar_t*>(&buffer), 0, reinterpret_cast<va_list*>(inserts.data()));
  std::unique_ptr<wchar_t, LocalFreer> text(buffer);
  if (n == 0 || !text) {
    // An empty result is no failure: an empty format gives an empty name.
    if (format.empty()) {
      out->clear();
      return true;
    }
    return false;
  }
  out->assign(text.get(), n);
  return true;
}

bool CExCmbx::AddItem(HWND combo, const std::wstring& rootPath, const std::wstring& typeText,
                      const std::wstring& format, LPARAM itemData) {
  SHFILEINFOW info{};
  imageList_ = reinterpret_cast<HIMAGELIST>(
      ::SHGetFileInfoW(rootPath.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (!imageList_) return false;
  ::SendMessageW(combo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList_));
  info = SHFILEINFOW{};
  if (!::SHGetFileInfoW(rootPath.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) return false;

  std::wstring label;
  if (::GetDriveTypeW(rootPath.c_str()) != DRIVE_CDROM) {
    wchar_t volume[MAX_PATH + 1] = {};
    if (::GetVolumeInformationW(rootPath.c_str(), volume, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
      label = volume;
    }
  }
  if (label.empty()) label = typeText;

  const std::wstring drive = rootPath.substr(0, 2);
  std::wstring text;
  if (!FormatText(&text, format, {drive.c_str(), label.c_str()})) return false;
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
  item.iItem = -1;
  item.pszText = &text[0];
  item.iImage = info.iIcon;
  item.iSelectedImage = info.iIcon;
  item.lParam = itemData;
  return ::SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) >= 0;
}

bool CExCmbx::SelectByItemData(HWND combo, LPARAM data) {
  const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = i;
    if (::SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam == data) {
      ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return true;
    }
  }
  return false;
}

int CExCmbx::GetSelectedItemData(HWND combo) {
  const LRESULT selected = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR) return -1;
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_LPARAM;
  item.iItem = selected;
  if (!::SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return static_cast<int>(item.lParam);
}
