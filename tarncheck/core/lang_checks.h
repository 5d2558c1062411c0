// The texts of one language file against the complete key list: missing and
// empty texts, placeholders missing where the wizard replaces them or shown
// as typed where it does not, and "\n" where the wizard shows it as typed.
#pragma once

#include <string>
#include <vector>

#include "core/ini_scan.h"
#include "core/lint.h"

namespace tc {

// "%Word%" tokens of a text, in order, repeats included.
std::vector<std::wstring> PlaceholderTokens(const std::wstring& text);

// One text as written in the file (before "\n" is turned into a break).
std::vector<Finding> CheckLanguageText(const std::wstring& section, const KeyDef& key, const IniLine& line);

// Every section and key of the language reader against the file's text:
// missing sections and keys, then each text. The last line of a repeated
// key is the one judged, as the wizard takes it.
std::vector<Finding> CheckLanguageFile(const IniText& ini);

// Texts the wizard shows that are not language texts but hold placeholders
// of their own: a disc's Title and VolumeLabel may hold %DiscNum%.
std::vector<std::wstring> StrayPlaceholders(const std::wstring& text, const std::vector<std::wstring>& replaced);

}  // namespace tc
