#include "lang_checks.h"

#include <algorithm>

#include "app/core/text.h"
#include "config/core/ini_core.h"

namespace tc {
namespace {

bool Contains(const std::vector<std::wstring>& list, const std::wstring& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

std::wstring Joined(const std::vector<std::wstring>& items) {
  std::wstring out;
  for (size_t i = 0; i < items.size(); ++i) out += (i == 0 ? L"" : L", ") + items[i];
  return out;
}

bool IsWordChar(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9'); }

}  // namespace

std::vector<std::wstring> PlaceholderTokens(const std::wstring& text) {
  std::vector<std::wstring> tokens;
  size_t pos = 0;
  while ((pos = text.find(L'%', pos)) != std::wstring::npos) {
    size_t end = pos + 1;
    while (end < text.size() && IsWordChar(text[end])) ++end;
    if (end < text.size() && text[end] == L'%' && end > pos + 1) {
      tokens.push_back(text.substr(pos, end - pos + 1));
      pos = end + 1;
    } else {
      pos = end;
    }
  }
  return tokens;
}

std::vector<std::wstring> StrayPlaceholders(const std::wstring& text, const std::vector<std::wstring>& replaced) {
  std::vector<std::wstring> stray;
  for (const std::wstring& token : PlaceholderTokens(text)) {
    if (!Contains(replaced, token) && !Contains(stray, token)) stray.push_back(token);
  }
  return stray;
}

std::vector<Finding> CheckLanguageText(const std::wstring& section, const KeyDef& key, const IniLine& line) {
  std::vector<Finding> findings;
  auto add = [&](const std::wstring& text) { findings.push_back({Severity::Warning, section, line.number, text}); };
  const size_t equals = line.text.find(L'=');
  const std::wstring value = equals == std::wstring::npos ? std::wstring() : line.text.substr(equals + 1);
  if (value.empty()) {
    add(key.name + L" is empty: the wizard shows nothing there");
    return findings;
  }
  std::vector<std::wstring> missing;
  for (const std::wstring& placeholder : key.placeholders) {
    if (value.find(placeholder) == std::wstring::npos) missing.push_back(placeholder);
  }
  if (!missing.empty()) {
    add(key.name + L" lacks " + Joined(missing) + L", which the wizard replaces in this text");
  }
  for (const std::wstring& token : StrayPlaceholders(value, key.placeholders)) {
    const bool known = Contains(KnownPlaceholders(), token);
    add(key.name + L" shows " + token + L" as typed: " +
        (known ? std::wstring(L"the wizard does not replace it in this text") : L"it is no placeholder the wizard knows"));
  }
  if (key.kind == ValueKind::Text && value.find(L"\\n") != std::wstring::npos) {
    add(key.name + L" shows \"\\n\" as typed: the wizard starts a new line only in message texts");
  }
  return findings;
}

std::vector<Finding> CheckLanguageFile(const IniText& ini) {
  std::vector<Finding> findings;
  for (const SectionDef& def : LanguageSections()) {
    const IniSection* section = FindSection(ini, def.name);
    if (!section) {
      findings.push_back({Severity::Warning, def.name, 0,
                          L"the section is missing: its " + tw::Dec(def.keys.size()) +
                              L" texts are empty in the wizard"});
      continue;
    }
    std::vector<std::wstring> missing;
    for (const KeyDef& key : def.keys) {
      const IniLine* last = nullptr;
      std::wstring value;
      for (const IniLine& line : section->lines) {
        if (tw::ini::MatchKey(line.text, key.name, value)) last = &line;
      }
      if (!last) {
        missing.push_back(key.name);
        continue;
      }
      for (Finding& f : CheckLanguageText(def.name, key, *last)) findings.push_back(std::move(f));
    }
    if (!missing.empty()) {
      findings.push_back({Severity::Warning, def.name, section->number,
                          Joined(missing) + (missing.size() == 1 ? L" is" : L" are") +
                              L" missing: the wizard shows an empty text there"});
    }
  }
  return findings;
}

}  // namespace tc
