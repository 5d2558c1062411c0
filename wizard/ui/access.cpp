#include "access.h"

#include <commctrl.h>
#include <oleacc.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "app/guard.h"
#include "app/handles.h"
#include "app/library_search.h"
#include "ui/accessible_window.h"

namespace tw {
namespace access {

const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

namespace {

namespace rules = tw::ui::access;

constexpr wchar_t kRecordProperty[] = L"Tarnwright.Access";

// The accessibility library, bound at run time from the system folder
// (it is no known system library, so it is never imported).
struct Oleacc {
  UniqueModule module;
  decltype(&::LresultFromObject) lresultFromObject = nullptr;
  decltype(&::CreateStdAccessibleObject) createStandard = nullptr;
  decltype(&::AccessibleObjectFromWindow) objectFromWindow = nullptr;
};
const Oleacc& Library() {
  static const Oleacc library = [] {
    Oleacc l;
    l.module.reset(LoadSystemLibrary(L"oleacc.dll"));
    if (l.module) {
      l.lresultFromObject = reinterpret_cast<decltype(&::LresultFromObject)>(
          reinterpret_cast<void*>(::GetProcAddress(l.module.get(), "LresultFromObject")));
      l.createStandard = reinterpret_cast<decltype(&::CreateStdAccessibleObject)>(
          reinterpret_cast<void*>(::GetProcAddress(l.module.get(), "CreateStdAccessibleObject")));
      l.objectFromWindow = reinterpret_cast<decltype(&::AccessibleObjectFromWindow)>(
          reinterpret_cast<void*>(::GetProcAddress(l.module.get(), "AccessibleObjectFromWindow")));
    }
    return l;
  }();
  return library;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}
bool IsClass(HWND window, const wchar_t* name) { return ::lstrcmpiW(ClassOf(window).c_str(), name) == 0; }

std::wstring WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, &text[0], length + 1)));
  return text;
}

LONG_PTR StyleOf(HWND window) { return ::GetWindowLongPtrW(window, GWL_STYLE); }

bool IsTextStatic(HWND window) {
  if (!IsClass(window, L"Static")) return false;
  const UINT type = static_cast<UINT>(StyleOf(window) & SS_TYPEMASK);
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

// The text of the label that names `window` among its siblings.
std::wstring LabelTextOf(HWND window) {
  HWND parent = ::GetParent(window);
  std::vector<HWND> siblings;
  std::vector<rules::SiblingFacts> facts;
  size_t index = 0;
  for (HWND w = ::GetWindow(parent, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
    if (w == window) index = siblings.size();
    siblings.push_back(w);
    facts.push_back({IsTextStatic(w) && ::GetWindowTextLengthW(w) > 0, ::IsWindowVisible(w) != FALSE,
                     (StyleOf(w) & WS_TABSTOP) != 0});
  }
  const int label = rules::LabelOf(facts, index);
  return label >= 0 ? WindowText(siblings[static_cast<size_t>(label)]) : std::wstring();
}

rules::Kind KindOf(HWND window) {
  using rules::Kind;
  const std::wstring name = ClassOf(window);
  auto is = [&](const wchar_t* c) { return ::lstrcmpiW(name.c_str(), c) == 0; };
  if (is(L"#32770")) return (StyleOf(window) & WS_CHILD) ? Kind::kStepPane : Kind::kMainWindow;
  if (is(L"Static")) return IsTextStatic(window) ? Kind::kStaticText : Kind::kDecoration;
  if (is(L"Button")) return Kind::kPushButton;
  if (is(WC_LISTVIEWW)) return Kind::kList;
  if (is(WC_COMBOBOXEXW) || is(L"ComboBox")) return Kind::kComboBox;
  if (is(L"Edit")) return Kind::kEdit;
  if (is(PROGRESS_CLASSW)) return Kind::kProgressBar;
  return Kind::kDecoration;
}

// A read-only multi-line box lets the dialog keys pass: Tab, Enter and
// Escape go to the dialog, the arrows still scroll it.
bool IsReadOnlyMultiLine(HWND window) {
  const LONG_PTR style = StyleOf(window);
  return IsClass(window, L"Edit") && (style & ES_MULTILINE) && (style & ES_READONLY);
}

// What the subclass keeps per window: the procedure it replaced and the
// window's own name. Owned by the window (a property) until it is destroyed.
struct Record {
  WNDPROC previous = nullptr;
  std::wstring ownName;
};

Record* RecordOf(HWND window) { return static_cast<Record*>(::GetPropW(window, kRecordProperty)); }

LRESULT HandleSubclassed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Record* record = RecordOf(window);
  if (!record) return ::DefWindowProcW(window, message, wParam, lParam);
  const WNDPROC previous = record->previous;
  switch (message) {
    case WM_GETOBJECT: {
      const LRESULT answer = AnswerGetObject(window, wParam, lParam, record->ownName);
      if (answer) return answer;
      break;
    }
    case WM_GETDLGCODE:
      if (IsReadOnlyMultiLine(window)) {
        const LRESULT code = ::CallWindowProcW(previous, window, message, wParam, lParam);
        return code & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
      }
      break;
    case WM_NCDESTROY: {
      // The window goes: put its own procedure back and free the record.
      std::unique_ptr<Record> owned(record);
      ::RemovePropW(window, kRecordProperty);
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      return ::CallWindowProcW(previous, window, message, wParam, lParam);
    }
    default:
      break;
  }
  return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(L"tw::access::SubclassProc", LRESULT{0},
                    [&] { return HandleSubclassed(window, message, wParam, lParam); });
}

void Annotate(HWND window, const std::wstring& ownName) {
  if (RecordOf(window)) return;  // already given its object
  auto record = std::make_unique<Record>();
  record->ownName = ownName;
  if (!::SetPropW(window, kRecordProperty, record.get())) return;
  static_assert(std::is_same_v<decltype(&SubclassProc), WNDPROC>, "installed as a window procedure");
  record->previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  record.release();  // owned by the window until WM_NCDESTROY
}

BOOL CALLBACK AnnotateChild(HWND window, LPARAM) {
  Annotate(window, std::wstring());
  return TRUE;
}

}  // namespace

void AnnotateTree(HWND window, const std::wstring& ownName) {
  if (!window) return;
  Annotate(window, ownName);
  ::EnumChildWindows(window, AnnotateChild, 0);
}

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const std::wstring& ownName) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
  const Oleacc& library = Library();
  if (!library.lresultFromObject) return 0;
  IAccessible* standard = nullptr;
  if (library.createStandard) {
    library.createStandard(window, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&standard));
  }
  auto* object = new AccessibleWindow(window, ownName, standard);
  if (standard) standard->Release();  // the object holds its own reference
  const LRESULT answer = library.lresultFromObject(kIidAccessible, wParam, object);
  object->Release();  // the answer holds what the caller needs
  return answer > 0 ? answer : 0;
}

HRESULT ClientObjectOf(HWND window, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  const Oleacc& library = Library();
  if (!library.objectFromWindow) return E_FAIL;
  return library.objectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IDispatch,
                                  reinterpret_cast<void**>(object));
}

rules::ControlFacts FactsOf(HWND window, const std::wstring& ownName) {
  rules::ControlFacts facts;
  facts.kind = KindOf(window);
  facts.ownName = ownName;
  facts.visible = ::IsWindowVisible(window) != FALSE;
  facts.enabled = ::IsWindowEnabled(window) != FALSE;
  const LONG_PTR style = StyleOf(window);
  facts.tabStop = (style & WS_TABSTOP) != 0;
  facts.noPrefix = facts.kind == rules::Kind::kStaticText && (style & SS_NOPREFIX);
  facts.readOnly = IsClass(window, L"Edit") && (style & ES_READONLY);
  HWND focus = ::GetFocus();
  facts.focused = focus == window;
  HWND named = window;
  if (facts.kind == rules::Kind::kComboBox) {
    // The extended combo box's own combo box stands for it: named by the
    // same label, focused when either is.
    HWND parent = ::GetParent(window);
    if (IsClass(parent, WC_COMBOBOXEXW)) named = parent;
    facts.focused = focus == named || ::IsChild(named, focus);
    facts.text = ComboChoice(named);
    facts.tabStop = facts.tabStop || (StyleOf(named) & WS_TABSTOP) != 0;
  } else {
    facts.text = WindowText(window);
  }
  if (facts.kind == rules::Kind::kList || facts.kind == rules::Kind::kComboBox || facts.kind == rules::Kind::kEdit) {
    facts.label = LabelTextOf(named);
  }
  return facts;
}

std::wstring ComboChoice(HWND combo) {
  const LRESULT selected = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR) return std::wstring();
  wchar_t text[512] = {};
  if (IsClass(combo, WC_COMBOBOXEXW)) {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT;
    item.iItem = selected;
    item.pszText = text;
    item.cchTextMax = 512;
    ::SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return text;
  }
  const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
  if (length < 0 || length >= 512) return std::wstring();
  ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace access
}  // namespace tw
