// The pick of one disc's files from a disc layout text.
//
// Input: two bytes for the line limit and the wanted disc, then the layout
// text (8-bit, or UTF-16 after FF FE).
//
// Properties: a failure carries a message and no items; on success the
// wanted line is within the limit and the text, every item is non-empty, at
// most 260 characters and free of TAB and line feed, and the items joined
// by TABs are exactly that line of the text.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "steps/core/burn_list_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint32_t maxLines = data[0] % 16;
  const uint32_t wanted = data[1] % 16;
  const std::wstring text = fuzz::TextOfBytes(data + 2, size - 2);

  const tw::LayoutPick pick = tw::PickLayoutLine(text, maxLines, wanted);
  if (pick.failure) {
    FUZZ_CHECK(pick.items.empty());
    FUZZ_CHECK(!pick.failure->empty());
    return 0;
  }
  FUZZ_CHECK(wanted < maxLines);
  FUZZ_CHECK(!pick.items.empty());
  std::wstring joined;
  for (const std::wstring& item : pick.items) {
    FUZZ_CHECK(!item.empty() && item.size() <= tw::kLayoutItemMax);
    FUZZ_CHECK(item.find_first_of(L"\t\n") == std::wstring::npos);
    if (!joined.empty()) joined += L'\t';
    joined += item;
  }
  // Line `wanted` of the text, counted from 0.
  size_t start = 0;
  for (uint32_t line = 0; line < wanted; ++line) {
    const size_t end = text.find(L'\n', start);
    FUZZ_CHECK(end != std::wstring::npos);
    start = end + 1;
  }
  const size_t end = text.find(L'\n', start);
  FUZZ_CHECK(end != std::wstring::npos);
  FUZZ_CHECK(text.compare(start, end - start, joined) == 0);
  return 0;
}
