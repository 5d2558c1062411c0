#include "access_walk.h"

#include <oleacc.h>

#include <utility>

namespace twdrive {
namespace {

// The interface id, defined here: the toolchain's import library has a
// wrong one.
const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// One reference to an accessible object, released with the owner.
class AccessibleRef {
 public:
  AccessibleRef() = default;
  ~AccessibleRef() {
    if (object_) object_->Release();
  }
  AccessibleRef(const AccessibleRef&) = delete;
  AccessibleRef& operator=(const AccessibleRef&) = delete;
  IAccessible** put() { return &object_; }
  IAccessible* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  IAccessible* get() const { return object_; }

 private:
  IAccessible* object_ = nullptr;
};

class Bstr {
 public:
  ~Bstr() { ::SysFreeString(text_); }
  BSTR* put() { return &text_; }
  std::wstring str() const { return text_ ? std::wstring(text_, ::SysStringLen(text_)) : std::wstring(); }

 private:
  BSTR text_ = nullptr;
};

VARIANT Child(long id) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring RoleText(long role) {
  wchar_t text[128] = {};
  ::GetRoleTextW(static_cast<DWORD>(role), text, 128);
  return text;
}

// Name, value, role and state of one object or one of its simple children.
void Read(IAccessible* object, long child, AccessibleEntry* entry) {
  Bstr name, value, shortcut;
  object->get_accName(Child(child), name.put());
  object->get_accValue(Child(child), value.put());
  object->get_accKeyboardShortcut(Child(child), shortcut.put());
  entry->name = name.str();
  entry->value = value.str();
  entry->shortcut = shortcut.str();
  VARIANT role, state;
  ::VariantInit(&role);
  ::VariantInit(&state);
  if (SUCCEEDED(object->get_accRole(Child(child), &role)) && role.vt == VT_I4) {
    entry->roleNumber = role.lVal;
    entry->role = RoleText(role.lVal);
    entry->answered = true;
  }
  if (SUCCEEDED(object->get_accState(Child(child), &state)) && state.vt == VT_I4) {
    entry->state = static_cast<unsigned long>(state.lVal);
  }
  ::VariantClear(&role);
  ::VariantClear(&state);
}

// The simple children the object reports (its items), each once.
void ReadSimpleChildren(IAccessible* object, const AccessibleEntry& parent, std::vector<AccessibleEntry>* out) {
  long count = 0;
  if (FAILED(object->get_accChildCount(&count)) || count <= 0 || count > 1000) return;
  std::vector<VARIANT> children(static_cast<size_t>(count));
  long got = 0;
  if (FAILED(::AccessibleChildren(object, 0, count, children.data(), &got))) return;
  for (long i = 0; i < got; ++i) {
    VARIANT& v = children[static_cast<size_t>(i)];
    if (v.vt == VT_I4) {
      AccessibleEntry entry;
      entry.depth = parent.depth + 1;
      entry.window = parent.window;
      entry.controlId = parent.controlId;
      entry.child = v.lVal;
      Read(object, v.lVal, &entry);
      out->push_back(std::move(entry));
    }
    ::VariantClear(&v);
  }
}

void Walk(HWND window, int depth, std::vector<AccessibleEntry>* out) {
  if (!::IsWindowVisible(window)) return;
  AccessibleEntry entry;
  entry.depth = depth;
  entry.window = window;
  entry.controlId = ::GetDlgCtrlID(window);
  AccessibleRef object;
  if (SUCCEEDED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                             reinterpret_cast<void**>(object.put()))) &&
      object) {
    Read(object.get(), CHILDID_SELF, &entry);
  }
  out->push_back(entry);
  if (object) ReadSimpleChildren(object.get(), entry, out);
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    Walk(child, depth + 1, out);
  }
}

}  // namespace

std::vector<AccessibleEntry> WalkAccessibility(HWND top) {
  std::vector<AccessibleEntry> entries;
  Walk(top, 0, &entries);
  return entries;
}

bool IsUnnamedFocusable(const AccessibleEntry& entry) {
  const unsigned long hidden = STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_OFFSCREEN;
  return (entry.state & STATE_SYSTEM_FOCUSABLE) && !(entry.state & hidden) && entry.name.empty();
}

namespace {
std::wstring OneLine(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    out += text[i] == L'\n' ? std::wstring(L"\\n") : std::wstring(1, text[i]);
  }
  return out;
}
}  // namespace

std::wstring FormatEntry(const AccessibleEntry& entry) {
  std::wstring line(static_cast<size_t>(entry.depth) * 2, L' ');
  line += entry.answered ? entry.role : L"(no object)";
  line += L" \"" + OneLine(entry.name) + L"\"";
  if (!entry.value.empty()) line += L" = \"" + OneLine(entry.value) + L"\"";
  if (!entry.shortcut.empty()) line += L" (" + entry.shortcut + L")";
  const std::pair<unsigned long, const wchar_t*> states[] = {
      {STATE_SYSTEM_FOCUSABLE, L"focusable"}, {STATE_SYSTEM_FOCUSED, L"focused"},
      {STATE_SYSTEM_SELECTED, L"selected"},   {STATE_SYSTEM_CHECKED, L"checked"},
      {STATE_SYSTEM_READONLY, L"read-only"},  {STATE_SYSTEM_UNAVAILABLE, L"unavailable"}};
  std::wstring flags;
  for (const auto& s : states) {
    if (entry.state & s.first) flags += (flags.empty() ? L"" : L", ") + std::wstring(s.second);
  }
  if (!flags.empty()) line += L" [" + flags + L"]";
  if (entry.child == 0 && entry.controlId != 0 && entry.depth > 0) line += L" #" + std::to_wstring(entry.controlId);
  return line;
}

const AccessibleEntry* FindEntry(const std::vector<AccessibleEntry>& entries, int controlId) {
  for (const AccessibleEntry& entry : entries) {
    if (entry.child == 0 && entry.controlId == controlId) return &entry;
  }
  return nullptr;
}

}  // namespace twdrive
