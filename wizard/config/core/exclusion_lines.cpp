#include "exclusion_lines.h"

#include "app/core/text.h"

namespace tw {
namespace exclusion {
namespace {
void TrimRight(std::wstring& s, wchar_t c) {
  while (!s.empty() && s.back() == c) s.pop_back();
}
void TrimLeft(std::wstring& s, wchar_t c) {
  size_t n = 0;
  while (n < s.size() && s[n] == c) ++n;
  s.erase(0, n);
}
}  // namespace

std::wstring CleanLine(std::wstring line) {
  for (wchar_t c : {L' ', L'\\', L'"'}) {
    TrimRight(line, c);
    TrimLeft(line, c);
  }
  return line;
}

std::vector<std::wstring> ParseList(const std::wstring& text, wchar_t driveLetter) {
  std::vector<std::wstring> entries;
  const size_t end = text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0');
  size_t start = 0;
  for (size_t lineCount = 0; start <= end && lineCount < kMaxLines; ++lineCount) {
    size_t stop = text.find(L'\n', start);
    if (stop == std::wstring::npos || stop > end) stop = end;
    std::wstring line = text.substr(start, stop - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    line = CleanLine(std::move(line));
    if (!line.empty()) {
      if (line[0] == L'?') line[0] = driveLetter;
      entries.push_back(std::move(line));
    }
    if (stop == end) break;
    start = stop + 1;
  }
  return entries;
}

std::vector<std::wstring> ParseListFile(const std::string& content, wchar_t driveLetter) {
  const std::wstring text = FromUtf16Le(content.size() > 2 ? content.substr(2) : std::string());
  return ParseList(text, driveLetter);
}

}  // namespace exclusion
}  // namespace tw
