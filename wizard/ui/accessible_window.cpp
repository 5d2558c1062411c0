#include "accessible_window.h"

#include <commctrl.h>

#include <optional>
#include <utility>
#include <vector>

#include "app/guard.h"
#include "ui/access.h"

namespace tw {
namespace access {
namespace {

namespace rules = tw::ui::access;

// Every method is called by the system's marshalling code: nothing thrown
// may pass, and a failure is E_FAIL.
template <typename Body>
HRESULT Guard(Body&& body) noexcept {
  return TW_GUARDED(L"AccessibleWindow", HRESULT{E_FAIL}, body);
}

HRESULT Text(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT Number(uint32_t value, VARIANT* out) {
  if (!out) return E_POINTER;
  ::VariantInit(out);
  out->vt = VT_I4;
  out->lVal = static_cast<LONG>(value);
  return S_OK;
}

bool IsList(HWND window) {
  wchar_t name[32] = {};
  ::GetClassNameW(window, name, 32);
  return ::lstrcmpiW(name, WC_LISTVIEWW) == 0;
}

int ItemCount(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

bool HoldsWindows(HWND window, const std::wstring& ownName) {
  const rules::Kind kind = FactsOf(window, ownName).kind;
  return kind == rules::Kind::kMainWindow || kind == rules::Kind::kStepPane;
}

// The child windows of a dialog, in window order.
std::vector<HWND> ChildWindows(HWND window) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

// The child a call names: 0 for the object itself, 1.. for a list's items;
// nothing for a child that does not exist.
std::optional<LONG> ChildOf(HWND window, const VARIANT& child) {
  if (child.vt != VT_I4) return std::nullopt;
  if (child.lVal == CHILDID_SELF) return LONG{0};
  if (!IsList(window) || child.lVal < 1 || child.lVal > ItemCount(window)) return std::nullopt;
  return child.lVal;
}

rules::ItemFacts ItemFactsOf(HWND list, int item) {
  rules::ItemFacts facts;
  wchar_t text[512] = {};
  LVITEMW request{};
  request.iSubItem = 0;
  request.pszText = text;
  request.cchTextMax = 512;
  ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
  facts.text = text;
  const UINT state = static_cast<UINT>(::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item),
                                                      LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK));
  facts.selected = (state & LVIS_SELECTED) != 0;
  facts.focused = (state & LVIS_FOCUSED) != 0;
  const DWORD extended = static_cast<DWORD>(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  facts.checkable = (extended & LVS_EX_CHECKBOXES) != 0;
  facts.checked = facts.checkable && ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
  return facts;
}

}  // namespace

AccessibleWindow::AccessibleWindow(HWND window, std::wstring ownName, IAccessible* standard)
    : window_(window), ownName_(std::move(ownName)), standard_(standard) {
  if (standard_) standard_->AddRef();
}

AccessibleWindow::~AccessibleWindow() {
  if (standard_) standard_->Release();
}

// The facts of the window itself or of one of its items.
namespace {
rules::AccessibleFacts Facts(HWND window, const std::wstring& ownName, LONG child) {
  if (child == 0) return rules::Describe(FactsOf(window, ownName));
  return rules::DescribeItem(ItemFactsOf(window, static_cast<int>(child - 1)), ::GetFocus() == window);
}
}  // namespace

HRESULT AccessibleWindow::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (::IsEqualIID(riid, IID_IUnknown) || ::IsEqualIID(riid, IID_IDispatch) || ::IsEqualIID(riid, kIidAccessible)) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG AccessibleWindow::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

ULONG AccessibleWindow::Release() {
  const LONG left = ::InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT AccessibleWindow::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT AccessibleWindow::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT AccessibleWindow::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT AccessibleWindow::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT AccessibleWindow::get_accParent(IDispatch** parent) {
  return Guard([&]() -> HRESULT {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!::IsWindow(window_)) return E_FAIL;
    return standard_ ? standard_->get_accParent(parent) : S_FALSE;
  });
}

HRESULT AccessibleWindow::get_accChildCount(LONG* count) {
  return Guard([&]() -> HRESULT {
    if (!count) return E_POINTER;
    *count = 0;
    if (!::IsWindow(window_)) return E_FAIL;
    if (IsList(window_)) {
      *count = ItemCount(window_);
      return S_OK;
    }
    // A dialog's children are its windows' objects.
    if (HoldsWindows(window_, ownName_)) *count = static_cast<LONG>(ChildWindows(window_).size());
    return S_OK;
  });
}

HRESULT AccessibleWindow::get_accChild(VARIANT child, IDispatch** object) {
  return Guard([&]() -> HRESULT {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!::IsWindow(window_)) return E_FAIL;
    if (IsList(window_)) return ChildOf(window_, child) ? S_FALSE : E_INVALIDARG;  // items are simple children
    if (child.vt != VT_I4 || !HoldsWindows(window_, ownName_)) return E_INVALIDARG;
    const std::vector<HWND> children = ChildWindows(window_);
    if (child.lVal < 1 || static_cast<size_t>(child.lVal) > children.size()) return E_INVALIDARG;
    return ClientObjectOf(children[static_cast<size_t>(child.lVal - 1)], object);
  });
}

HRESULT AccessibleWindow::get_accName(VARIANT child, BSTR* name) {
  return Guard([&]() -> HRESULT {
    const auto which = ChildOf(window_, child);
    if (!which || !::IsWindow(window_)) return E_INVALIDARG;
    return Text(Facts(window_, ownName_, *which).name, name);
  });
}

HRESULT AccessibleWindow::get_accValue(VARIANT child, BSTR* value) {
  return Guard([&]() -> HRESULT {
    const auto which = ChildOf(window_, child);
    if (!which || !::IsWindow(window_)) return E_INVALIDARG;
    return Text(Facts(window_, ownName_, *which).value, value);
  });
}

HRESULT AccessibleWindow::get_accDescription(VARIANT child, BSTR* description) {
  if (description) *description = nullptr;
  return ChildOf(window_, child) ? S_FALSE : E_INVALIDARG;
}

HRESULT AccessibleWindow::get_accRole(VARIANT child, VARIANT* role) {
  return Guard([&]() -> HRESULT {
    const auto which = ChildOf(window_, child);
    if (!which || !::IsWindow(window_)) return E_INVALIDARG;
    return Number(Facts(window_, ownName_, *which).role, role);
  });
}

HRESULT AccessibleWindow::get_accState(VARIANT child, VARIANT* state) {
  return Guard([&]() -> HRESULT {
    const auto which = ChildOf(window_, child);
    if (!which || !::IsWindow(window_)) return E_INVALIDARG;
    return Number(Facts(window_, ownName_, *which).state, state);
  });
}

HRESULT AccessibleWindow::get_accHelp(VARIANT child, BSTR* help) {
  if (help) *help = nullptr;
  return ChildOf(window_, child) ? S_FALSE : E_INVALIDARG;
}

HRESULT AccessibleWindow::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) {
  if (file) *file = nullptr;
  if (topic) *topic = -1;
  return S_FALSE;
}

HRESULT AccessibleWindow::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return Guard([&]() -> HRESULT {
    const auto which = ChildOf(window_, child);
    if (!which || !::IsWindow(window_)) return E_INVALIDARG;
    return Text(Facts(window_, ownName_, *which).shortcut, shortcut);
  });
}

HRESULT AccessibleWindow::get_accFocus(VARIANT* child) {
  return Guard([&]() -> HRESULT {
    if (!child) return E_POINTER;
    ::VariantInit(child);
    if (!::IsWindow(window_)) return E_FAIL;
    if (::GetFocus() != window_) return standard_ ? standard_->get_accFocus(child) : S_FALSE;
    const int focused = IsList(window_) ? static_cast<int>(::SendMessageW(window_, LVM_GETNEXTITEM,
                                                                          static_cast<WPARAM>(-1), LVNI_FOCUSED))
                                        : -1;
    return Number(static_cast<uint32_t>(focused >= 0 ? focused + 1 : CHILDID_SELF), child);
  });
}

HRESULT AccessibleWindow::get_accSelection(VARIANT* children) {
  return Guard([&]() -> HRESULT {
    if (!children) return E_POINTER;
    ::VariantInit(children);
    if (!::IsWindow(window_) || !IsList(window_)) return S_FALSE;
    const int selected =
        static_cast<int>(::SendMessageW(window_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return selected >= 0 ? Number(static_cast<uint32_t>(selected + 1), children) : S_FALSE;
  });
}

HRESULT AccessibleWindow::get_accDefaultAction(VARIANT child, BSTR* action) {
  return Guard([&]() -> HRESULT {
    const auto which = ChildOf(window_, child);
    if (!which || !::IsWindow(window_)) return E_INVALIDARG;
    return Text(Facts(window_, ownName_, *which).defaultAction, action);
  });
}

HRESULT AccessibleWindow::accSelect(LONG flags, VARIANT child) {
  return Guard([&]() -> HRESULT {
    const auto which = ChildOf(window_, child);
    if (!which || !::IsWindow(window_)) return E_INVALIDARG;
    if (*which == 0) {
      if (!(flags & SELFLAG_TAKEFOCUS)) return S_FALSE;
      ::SetFocus(window_);
      return S_OK;
    }
    LVITEMW change{};
    change.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    change.state = ((flags & SELFLAG_TAKESELECTION) ? LVIS_SELECTED : 0) | ((flags & SELFLAG_TAKEFOCUS) ? LVIS_FOCUSED : 0);
    ::SendMessageW(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(*which - 1), reinterpret_cast<LPARAM>(&change));
    return S_OK;
  });
}

HRESULT AccessibleWindow::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
  return Guard([&]() -> HRESULT {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    const auto which = ChildOf(window_, child);
    if (!which || !::IsWindow(window_)) return E_INVALIDARG;
    RECT rect{};
    if (*which == 0) {
      ::GetWindowRect(window_, &rect);
    } else {
      rect.left = LVIR_BOUNDS;
      if (!::SendMessageW(window_, LVM_GETITEMRECT, static_cast<WPARAM>(*which - 1), reinterpret_cast<LPARAM>(&rect))) {
        return S_FALSE;
      }
      ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
  });
}

HRESULT AccessibleWindow::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  return Guard([&]() -> HRESULT {
    if (!end) return E_POINTER;
    ::VariantInit(end);
    if (!::IsWindow(window_)) return E_FAIL;
    if (start.vt == VT_I4 && start.lVal == CHILDID_SELF && standard_) return standard_->accNavigate(direction, start, end);
    return E_NOTIMPL;
  });
}

HRESULT AccessibleWindow::accHitTest(LONG x, LONG y, VARIANT* child) {
  return Guard([&]() -> HRESULT {
    if (!child) return E_POINTER;
    ::VariantInit(child);
    if (!::IsWindow(window_)) return E_FAIL;
    RECT rect{};
    ::GetWindowRect(window_, &rect);
    const POINT point{x, y};
    if (!::PtInRect(&rect, point)) return S_FALSE;
    if (!IsList(window_)) return standard_ ? standard_->accHitTest(x, y, child) : Number(CHILDID_SELF, child);
    LVHITTESTINFO hit{};
    hit.pt = point;
    ::ScreenToClient(window_, &hit.pt);
    const int item = static_cast<int>(::SendMessageW(window_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return Number(static_cast<uint32_t>(item >= 0 ? item + 1 : CHILDID_SELF), child);
  });
}

HRESULT AccessibleWindow::accDoDefaultAction(VARIANT child) {
  return Guard([&]() -> HRESULT {
    const auto which = ChildOf(window_, child);
    if (!which || !::IsWindow(window_)) return E_INVALIDARG;
    const rules::AccessibleFacts facts = Facts(window_, ownName_, *which);
    if (facts.defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
    if (*which == 0) {
      // As a click does, once this call has returned.
      ::PostMessageW(window_, BM_CLICK, 0, 0);
      return S_OK;
    }
    // A list item's check box: turned over as Space turns it.
    LVITEMW change{};
    change.stateMask = LVIS_STATEIMAGEMASK;
    change.state = INDEXTOSTATEIMAGEMASK((facts.state & rules::state::kChecked) ? 1 : 2);
    ::SendMessageW(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(*which - 1), reinterpret_cast<LPARAM>(&change));
    return S_OK;
  });
}

HRESULT AccessibleWindow::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT AccessibleWindow::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace access
}  // namespace tw
