#include "window_driver.h"

#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "app/handles.h"
#include "ui/gdi.h"

namespace twdrive {
namespace {

constexpr DWORD kPollMs = 15;
constexpr int kMessageTextId = 0xFFFF;
// The icon of a message box: id 20 on Windows, 1088 under Wine.
constexpr int kMessageIconIds[] = {20, 1088};

DWORD ProcessOf(HWND window) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  return id;
}

// A block of memory in another process, freed again.
class RemoteBlock {
 public:
  RemoteBlock(HWND owner, size_t size) : size_(size) {
    process_.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(owner)));
    if (process_) address_ = ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBlock() {
    if (address_) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  explicit operator bool() const { return address_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    SIZE_T done = 0;
    return offset + size <= size_ && ::WriteProcessMemory(process_.get(), at(offset), data, size, &done) && done == size;
  }
  bool Read(size_t offset, void* data, size_t size) const {
    SIZE_T done = 0;
    return offset + size <= size_ && ::ReadProcessMemory(process_.get(), at(offset), data, size, &done) && done == size;
  }

 private:
  tw::UniqueHandle process_;
  void* address_ = nullptr;
  size_t size_;
};

constexpr size_t kTextUnits = 1024;

}  // namespace

DWORD DeadlineScale() {
  static const DWORD scale = [] {
    wchar_t text[16] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"TW_DEADLINE_SCALE", text, 16);
    const unsigned long value = n > 0 && n < 16 ? std::wcstoul(text, nullptr, 10) : 0;
    return value >= 1 && value <= 100 ? static_cast<DWORD>(value) : 1u;
  }();
  return scale;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<uint64_t>(timeoutMs) * DeadlineScale());
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
  }
}

namespace {
// Named CALLBACK functions: a lambda does not convert to the __stdcall
// WNDENUMPROC of the 32-bit build.
struct WindowSearch {
  DWORD processId = 0;
  bool hiddenToo = false;
  int id = 0;
  std::vector<HWND> found;
};
BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if ((search->hiddenToo || ::IsWindowVisible(window)) &&
      (search->processId == 0 || ProcessOf(window) == search->processId)) {
    search->found.push_back(window);
  }
  return TRUE;
}
BOOL CALLBACK FindControlId(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (::GetDlgCtrlID(window) != search->id) return TRUE;
  search->found.push_back(window);
  return FALSE;
}
}  // namespace

std::vector<HWND> TopWindows(DWORD processId, bool hiddenToo) {
  WindowSearch search;
  search.processId = processId;
  search.hiddenToo = hiddenToo;
  ::EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND DescendantWithId(HWND parent, int id) {
  WindowSearch search;
  search.id = id;
  ::EnumChildWindows(parent, FindControlId, reinterpret_cast<LPARAM>(&search));
  return search.found.empty() ? nullptr : search.found.front();
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  if (!window) return std::wstring();
  const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      ::SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::wstring ItemText(HWND parent, int id) { return TextOf(::GetDlgItem(parent, id)); }

bool IsShownAndEnabled(HWND window) { return window && ::IsWindowVisible(window) && ::IsWindowEnabled(window); }

HWND WaitTopWindow(DWORD processId, const std::wstring& className, const std::wstring& caption, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopWindows(processId)) {
          if (ClassOf(window) == className && (caption.empty() || TextOf(window) == caption)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

void Press(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }
void PressItem(HWND parent, int id) { Press(::GetDlgItem(parent, id)); }

std::optional<MessageBoxInfo> WaitMessageBox(DWORD processId, DWORD timeoutMs, const std::vector<HWND>& ignore) {
  std::optional<MessageBoxInfo> box;
  WaitUntil(
      [&] {
        for (HWND window : TopWindows(processId)) {
          if (ClassOf(window) != L"#32770" || !::GetDlgItem(window, kMessageTextId)) continue;
          bool skip = false;
          for (HWND other : ignore) skip = skip || other == window;
          if (skip) continue;
          MessageBoxInfo info;
          info.window = window;
          info.caption = TextOf(window);
          info.text = ItemText(window, kMessageTextId);
          for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
            HWND button = ::GetDlgItem(window, id);
            if (button && ::IsWindowVisible(button)) info.buttons.push_back(id);
          }
          for (int id : kMessageIconIds) {
            HWND icon = ::GetDlgItem(window, id);
            if (icon && ::SendMessageW(icon, STM_GETICON, 0, 0)) info.hasIcon = true;
          }
          box = info;
          return true;
        }
        return false;
      },
      timeoutMs);
  return box;
}

bool Answer(const MessageBoxInfo& box, int buttonId, DWORD timeoutMs) {
  HWND button = ::GetDlgItem(box.window, buttonId);
  if (!button) return false;
  Press(button);
  return WaitUntil([&] { return !::IsWindow(box.window) || !::IsWindowVisible(box.window); }, timeoutMs);
}

int RemoteList::Count() const { return static_cast<int>(::SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

UINT RemoteList::State(int item, UINT mask) const {
  return static_cast<UINT>(::SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
}

bool RemoteList::Checked(int item) const { return ((State(item, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) == 2; }

std::wstring RemoteList::Text(int item) const {
  RemoteBlock block(list_, sizeof(LVITEMW) + kTextUnits * sizeof(wchar_t));
  if (!block) return std::wstring();
  LVITEMW request{};
  request.iSubItem = 0;
  request.cchTextMax = static_cast<int>(kTextUnits);
  request.pszText = reinterpret_cast<wchar_t*>(block.at(sizeof(LVITEMW)));
  if (!block.Write(0, &request, sizeof(request))) return std::wstring();
  const LRESULT length = ::SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(block.at(0)));
  std::wstring text(kTextUnits, L'\0');
  if (!block.Read(sizeof(LVITEMW), &text[0], kTextUnits * sizeof(wchar_t))) return std::wstring();
  text.resize(static_cast<size_t>(length));
  return text;
}

std::optional<RECT> RemoteList::ItemRect(int item, int part) const {
  RemoteBlock block(list_, sizeof(RECT));
  RECT rect{};
  rect.left = part;
  if (!block || !block.Write(0, &rect, sizeof(rect)) ||
      !::SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(block.at(0))) ||
      !block.Read(0, &rect, sizeof(rect))) {
    return std::nullopt;
  }
  ::MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::optional<POINT> RemoteList::CheckBoxPoint(int item) const {
  const auto bounds = ItemRect(item, LVIR_BOUNDS);
  const auto label = ItemRect(item, LVIR_LABEL);
  if (!bounds || !label) return std::nullopt;
  // The state image lies between the item's left edge and its label.
  const int right = label->left > bounds->left ? label->left : bounds->left + 16;
  return POINT{bounds->left + (right - bounds->left) / 2 - 1, (bounds->top + bounds->bottom) / 2};
}

std::optional<POINT> RemoteList::LabelPoint(int item) const {
  const auto label = ItemRect(item, LVIR_LABEL);
  if (!label) return std::nullopt;
  return POINT{label->left + 10, (label->top + label->bottom) / 2};
}

void ClickAt(POINT screen, bool right) {
  // Two clicks within the double-click time make a double click of the
  // second, whichever program gave the first: keep clicks apart from the
  // last input the system saw.
  const DWORD apart = ::GetDoubleClickTime() + 50;
  WaitUntil(
      [&] {
        LASTINPUTINFO last{sizeof(last), 0};
        return !::GetLastInputInfo(&last) || ::GetTickCount() - last.dwTime > apart;
      },
      apart);
  // The click goes to whatever window lies under the point: bring the one
  // there to the front first.
  HWND target = ::WindowFromPoint(screen);
  if (target) ::SetForegroundWindow(::GetAncestor(target, GA_ROOT));
  ::SetCursorPos(screen.x, screen.y);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  ::SendInput(2, inputs, sizeof(INPUT));
}

void TypeKey(WORD virtualKey) {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, inputs, sizeof(INPUT));
}

void TypeChord(std::initializer_list<WORD> virtualKeys) {
  std::vector<INPUT> inputs;
  for (WORD key : virtualKeys) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    inputs.push_back(down);
  }
  for (auto key = virtualKeys.end(); key != virtualKeys.begin();) {
    INPUT up{};
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = *--key;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(up);
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND FocusOfThread(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
  return thread && ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

namespace {
bool IsExtendedCombo(HWND combo) { return ClassOf(combo) == WC_COMBOBOXEXW; }
}  // namespace

int ComboCount(HWND combo) { return static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0)); }
int ComboSelection(HWND combo) { return static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

std::wstring ComboText(HWND combo, int item) {
  if (!IsExtendedCombo(combo)) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
    if (length < 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
  }
  RemoteBlock block(combo, sizeof(COMBOBOXEXITEMW) + kTextUnits * sizeof(wchar_t));
  if (!block) return std::wstring();
  COMBOBOXEXITEMW request{};
  request.mask = CBEIF_TEXT;
  request.iItem = item;
  request.cchTextMax = static_cast<int>(kTextUnits);
  request.pszText = reinterpret_cast<wchar_t*>(block.at(sizeof(request)));
  std::wstring text(kTextUnits, L'\0');
  if (!block.Write(0, &request, sizeof(request)) ||
      !::SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.at(0))) ||
      !block.Read(sizeof(request), &text[0], kTextUnits * sizeof(wchar_t))) {
    return std::wstring();
  }
  text.resize(std::wcslen(text.c_str()));
  return text;
}

void ChooseCombo(HWND combo, int item) {
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  ::PostMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

namespace {

// A screen rectangle copied into a 24-bit bottom-up DIB, rows padded to four
// bytes as bitmap files store them.
struct ScreenCopy {
  int width = 0, height = 0;
  std::vector<BYTE> bits;  // blue, green, red per pixel
  DWORD Stride() const { return (static_cast<DWORD>(width) * 3 + 3) & ~3u; }
};

bool CopyScreen(const RECT& rect, ScreenCopy* out) {
  out->width = rect.right - rect.left;
  out->height = rect.bottom - rect.top;
  tw::WindowDc screen(nullptr);
  if (out->width <= 0 || out->height <= 0 || !screen) return false;
  tw::UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = out->width;
  info.bmiHeader.biHeight = out->height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  tw::UniqueBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap) return false;
  tw::SelectedObject selected(memory.get(), bitmap.get());
  if (!::BitBlt(memory.get(), 0, 0, out->width, out->height, screen.get(), rect.left, rect.top, SRCCOPY)) return false;
  ::GdiFlush();
  const BYTE* first = static_cast<const BYTE*>(bits);
  out->bits.assign(first, first + out->Stride() * static_cast<DWORD>(out->height));
  return true;
}

}  // namespace

std::optional<Pixels> ScreenPixels(const RECT& screenRect) {
  ScreenCopy copy;
  if (!CopyScreen(screenRect, &copy)) return std::nullopt;
  Pixels pixels;
  pixels.width = copy.width;
  pixels.height = copy.height;
  pixels.colors.reserve(static_cast<size_t>(copy.width) * static_cast<size_t>(copy.height));
  for (int y = 0; y < copy.height; ++y) {
    const BYTE* row = copy.bits.data() + copy.Stride() * static_cast<DWORD>(copy.height - 1 - y);
    for (int x = 0; x < copy.width; ++x) pixels.colors.push_back(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
  }
  return pixels;
}

size_t PixelsApartFrom(const Pixels& pixels, COLORREF background, int tolerance) {
  size_t apart = 0;
  for (COLORREF c : pixels.colors) {
    const int distance = std::abs(GetRValue(c) - GetRValue(background)) + std::abs(GetGValue(c) - GetGValue(background)) +
                         std::abs(GetBValue(c) - GetBValue(background));
    if (distance > tolerance) ++apart;
  }
  return apart;
}

bool CaptureWindow(HWND window, const std::wstring& bmpPath) {
  RECT rect{};
  ScreenCopy copy;
  if (!::GetWindowRect(window, &rect) || !CopyScreen(rect, &copy)) return false;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = copy.width;
  header.biHeight = copy.height;  // bottom-up, as the file stores it
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(copy.bits.size());
  tw::UniqueFile out(::CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return out && ::WriteFile(out.get(), &file, sizeof(file), &written, nullptr) &&
         ::WriteFile(out.get(), &header, sizeof(header), &written, nullptr) &&
         ::WriteFile(out.get(), copy.bits.data(), static_cast<DWORD>(copy.bits.size()), &written, nullptr);
}

}  // namespace twdrive
