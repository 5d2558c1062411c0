#include "access_rules.h"

#include <algorithm>

#include "res/resource.h"

namespace tw {
namespace ui {
namespace access {
namespace {

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\x3000'; }

void TrimTrailingBlanks(std::wstring* text) {
  while (!text->empty() && IsBlank(text->back())) text->pop_back();
}

// Visible, enabled and (for the kinds a user can reach) focusable.
uint32_t BaseState(const ControlFacts& facts, bool reachable) {
  uint32_t s = 0;
  if (!facts.visible) s |= state::kInvisible;
  if (!facts.enabled) s |= state::kUnavailable;
  if (reachable && facts.visible && facts.enabled && (facts.tabStop || facts.focused)) s |= state::kFocusable;
  if (facts.focused) s |= state::kFocused;
  return s;
}

// A control named by its label, or by the name the wizard gives it.
std::wstring LabelledName(const ControlFacts& facts) {
  return facts.ownName.empty() ? NameFromLabel(facts.label) : facts.ownName;
}

}  // namespace

AccessibleFacts Describe(const ControlFacts& facts) {
  AccessibleFacts a;
  switch (facts.kind) {
    case Kind::kMainWindow:
      a.role = kRoleDialog;
      a.name = facts.ownName.empty() ? facts.text : facts.ownName;
      a.state = BaseState(facts, false);
      break;
    case Kind::kStepPane:
      a.role = kRolePane;
      a.name = facts.ownName;
      a.state = BaseState(facts, false);
      break;
    case Kind::kDecoration:
      a.role = kRoleGraphic;
      a.name = facts.ownName;
      a.state = BaseState(facts, false);
      break;
    case Kind::kStaticText:
      a.role = kRoleStaticText;
      a.name = facts.noPrefix ? facts.text : StripMnemonic(facts.text);
      if (!facts.noPrefix) a.shortcut = ShortcutOf(facts.text);
      a.state = BaseState(facts, false) | state::kReadOnly;
      break;
    case Kind::kPushButton:
      a.role = kRolePushButton;
      a.name = facts.ownName.empty() ? StripMnemonic(facts.text) : facts.ownName;
      a.shortcut = ShortcutOf(facts.text);
      a.defaultAction = L"Press";
      a.state = BaseState(facts, true);
      break;
    case Kind::kList:
      a.role = kRoleList;
      a.name = LabelledName(facts);
      a.shortcut = ShortcutOf(facts.label);
      a.state = BaseState(facts, true);
      break;
    case Kind::kComboBox:
      a.role = kRoleComboBox;
      a.name = LabelledName(facts);
      a.value = facts.text;
      a.shortcut = ShortcutOf(facts.label);
      a.state = BaseState(facts, true) | state::kCollapsed;
      break;
    case Kind::kEdit:
      a.role = kRoleText;
      a.name = LabelledName(facts);
      a.value = facts.text;
      a.shortcut = ShortcutOf(facts.label);
      a.state = BaseState(facts, true) | (facts.readOnly ? state::kReadOnly : 0);
      break;
    case Kind::kProgressBar:
      a.role = kRoleProgressBar;
      a.name = facts.ownName;
      a.state = BaseState(facts, false) | state::kReadOnly;
      break;
  }
  return a;
}

AccessibleFacts DescribeItem(const ItemFacts& item, bool listFocused) {
  AccessibleFacts a;
  a.role = kRoleListItem;
  a.name = item.text;
  a.state = state::kSelectable | state::kFocusable;
  if (item.selected) a.state |= state::kSelected;
  if (item.focused && listFocused) a.state |= state::kFocused;
  if (item.checkable) {
    if (item.checked) a.state |= state::kChecked;
    a.defaultAction = item.checked ? L"Uncheck" : L"Check";
  }
  return a;
}

std::wstring StripMnemonic(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c != L'&') {
      out.push_back(c);
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == L'&') {  // "&&" shows one '&'
      out.push_back(L'&');
      ++i;
      continue;
    }
    // "(&N)" after a text in another script names the key only: drop it whole.
    if (!out.empty() && out.back() == L'(' && i + 2 < text.size() && text[i + 2] == L')') {
      out.pop_back();
      i += 2;
      continue;
    }
  }
  return out;
}

wchar_t MnemonicOf(const std::wstring& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] == L'&') {
      ++i;
      continue;
    }
    return Upper(text[i + 1]);
  }
  return 0;
}

std::wstring ShortcutOf(const std::wstring& text) {
  const wchar_t key = MnemonicOf(text);
  return key ? std::wstring(L"Alt+") + key : std::wstring();
}

std::wstring NameFromLabel(const std::wstring& label) {
  std::wstring name = StripMnemonic(label);
  const size_t lineEnd = name.find_first_of(L"\r\n");
  if (lineEnd != std::wstring::npos) name.erase(lineEnd);
  TrimTrailingBlanks(&name);
  while (!name.empty() && (name.back() == L':' || name.back() == L'\xFF1A')) name.pop_back();
  TrimTrailingBlanks(&name);
  return name;
}

std::vector<wchar_t> DuplicateMnemonics(const std::vector<std::wstring>& texts) {
  std::vector<wchar_t> seen, twice;
  for (const std::wstring& text : texts) {
    const wchar_t key = MnemonicOf(text);
    if (!key) continue;
    if (std::find(seen.begin(), seen.end(), key) == seen.end()) {
      seen.push_back(key);
    } else if (std::find(twice.begin(), twice.end(), key) == twice.end()) {
      twice.push_back(key);
    }
  }
  return twice;
}

int LabelOf(const std::vector<SiblingFacts>& siblings, size_t index) {
  for (size_t i = std::min(index, siblings.size()); i-- > 0;) {
    const SiblingFacts& s = siblings[i];
    if (!s.visible) continue;
    if (s.isLabel) return static_cast<int>(i);
    if (s.tabStop) return -1;
  }
  return -1;
}

std::vector<int32_t> MainWindowTabOrder() {
  return {IDC_BACK, IDC_NEXT, IDC_HELP_BUTTON, IDC_MINIMISE_BUTTON, IDC_CLOSE_BUTTON};
}

std::vector<int32_t> TabCycle(const TabContext& context) {
  std::vector<int32_t> cycle;
  switch (context.step) {
    case 0:
      cycle = {IDC_DISC_SET_LIST, context.canSelectDrive ? IDC_DRIVE_COMBO : IDC_DRIVE_EDIT, IDC_DISC_TYPE_COMBO,
               IDC_DISC_COUNT};
      break;
    case 1:
      cycle = {IDC_DISC_LIST};
      break;
    case 3:
      cycle = {IDC_RESULT_LINES};
      break;
    default:
      break;
  }
  for (int32_t id : MainWindowTabOrder()) {
    if (id == IDC_BACK && !context.backShown) continue;
    if (id == IDC_HELP_BUTTON && !context.helpShown) continue;
    if (id == IDC_CLOSE_BUTTON && !context.closeEnabled) continue;
    cycle.push_back(id);
  }
  return cycle;
}

}  // namespace access
}  // namespace ui
}  // namespace tw
