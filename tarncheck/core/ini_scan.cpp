#include "ini_scan.h"

#include "app/core/text.h"

namespace tc {
namespace {

std::wstring Trimmed(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && (text[begin] == L' ' || text[begin] == L'\t')) ++begin;
  while (end > begin && (text[end - 1] == L' ' || text[end - 1] == L'\t')) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

IniText ScanIni(const std::wstring& text) {
  IniText ini;
  const size_t nul = text.find(L'\0');
  const std::wstring body = nul == std::wstring::npos ? text : text.substr(0, nul);
  size_t start = 0;
  uint32_t number = 0;
  while (start < body.size()) {
    size_t end = body.find(L'\n', start);
    if (end == std::wstring::npos) end = body.size();
    std::wstring line = body.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    line = Trimmed(line);
    if (line.empty() || line[0] == L';') continue;
    if (line[0] == L'[') {
      IniSection section;
      section.number = number;
      const size_t close = line.find(L']');
      section.closed = close != std::wstring::npos;
      section.name = Trimmed(line.substr(1, section.closed ? close - 1 : std::wstring::npos));
      ini.sections.push_back(std::move(section));
      continue;
    }
    auto& lines = ini.sections.empty() ? ini.beforeFirstSection : ini.sections.back().lines;
    lines.push_back({number, line});
  }
  return ini;
}

std::wstring DecodeIniBytes(const std::string& bytes, std::wstring (*decode8bit)(const std::string&)) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    return tw::FromUtf16Le(bytes.substr(2));
  }
  if (decode8bit) return decode8bit(bytes);
  std::wstring latin;  // without a decoder: one character per byte
  for (char c : bytes) latin.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return latin;
}

const IniSection* FindSection(const IniText& ini, const std::wstring& name) {
  for (const IniSection& section : ini.sections) {
    if (tw::EqualsNoCase(section.name, name)) return &section;
  }
  return nullptr;
}

}  // namespace tc
