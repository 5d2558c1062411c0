// Lines of an INI file that the wizard's readers ignore, or take otherwise
// than they look: the reader matches a line to a key only when "=" follows
// the key name directly (ignoring case), takes the last of repeated keys,
// keeps the default for a number that does not read, and reads a section
// only from its first header.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/ini_scan.h"
#include "core/key_tables.h"
#include "core/report.h"

namespace tc {

struct Finding {
  Severity severity;
  std::wstring section;  // empty for the file as a whole
  uint32_t line;         // 0 for no particular line
  std::wstring text;
};

// Number of single-character edits between two names, ignoring case.
size_t EditDistance(const std::wstring& a, const std::wstring& b);
// The candidate closest to `word` within `maxDistance` edits ("" for none).
std::wstring Nearest(const std::wstring& word, const std::vector<std::wstring>& candidates, size_t maxDistance);

// The key lines of one section read with `def`.
std::vector<Finding> LintSection(const IniSection& section, const SectionDef& def);

// How a file's sections are read: the definition a section name is read
// with, or nullptr when the wizard never reads a section of that name; then
// `hint` may say what the engineer probably meant.
using SectionLookup = std::function<const SectionDef*(const std::wstring& name, std::wstring* hint)>;

// Every section of the file: repeated and unknown sections, unclosed
// headers, lines above the first section, and the lines of each section
// that is read.
std::vector<Finding> LintFile(const IniText& ini, const SectionLookup& lookup);

// Lookups for the wizard's files. Section names are compared ignoring case.
SectionLookup FixedSections(const std::vector<SectionDef>& sections);
SectionLookup DiscSetSections();
SectionLookup HelpSections();

// Set and task numbers of a disc-set section name: "Info_n" gives n (task 0),
// "Task_DVD1_n_m" and "Task_BD1_n_m" give n and m with the disc type (0 DVD,
// 1 BD). Only the names the wizard forms ("%u", 1 to 100) count.
struct DiscSetSectionName {
  bool isInfo = false;
  int32_t discType = -1;
  uint32_t setNumber = 0;
  uint32_t taskNumber = 0;
};
bool ParseDiscSetSectionName(const std::wstring& name, DiscSetSectionName* out);

// "Tarnwright_Act.ini line 21, [ExecuteAtStart]: " and the like.
std::wstring Where(const std::wstring& file, const Finding& finding);

}  // namespace tc
