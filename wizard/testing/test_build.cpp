#include "test_build.h"

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <array>
#include <string>
#include <vector>

#include "app/core/text.h"
#include "app/guard.h"
#include "app/handles.h"
#include "app/owner_count.h"
#include "app/power.h"
#include "app/settings.h"
#include "app/syshelpers.h"
#include "config/process_records.h"
#include "steps/disc_verifier.h"
#include "ui/access.h"
#include "ui/core/text_fit.h"
#include "ui/core/wizard_tables.h"
#include "ui/dialog_designer.h"
#include "ui/gdi.h"
#include "ui/look.h"

namespace twtest {
namespace {

std::wstring BesideProgram(const wchar_t* name) {
  wchar_t folder[MAX_PATH + 1] = {};
  if (GetModuleFolderPath(::GetModuleHandleW(nullptr), folder) != 0) return std::wstring();
  return tw::JoinPath(folder, name);
}

std::wstring PowerIni() { return BesideProgram(L"TestPower.ini"); }

// What a test outside cannot read from this process where cross-process
// memory reads do not work (a 32-bit program under emulation): which common
// controls library the process got from its manifest, and its bitness.
void RecordProcess() {
  const std::wstring ini = BesideProgram(L"TestBuild.ini");
  HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
  wchar_t path[MAX_PATH + 1] = {};
  if (comctl) ::GetModuleFileNameW(comctl, path, MAX_PATH);
  DLLVERSIONINFO version{};
  version.cbSize = sizeof(version);
  auto getVersion = comctl ? reinterpret_cast<DLLGETVERSIONPROC>(
                                 reinterpret_cast<void*>(::GetProcAddress(comctl, "DllGetVersion")))
                           : nullptr;
  if (getVersion) getVersion(&version);
  ::WritePrivateProfileStringW(L"Process", L"CommonControls", path, ini.c_str());
  ::WritePrivateProfileStringW(
      L"Process", L"CommonControlsVersion",
      (std::to_wstring(version.dwMajorVersion) + L"." + std::to_wstring(version.dwMinorVersion)).c_str(), ini.c_str());
  ::WritePrivateProfileStringW(L"Process", L"PointerBits", std::to_wstring(sizeof(void*) * 8).c_str(), ini.c_str());
}

BOOL WINAPI TestPowerStatus(LPSYSTEM_POWER_STATUS status) {
  if (!::GetSystemPowerStatus(status)) return FALSE;
  const std::wstring ini = PowerIni();
  const UINT line = ::GetPrivateProfileIntW(L"Power", L"ACLineStatus", status->ACLineStatus, ini.c_str());
  status->ACLineStatus = static_cast<BYTE>(line);
  return TRUE;
}

EXECUTION_STATE WINAPI TestExecutionState(EXECUTION_STATE state) {
  const EXECUTION_STATE previous = ::SetThreadExecutionState(state);
  const bool held = (state & (ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED)) != 0;
  ::WritePrivateProfileStringW(L"Power", L"KeepAwake", held ? L"1" : L"0", PowerIni().c_str());
  return previous ? previous : ES_CONTINUOUS;
}

// A drive's sectors: the file that TestBuild.ini names for its letter
// ([RawDrives] E=...), as the engine stand-in writes an ISO disc's image;
// without one, the drive as the system gives it.
HANDLE TestOpenRawDrive(wchar_t letter) {
  wchar_t file[MAX_PATH + 1] = {};
  const wchar_t key[2] = {letter, L'\0'};
  ::GetPrivateProfileStringW(L"RawDrives", key, L"", file, MAX_PATH, BesideProgram(L"TestBuild.ini").c_str());
  const std::wstring path = file[0] ? std::wstring(file) : std::wstring(L"\\\\.\\") + letter + L":";
  return ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

// A test's disc of a few megabytes is read back before anyone can press
// Cancel: TestBuild.ini [Verify] MsPerMiB paces the reads as a slow drive
// would (read once at start).
DWORD g_msPerMiB = 0;
void TestBeforeRead(uint32_t bytes) {
  if (g_msPerMiB > 0) ::Sleep(static_cast<DWORD>((static_cast<uint64_t>(g_msPerMiB) * bytes) >> 20));
}

// ---------------------------------------------------------------- high contrast

constexpr int kColorCount = static_cast<int>(kHighContrastScheme.size());

std::array<COLORREF, kColorCount> g_previousColors{};
bool g_schemeApplied = false;

bool HighContrastAsked() {
  return ::GetPrivateProfileIntW(L"Display", L"HighContrast", 0, BesideProgram(L"TestDisplay.ini").c_str()) == 1;
}

bool TestHighContrast() { return true; }

void SetColors(const std::array<COLORREF, kColorCount>& colors) {
  std::array<INT, kColorCount> indices{};
  for (int i = 0; i < kColorCount; ++i) indices[static_cast<size_t>(i)] = i;
  ::SetSysColors(kColorCount, indices.data(), colors.data());
}

// The common controls keep the colours they read when they were loaded:
// one of them hears of the change, and all that are made later draw with
// the scheme.
void TellCommonControls() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  tw::UniqueWindow list(::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr));
  if (list) ::SendMessageW(list.get(), WM_SYSCOLORCHANGE, 0, 0);
}

void ApplyHighContrast() {
  tw::look::Hooks hooks;
  hooks.highContrast = TestHighContrast;
  tw::look::SetHooks(hooks);
  for (int i = 0; i < kColorCount; ++i) g_previousColors[static_cast<size_t>(i)] = ::GetSysColor(i);
  SetColors(kHighContrastScheme);
  g_schemeApplied = true;
  TellCommonControls();
}

// ---------------------------------------------------------------- messages

void Settle() {
  tw::UniqueHandle event(::OpenEventW(EVENT_MODIFY_STATE, FALSE, SettleEventName(::GetCurrentProcessId()).c_str()));
  if (event) ::SetEvent(event.get());
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

std::wstring TextOf(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, &text[0], length + 1)));
  return text;
}

SIZE Extent(HDC dc, HFONT font, const std::wstring& text, UINT flags, int width) {
  tw::SelectedObject selected(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
  RECT rect{0, 0, width, 0};
  if (!text.empty()) ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags | DT_CALCRECT);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// One measured text: where, in what room, and what it needs.
struct Measure {
  int parentId = 0, id = 0;
  std::wstring className;
  LONG_PTR style = 0;
  RECT rect{};  // in the main window's client
  SIZE room{}, needed{};
  bool singleLine = true;
  std::wstring text;
};

// What a control's text needs and has, by the kind of control.
void MeasureText(HWND control, Measure* m) {
  RECT client{};
  ::GetClientRect(control, &client);
  m->room = SIZE{client.right, client.bottom};
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  tw::WindowDc dc(control);
  const int scrollButton = ::GetSystemMetrics(SM_CXVSCROLL) + 2 * ::GetSystemMetrics(SM_CXEDGE);
  UINT flags = DT_SINGLELINE | DT_NOPREFIX;
  if (m->className == L"Static") {
    if (!tw::ui::fit::StaticShowsText(static_cast<uint32_t>(m->style))) return;
    flags = tw::ui::fit::StaticTextFlags(static_cast<uint32_t>(m->style));
    m->text = TextOf(control);
  } else if (m->className == L"Button") {
    m->text = TextOf(control);
    flags = DT_SINGLELINE | DT_CENTER;
    const auto room = tw::ui::fit::ButtonTextRoom({client.right, client.bottom}, tw::Settings().LogPixelsX,
                                                  tw::Settings().LogPixelsY);
    m->room = SIZE{room.cx, room.cy};
  } else if (m->className == L"Edit" && !(m->style & ES_MULTILINE)) {
    m->text = TextOf(control);
    const LRESULT margins = ::SendMessageW(control, EM_GETMARGINS, 0, 0);
    m->room.cx -= LOWORD(margins) + HIWORD(margins);
  } else if (m->className == L"ComboBox" || m->className == WC_COMBOBOXEXW) {
    const bool extended = m->className == WC_COMBOBOXEXW;
    m->text = tw::access::ComboChoice(control);
    m->room.cx -= scrollButton + (extended ? ::GetSystemMetrics(SM_CXSMICON) + 4 : 0);
  } else {
    return;
  }
  m->singleLine = tw::ui::fit::IsSingleLine(flags);
  m->needed = Extent(dc.get(), font, m->text, flags, m->room.cx);
}

std::wstring Line(const Measure& m) {
  std::wstring text;
  for (wchar_t c : m.text) {
    if (c == L'\r') continue;
    text += c == L'\n' ? std::wstring(L"\\n") : c == L'\t' ? std::wstring(L" ") : std::wstring(1, c);
  }
  const long values[] = {m.rect.left, m.rect.top, m.rect.right, m.rect.bottom,
                         m.room.cx,   m.room.cy,  m.needed.cx,  m.needed.cy, m.singleLine ? 1L : 0L};
  std::wstring line = std::to_wstring(m.parentId) + L"\t" + std::to_wstring(m.id) + L"\t" + m.className + L"\t" +
                      tw::Hex8(static_cast<uint32_t>(m.style));
  for (long v : values) line += L"\t" + std::to_wstring(v);
  return line + L"\t" + text + L"\r\n";
}

struct MeasureWalk {
  HWND main = nullptr;
  std::vector<Measure> found;
};

BOOL CALLBACK MeasureChild(HWND control, LPARAM param) {
  auto* walk = reinterpret_cast<MeasureWalk*>(param);
  HWND parent = ::GetParent(control);
  // The main window's controls and the step dialog's; not the parts of a
  // control (the extended combo box's own combo box, a list's header).
  const bool own = parent == walk->main || ::GetParent(parent) == walk->main;
  if (!own || !::IsWindowVisible(control) || ClassOf(parent) != L"#32770") return TRUE;
  Measure m;
  m.parentId = parent == walk->main ? 0 : 1;
  m.id = ::GetDlgCtrlID(control);
  m.className = ClassOf(control);
  m.style = ::GetWindowLongPtrW(control, GWL_STYLE);
  ::GetWindowRect(control, &m.rect);
  ::MapWindowPoints(nullptr, walk->main, reinterpret_cast<POINT*>(&m.rect), 2);
  if (m.className != L"#32770") MeasureText(control, &m);
  walk->found.push_back(m);
  return TRUE;
}

// The four step names in their boxes, in the font the main window draws
// them with (the current step's in bold).
void MeasureStepBoxes(HWND main, std::vector<Measure>* found) {
  static CDialogDesigner designer;  // the same fonts as the main window's
  LOGFONTW bold{};
  ::GetObjectW(designer.Font(2), sizeof(bold), &bold);
  bold.lfWeight = FW_BOLD;
  tw::UniqueFont boldFont(::CreateFontIndirectW(&bold));
  RECT client{};
  ::GetClientRect(main, &client);
  const tw::ProcessSettings& s = tw::Settings();
  const auto boxes = tw::ui::IndicatorBoxes(tw::ui::IndicatorArea(client.right, s.LogPixelsX, s.LogPixelsY));
  const LangIni::AppData& app = tw::Records().App;
  const std::wstring names[4] = {app.Step1, app.Step2, app.Step3, app.Step4};
  tw::WindowDc dc(main);
  for (size_t i = 0; i < 4; ++i) {
    Measure m;
    m.id = -100 - static_cast<int>(i);
    m.className = L"StepBox";
    m.rect = RECT{boxes[i].left, boxes[i].top, boxes[i].right, boxes[i].bottom};
    m.room = SIZE{boxes[i].width() - 2 * tw::ui::Scale(6, s.LogPixelsX), boxes[i].height()};  // less the caps' rims
    m.text = names[i];
    m.needed = Extent(dc.get(), boldFont.get(), m.text, DT_SINGLELINE | DT_NOPREFIX, m.room.cx);
    found->push_back(m);
  }
}

void MeasureTexts(HWND main) {
  MeasureWalk walk;
  walk.main = main;
  ::EnumChildWindows(main, MeasureChild, reinterpret_cast<LPARAM>(&walk));
  MeasureStepBoxes(main, &walk.found);
  std::wstring text(1, L'\xFEFF');
  for (const Measure& m : walk.found) text += Line(m);
  tw::UniqueFile file(::CreateFileW(BesideProgram(L"TestMeasure.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
}

tw::UniqueHook g_messageHook;

LRESULT CALLBACK MessageHook(int code, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(L"twtest::MessageHook", LRESULT{0}, [&] {
    static const UINT settle = ::RegisterWindowMessageW(kSettleMessage);
    static const UINT measure = ::RegisterWindowMessageW(kMeasureMessage);
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg && (msg->message == settle || msg->message == measure)) {
      if (msg->message == measure) MeasureTexts(msg->hwnd);
      Settle();
      msg->message = WM_NULL;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  });
}

}  // namespace

TestBuildSeams::TestBuildSeams() {
  tw::power::Hooks hooks;
  hooks.getStatus = TestPowerStatus;
  hooks.setExecutionState = TestExecutionState;
  tw::power::SetHooks(hooks);
  g_msPerMiB = ::GetPrivateProfileIntW(L"Verify", L"MsPerMiB", 0, BesideProgram(L"TestBuild.ini").c_str());
  tw::verify::Hooks verify;
  verify.openRawDrive = TestOpenRawDrive;
  verify.beforeRead = TestBeforeRead;
  tw::verify::SetHooks(verify);
  PublishOwnerCounts();
  RecordProcess();
  if (HighContrastAsked()) ApplyHighContrast();
  g_messageHook.reset(::SetWindowsHookExW(WH_GETMESSAGE, MessageHook, nullptr, ::GetCurrentThreadId()));
}

TestBuildSeams::~TestBuildSeams() {
  g_messageHook.reset();
  if (g_schemeApplied) SetColors(g_previousColors);
  g_schemeApplied = false;
}

bool PublishOwnerCounts() {
  using tw::owners::Table;
  if (tw::owners::g_table != &tw::owners::g_ownTable) return true;
  const std::wstring name = tw::owners::SectionName(::GetCurrentProcessId());
  // Section and view stay until the process ends: readers may come at any time.
  HANDLE section =
      ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Table), name.c_str());
  if (!section) return false;
  auto* table = static_cast<Table*>(::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(Table)));
  if (!table) {
    ::CloseHandle(section);
    return false;
  }
  // Called at the start of the entry, before any other thread of ours
  // counts: nothing is lost between the copy and the switch.
  table->kinds = tw::owners::kKindCount;
  for (uint32_t kind = 0; kind < tw::owners::kKindCount; ++kind) {
    table->live[kind] = tw::owners::g_ownTable.live[kind];
  }
  ::MemoryBarrier();
  table->magic = Table::kMagic;
  tw::owners::g_table = table;
  return true;
}

}  // namespace twtest
