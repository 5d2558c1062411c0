// Primitives shared by every INI section reader: key definitions, the match
// of one section line against a key name, the value kinds and the walk over
// a double-NUL section block. Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// A key name with its default text. One constant per key name, so a name
// has the same default in every file and section that uses it.
struct IniTextKey {
  const wchar_t* name;
  const wchar_t* defaultValue;
};

// A key name with its default unsigned 32-bit number.
struct IniNumberKey {
  const wchar_t* name;
  uint32_t defaultValue;
};

namespace tw {
namespace ini {

// How a matched value is stored in its field.
enum class Kind {
  Text,            // unchanged
  TextWithBreaks,  // backslash-n becomes CR LF
  Number,          // "%u"; a value that does not scan leaves the field alone
  Switch,          // 0 only for exactly "0", otherwise 1
};

// The line matches when it starts with `keyName` followed directly by "="
// (name compared ignoring case). The value is the rest of the line,
// untrimmed; further "=" belong to it. `value` is written only on a match.
bool MatchKey(const std::wstring& line, const std::wstring& keyName, std::wstring& value);

// Every backslash followed by the letter n becomes CR LF.
std::wstring ExpandLineBreaks(const std::wstring& value);

// 0 for the value "0", 1 for anything else (empty, "no", "00").
uint32_t SwitchOf(const std::wstring& value);

// The lines of a section block as the profile-section call fills it: each
// line ends in NUL, an empty line ends the block. Never reads beyond
// `capacity` characters, also when the block lacks its terminator.
std::vector<std::wstring> SectionLines(const wchar_t* block, size_t capacity);

// One row of a reader's table: a key and the field its value goes to.
struct Field {
  const wchar_t* key;
  Kind kind;
  std::wstring* text;  // Text, TextWithBreaks
  uint32_t* number;    // Number, Switch
};

inline Field TextField(const IniTextKey& key, std::wstring& target) { return {key.name, Kind::Text, &target, nullptr}; }
inline Field BreaksField(const IniTextKey& key, std::wstring& target) {
  return {key.name, Kind::TextWithBreaks, &target, nullptr};
}
inline Field NumberField(const IniNumberKey& key, uint32_t& target) { return {key.name, Kind::Number, nullptr, &target}; }
inline Field SwitchField(const IniNumberKey& key, uint32_t& target) { return {key.name, Kind::Switch, nullptr, &target}; }

// Walks the lines in order; each line goes to the first row of `table`
// whose key it matches and is converted by that row's kind. Lines that
// match no row are skipped. A key given on several lines keeps the last.
void ApplyLines(const std::vector<std::wstring>& lines, std::initializer_list<Field> table);

}  // namespace ini
}  // namespace tw
