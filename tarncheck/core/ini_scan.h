// An INI file's text as written, with line numbers: its sections and the
// lines in each. The wizard never sees line numbers (it fetches whole
// sections through the platform), so the checker reads the text itself to
// say where a line stands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tc {

struct IniLine {
  uint32_t number = 0;  // 1-based line of the file
  std::wstring text;    // without line end and surrounding blanks
};

struct IniSection {
  std::wstring name;  // between the brackets, blanks trimmed
  uint32_t number = 0;
  bool closed = true;          // the header ends with "]"
  std::vector<IniLine> lines;  // key lines; blank and ";" comment lines left out
};

struct IniText {
  std::vector<IniLine> beforeFirstSection;  // key lines above every header
  std::vector<IniSection> sections;         // in file order, repeats included
};

// Splits the text at line feeds (a CR before each is dropped) and sorts the
// lines into sections. The text ends at its first NUL.
IniText ScanIni(const std::wstring& text);

// The text of an INI file as the profile functions read it: UTF-16LE after
// a byte-order mark FF FE, otherwise 8-bit text that `decode8bit` turns into
// UTF-16 (the platform's ANSI code page).
std::wstring DecodeIniBytes(const std::string& bytes, std::wstring (*decode8bit)(const std::string&));

// The first section of that name (ignoring case), as the profile functions
// read it; nullptr when there is none.
const IniSection* FindSection(const IniText& ini, const std::wstring& name);

}  // namespace tc
