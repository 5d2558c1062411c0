#include "lint.h"

#include <algorithm>
#include <map>

#include "app/core/text.h"
#include "config/core/ini_core.h"

namespace tc {
namespace {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring LinesList(const std::vector<uint32_t>& numbers) {
  std::wstring out;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) out += i + 1 == numbers.size() ? L" and " : L", ";
    out += tw::Dec(numbers[i]);
  }
  return out;
}

std::vector<std::wstring> KeyNames(const SectionDef& def) {
  std::vector<std::wstring> names;
  for (const KeyDef& key : def.keys) names.push_back(key.name);
  return names;
}

// The key name as written before "=", and whether blanks stood before "=".
struct KeyPart {
  std::wstring name;
  bool blankBeforeEquals = false;
};
KeyPart KeyPartOf(const std::wstring& line, size_t equals) {
  KeyPart part;
  part.name = line.substr(0, equals);
  while (!part.name.empty() && (part.name.back() == L' ' || part.name.back() == L'\t')) {
    part.name.pop_back();
    part.blankBeforeEquals = true;
  }
  return part;
}

// Reads "1" to "100" without sign, blanks or leading zeros.
bool ParseSetOrTaskNumber(const std::wstring& text, uint32_t* number) {
  if (text.empty() || text.size() > 3 || text[0] == L'0') return false;
  uint32_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + static_cast<uint32_t>(c - L'0');
  }
  if (value < 1 || value > 100) return false;
  *number = value;
  return true;
}

bool OnlyBlanks(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c != L' ' && c != L'\t') return false;
  }
  return true;
}

// Whether the text that "%u" took stands for a value outside 0 to 2^32 - 1
// (a minus sign before a number other than 0, or more than 32 bits), which
// the scan wraps around.
bool WrapsAround(const std::wstring& scanned) {
  bool negative = false;
  uint64_t value = 0;
  for (wchar_t c : scanned) {
    if (c == L'-') negative = true;
    if (c < L'0' || c > L'9') continue;
    value = value * 10 + static_cast<uint64_t>(c - L'0');
    if (value > 0xFFFFFFFFull) return true;
  }
  return negative && value != 0;
}

// A number key's value as "%u" reads it: nothing when it reads as written.
void CheckNumber(const std::wstring& line, const std::wstring& value, const KeyDef& key, bool repeated,
                 const std::function<void(const std::wstring&)>& warn) {
  uint32_t number = 0;
  size_t used = 0;
  if (!tw::ScanUnsigned(value, number, used)) {
    warn(Quoted(line) + L" does not read as a number: the wizard keeps " +
         (repeated ? std::wstring(L"the value of an earlier line") : L"the default " + key.defaultText));
    return;
  }
  const std::wstring rest = value.substr(used);
  if (!OnlyBlanks(rest)) {
    warn(Quoted(line) + L" reads as a number only in part: the wizard reads " + key.name + L" as " + tw::Dec(number) +
         L" and ignores " + Quoted(rest));
  } else if (WrapsAround(value.substr(0, used))) {
    warn(Quoted(line) + L" lies outside 0 to 4294967295: the wizard reads " + key.name + L" as " + tw::Dec(number));
  }
}

// The pieces of an exit-code list that "%d" reads only in part (pieces it
// cannot read at all are the checker's other finding).
void CheckNumberList(const std::wstring& value, const KeyDef& key, const std::function<void(const std::wstring&)>& warn) {
  constexpr size_t kMaxPiece = 9;  // longer pieces are skipped whole
  size_t start = 0;
  while (start <= value.size()) {
    const size_t comma = value.find(L',', start);
    const size_t end = comma == std::wstring::npos ? value.size() : comma;
    const std::wstring piece = value.substr(start, end - start);
    int32_t number = 0;
    size_t used = 0;
    if (!piece.empty() && piece.size() <= kMaxPiece && tw::ScanSigned(piece, number, used) &&
        !OnlyBlanks(piece.substr(used))) {
      warn(key.name + L" piece " + Quoted(piece) + L" reads as a number only in part: the wizard takes it as " +
           tw::DecSigned(number) + L" and ignores " + Quoted(piece.substr(used)));
    }
    if (comma == std::wstring::npos) break;
    start = comma + 1;
  }
}

}  // namespace

size_t EditDistance(const std::wstring& a, const std::wstring& b) {
  std::vector<size_t> previous(b.size() + 1);
  std::vector<size_t> current(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t change = tw::FoldCase(a[i - 1]) == tw::FoldCase(b[j - 1]) ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
    }
    std::swap(previous, current);
  }
  return previous[b.size()];
}

std::wstring Nearest(const std::wstring& word, const std::vector<std::wstring>& candidates, size_t maxDistance) {
  std::wstring best;
  size_t bestDistance = maxDistance + 1;
  for (const std::wstring& candidate : candidates) {
    const size_t distance = EditDistance(word, candidate);
    if (distance < bestDistance) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

std::vector<Finding> LintSection(const IniSection& section, const SectionDef& def) {
  std::vector<Finding> findings;
  auto add = [&](Severity severity, uint32_t line, const std::wstring& text) {
    findings.push_back({severity, section.name, line, text});
  };
  struct Use {
    const KeyDef* key;
    std::vector<uint32_t> lines;
    std::vector<std::wstring> values;
  };
  std::map<std::wstring, Use> uses;  // by the key's own spelling
  const std::vector<std::wstring> names = KeyNames(def);

  for (const IniLine& line : section.lines) {
    const size_t equals = line.text.find(L'=');
    if (equals == std::wstring::npos) {
      add(Severity::Warning, line.number, Quoted(line.text) + L" has no \"=\": the wizard ignores the line");
      continue;
    }
    const KeyPart part = KeyPartOf(line.text, equals);
    const std::wstring value = line.text.substr(equals + 1);
    const KeyDef* key = FindKey(def, part.name);
    if (key && part.blankBeforeEquals) {
      add(Severity::Warning, line.number,
          Quoted(line.text) + L" has a blank before \"=\": the wizard takes " + key->name +
              L" only when \"=\" follows the name directly, so this line is ignored");
      continue;
    }
    if (!key) {
      const std::wstring near = part.name.size() >= 3 ? Nearest(part.name, names, 2) : std::wstring();
      if (!near.empty()) {
        add(Severity::Warning, line.number,
            Quoted(part.name) + L" is not a key the wizard reads here (did you mean " + near +
                L"?): the line is ignored");
      } else {
        add(Severity::Note, line.number, Quoted(part.name) + L" is not a key the wizard reads here: the line is ignored");
      }
      continue;
    }
    Use& use = uses[key->name];
    use.key = key;
    use.lines.push_back(line.number);
    use.values.push_back(value);
    const auto warn = [&](const std::wstring& text) { add(Severity::Warning, line.number, text); };
    if (key->kind == ValueKind::Number) CheckNumber(line.text, value, *key, use.lines.size() > 1, warn);
    if (key->kind == ValueKind::NumberList) CheckNumberList(value, *key, warn);
    if (key->kind == ValueKind::Switch && value != L"0" && value != L"1") {
      add(Severity::Warning, line.number,
          Quoted(line.text) + L" counts as 1 (on): only the value 0 switches " + key->name + L" off");
    }
  }
  for (const KeyDef& key : def.keys) {
    auto found = uses.find(key.name);
    if (found == uses.end() || found->second.lines.size() < 2) continue;
    const Use& use = found->second;
    add(Severity::Warning, use.lines.back(),
        key.name + L" is given " + tw::Dec(use.lines.size()) + L" times (lines " + LinesList(use.lines) +
            L"): the wizard takes the last one, " + Quoted(use.values.back()));
  }
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

std::vector<Finding> LintFile(const IniText& ini, const SectionLookup& lookup) {
  std::vector<Finding> findings;
  for (const IniLine& line : ini.beforeFirstSection) {
    findings.push_back({Severity::Warning, L"", line.number,
                        Quoted(line.text) + L" stands above the first section: the wizard never reads it"});
  }
  std::map<std::wstring, uint32_t> firstHeader;  // upper-cased name to its line
  for (const IniSection& section : ini.sections) {
    const std::wstring header = L"[" + section.name + L"]";
    if (!section.closed) {
      findings.push_back({Severity::Warning, section.name, section.number,
                          L"the section header " + Quoted(L"[" + section.name) + L" has no closing \"]\""});
    }
    const std::wstring folded = tw::ToUpper(section.name);
    auto first = firstHeader.find(folded);
    if (first != firstHeader.end()) {
      findings.push_back({Severity::Warning, section.name, section.number,
                          header + L" appears again (first on line " + tw::Dec(first->second) +
                              L"): the wizard reads only the first, so the lines below this header are ignored"});
      continue;
    }
    firstHeader.emplace(folded, section.number);
    std::wstring hint;
    const SectionDef* def = lookup(section.name, &hint);
    if (!def) {
      findings.push_back({hint.empty() ? Severity::Note : Severity::Warning, section.name, section.number,
                          header + L" is not a section the wizard reads" + (hint.empty() ? L"" : L" (" + hint + L")") +
                              L": its lines are ignored"});
      continue;
    }
    for (Finding& f : LintSection(section, *def)) findings.push_back(std::move(f));
  }
  return findings;
}

SectionLookup FixedSections(const std::vector<SectionDef>& sections) {
  return [&sections](const std::wstring& name, std::wstring* hint) -> const SectionDef* {
    std::vector<std::wstring> names;
    for (const SectionDef& def : sections) {
      if (tw::EqualsNoCase(def.name, name)) return &def;
      names.push_back(def.name);
    }
    const std::wstring near = Nearest(name, names, 2);
    if (!near.empty()) *hint = L"did you mean [" + near + L"]?";
    return nullptr;
  };
}

bool ParseDiscSetSectionName(const std::wstring& name, DiscSetSectionName* out) {
  DiscSetSectionName parsed;
  std::wstring rest;
  if (tw::StartsWithNoCase(name, L"Info_")) {
    parsed.isInfo = true;
    if (!ParseSetOrTaskNumber(name.substr(5), &parsed.setNumber)) return false;
    *out = parsed;
    return true;
  }
  if (tw::StartsWithNoCase(name, L"Task_DVD1_")) {
    parsed.discType = 0;
    rest = name.substr(10);
  } else if (tw::StartsWithNoCase(name, L"Task_BD1_")) {
    parsed.discType = 1;
    rest = name.substr(9);
  } else {
    return false;
  }
  const size_t underscore = rest.find(L'_');
  if (underscore == std::wstring::npos) return false;
  if (!ParseSetOrTaskNumber(rest.substr(0, underscore), &parsed.setNumber) ||
      !ParseSetOrTaskNumber(rest.substr(underscore + 1), &parsed.taskNumber)) {
    return false;
  }
  *out = parsed;
  return true;
}

SectionLookup DiscSetSections() {
  return [](const std::wstring& name, std::wstring* hint) -> const SectionDef* {
    DiscSetSectionName parsed;
    if (ParseDiscSetSectionName(name, &parsed)) return parsed.isInfo ? &SetInfoSection() : &TaskSection();
    if (tw::StartsWithNoCase(name, L"Info") || tw::StartsWithNoCase(name, L"Task")) {
      *hint = L"the wizard reads Info_n, Task_DVD1_n_m and Task_BD1_n_m with n and m from 1 to 100, "
              L"written without leading zeros";
    }
    return nullptr;
  };
}

SectionLookup HelpSections() {
  static const std::vector<SectionDef> sections = {HelpSection()};
  return FixedSections(sections);
}

std::wstring Where(const std::wstring& file, const Finding& finding) {
  std::wstring where = file;
  if (finding.line != 0) where += L" line " + tw::Dec(finding.line);
  if (!finding.section.empty()) where += L" [" + finding.section + L"]";
  return where + L": ";
}

}  // namespace tc
