#include "ini_core.h"

#include "app/core/text.h"

namespace tw {
namespace ini {

bool MatchKey(const std::wstring& line, const std::wstring& keyName, std::wstring& value) {
  const std::wstring prefix = keyName + L"=";
  if (!StartsWithNoCase(line, prefix)) return false;
  value = line.substr(prefix.size());
  return true;
}

std::wstring ExpandLineBreaks(const std::wstring& value) { return ReplaceAll(value, L"\\n", L"\r\n"); }

uint32_t SwitchOf(const std::wstring& value) { return value == L"0" ? 0u : 1u; }

std::vector<std::wstring> SectionLines(const wchar_t* block, size_t capacity) {
  std::vector<std::wstring> lines;
  if (!block) return lines;
  size_t start = 0;
  while (start < capacity && block[start] != L'\0') {
    size_t end = start;
    while (end < capacity && block[end] != L'\0') ++end;
    lines.emplace_back(block + start, end - start);
    start = end + 1;
  }
  return lines;
}

void ApplyLines(const std::vector<std::wstring>& lines, std::initializer_list<Field> table) {
  std::wstring value;
  for (const std::wstring& line : lines) {
    for (const Field& field : table) {
      value.clear();
      if (!MatchKey(line, field.key, value)) continue;
      switch (field.kind) {
        case Kind::Text:
          *field.text = value;
          break;
        case Kind::TextWithBreaks:
          *field.text = ExpandLineBreaks(value);
          break;
        case Kind::Number: {
          uint32_t number = 0;
          if (ScanUnsigned(value, number)) *field.number = number;
          break;
        }
        case Kind::Switch:
          *field.number = SwitchOf(value);
          break;
      }
      break;  // the first matching key takes the line
    }
  }
}

}  // namespace ini
}  // namespace tw
