// Exclusion list loading and line cleaning.
//
// Input: the bytes of a list file (UTF-16 after two bytes of byte-order
// mark, whatever they hold).
//
// Properties: at most 500 entries, each non-empty, without a line feed or
// NUL, no longer than the text, neither starting nor ending with a double
// quote, and a piece of one line of the text (apart from the drive letter
// put in for a leading "?"); entries come in text order. Cleaning any line
// gives a piece of it that neither starts nor ends with a double quote.
#include <string>
#include <vector>

#include "app/core/text.h"
#include "config/core/exclusion_lines.h"
#include "fuzz_support.h"

using tw::exclusion::CleanLine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  const std::vector<std::wstring> entries = tw::exclusion::ParseListFile(content, L'E');
  FUZZ_CHECK(entries.size() <= tw::exclusion::kMaxLines);

  const std::wstring text = tw::FromUtf16Le(size > 2 ? content.substr(2) : std::string());
  size_t searchFrom = 0;
  for (const std::wstring& entry : entries) {
    FUZZ_CHECK(!entry.empty());
    FUZZ_CHECK(entry.size() <= text.size());
    FUZZ_CHECK(entry.find(L'\n') == std::wstring::npos && entry.find(L'\0') == std::wstring::npos);
    FUZZ_CHECK(entry.front() != L'"' && entry.back() != L'"');
    // The entry as it stood in the text: with "?" where the drive letter is.
    size_t at = text.find(entry, searchFrom);
    if (entry[0] == L'E') {
      std::wstring marked = entry;
      marked[0] = L'?';
      const size_t markedAt = text.find(marked, searchFrom);
      if (at == std::wstring::npos || (markedAt != std::wstring::npos && markedAt < at)) at = markedAt;
    }
    FUZZ_CHECK(at != std::wstring::npos);
    searchFrom = at + entry.size();
  }

  // Cleaning on its own, line by line.
  for (size_t start = 0; start <= text.size();) {
    size_t stop = text.find(L'\n', start);
    if (stop == std::wstring::npos) stop = text.size();
    const std::wstring line = text.substr(start, stop - start);
    const std::wstring clean = CleanLine(line);
    FUZZ_CHECK(line.find(clean) != std::wstring::npos);
    if (!clean.empty()) FUZZ_CHECK(clean.front() != L'"' && clean.back() != L'"');
    start = stop + 1;
  }
  return 0;
}
