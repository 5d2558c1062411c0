// Every section and key the wizard reads from its INI files, with the kind of
// each value and, for language texts, the placeholders the wizard replaces
// where the text is shown. Names come from the wizard's own key definitions.
#pragma once

#include <string>
#include <vector>

namespace tc {

enum class ValueKind {
  Text,            // taken as written
  TextWithBreaks,  // "\n" becomes a line break
  Number,          // read as "%u"; a value that does not read keeps the default
  Switch,          // 0 only for exactly "0", anything else 1
  NumberList,      // text cut at "," into pieces each read as "%d"
};

struct KeyDef {
  std::wstring name;
  ValueKind kind;
  std::wstring defaultText;                // the value the wizard uses without the key
  std::vector<std::wstring> placeholders;  // replaced where the text is shown
};

struct SectionDef {
  std::wstring name;
  std::vector<KeyDef> keys;  // in the order the reader tries them
};

// "Tarnwright_Lang.ini": every section of the language reader.
const std::vector<SectionDef>& LanguageSections();
// "Tarnwright_Act.ini": every section of the action settings reader.
const std::vector<SectionDef>& ActionSections();
// "TarnSet.ini": the keys of "Info_n" and of "Task_DVD1_n_m" / "Task_BD1_n_m".
const SectionDef& SetInfoSection();
const SectionDef& TaskSection();
// "Help.ini": section "Help" with one key per step and "Default".
const SectionDef& HelpSection();

// Help identifiers of the four steps, in step order.
constexpr unsigned kStepHelpIds[] = {4000, 4001, 4002, 4004};

// The placeholders of language texts and disc-set texts.
const std::vector<std::wstring>& KnownPlaceholders();

const KeyDef* FindKey(const SectionDef& section, const std::wstring& name);  // ignoring case

}  // namespace tc
