// What the wizard tells a screen reader and how the keyboard moves through
// it, as pure rules: the accessible name, role and state of each kind of
// control, the label that names a control, mnemonics and the shortcuts
// they make, and the order in which Tab reaches the controls. Roles and
// states carry the numbers of the platform's accessibility interface. No
// platform headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {
namespace ui {
namespace access {

// Roles, numbered as the accessibility interface numbers them.
enum Role : uint32_t {
  kRolePane = 0x10,
  kRoleDialog = 0x12,
  kRoleList = 0x21,
  kRoleListItem = 0x22,
  kRoleGraphic = 0x28,
  kRoleStaticText = 0x29,
  kRoleText = 0x2A,
  kRolePushButton = 0x2B,
  kRoleComboBox = 0x2E,
  kRoleProgressBar = 0x30,
};

// State bits, numbered likewise.
namespace state {
constexpr uint32_t kUnavailable = 0x1;
constexpr uint32_t kSelected = 0x2;
constexpr uint32_t kFocused = 0x4;
constexpr uint32_t kChecked = 0x10;
constexpr uint32_t kReadOnly = 0x40;
constexpr uint32_t kCollapsed = 0x400;
constexpr uint32_t kInvisible = 0x8000;
constexpr uint32_t kFocusable = 0x100000;
constexpr uint32_t kSelectable = 0x200000;
}  // namespace state

// What kind of window a control is, as far as a screen reader cares.
enum class Kind {
  kMainWindow,    // the wizard's top-level window
  kStepPane,      // the step dialog inside it
  kDecoration,    // the banner, the result icon: nothing to read
  kStaticText,
  kPushButton,    // Back, Next and the banner's bitmap buttons
  kList,          // the disc-set list, the disc list
  kComboBox,      // the drive and disc-type choices
  kEdit,          // the read-only boxes: drive, disc count, report
  kProgressBar,
};

// What the shell reads of one control.
struct ControlFacts {
  Kind kind = Kind::kStaticText;
  std::wstring text;     // window text; for a combo box the chosen item
  std::wstring label;    // the text of the label that names it (may hold a mnemonic)
  std::wstring ownName;  // a name the wizard gives it (bitmap buttons, step panes)
  bool visible = true;
  bool enabled = true;
  bool focused = false;
  bool tabStop = false;
  bool readOnly = false;
  bool noPrefix = false;  // a static text that shows '&' as it is
};

// What a screen reader is told about it.
struct AccessibleFacts {
  std::wstring name;
  std::wstring value;
  std::wstring shortcut;       // "Alt+N"
  std::wstring defaultAction;  // "Press", "Check", "Uncheck"
  uint32_t role = kRoleStaticText;
  uint32_t state = 0;
};

AccessibleFacts Describe(const ControlFacts& facts);

// One item of a list.
struct ItemFacts {
  std::wstring text;
  bool selected = false;
  bool focused = false;    // the list's focused item (only focused while the list has the focus)
  bool checkable = false;  // the list shows check boxes
  bool checked = false;
};
AccessibleFacts DescribeItem(const ItemFacts& item, bool listFocused);

// ---------------------------------------------------------------- texts

// The text without its mnemonic marks: "&Next >" -> "Next >", "A && B" ->
// "A & B"; the parenthesised form "次へ(&N) >" loses the parentheses too.
std::wstring StripMnemonic(const std::wstring& text);
// The character after a single '&', upper case for letters; 0 for none.
wchar_t MnemonicOf(const std::wstring& text);
// "Alt+N" for a text with the mnemonic N; empty for none.
std::wstring ShortcutOf(const std::wstring& text);
// The name a label gives: without mnemonic, its first line only, without
// a trailing colon (also the full-width one) and blanks.
std::wstring NameFromLabel(const std::wstring& label);

// Mnemonics that more than one of the texts uses (letters compared
// without case), each once, in the order first met.
std::vector<wchar_t> DuplicateMnemonics(const std::vector<std::wstring>& texts);

// ---------------------------------------------------------------- labels

// One sibling window, in the order of the windows (Tab's order).
struct SiblingFacts {
  bool isLabel = false;  // a static text with something to read
  bool visible = true;
  bool tabStop = false;
};
// The label that names the control at `index`: the nearest visible label
// before it, unless a visible tab stop lies between them. -1 for none.
int LabelOf(const std::vector<SiblingFacts>& siblings, size_t index);

// ---------------------------------------------------------------- Tab

// Where the main window's own controls come in the Tab cycle: after the
// step's controls (the step dialog is always first among the main
// window's children), Back, Next, then the banner's help, minimise and
// close buttons, so that one round reads the window from the step's
// content down and on along the banner, left to right.
std::vector<int32_t> MainWindowTabOrder();

// What decides which controls a step's Tab cycle meets.
struct TabContext {
  uint32_t step = 0;
  bool canSelectDrive = true;  // the first step shows the drive list, else the read-only box
  bool helpShown = true;
  bool backShown = true;
  bool closeEnabled = true;
};
// The control ids Tab reaches on a step, in order, starting from the
// step's first control (or from Back where the step has none).
std::vector<int32_t> TabCycle(const TabContext& context);

}  // namespace access
}  // namespace ui
}  // namespace tw
