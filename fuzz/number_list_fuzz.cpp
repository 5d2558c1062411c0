// The splitter of exit-code lists ("0,3,3010").
//
// Input: the list text (8-bit, or UTF-16 after FF FE).
//
// Properties: every non-empty piece between commas is either a number or
// skipped, in text order; pieces over 9 characters are skipped and listed
// as too long; a plain decimal piece is read as itself, a piece with a
// leading minus as the negative of the rest.
#include <string>
#include <vector>

#include "app/core/number_list.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = fuzz::TextOfBytes(data, size);
  const tw::NumberListResult result = tw::ParseNumberList(text);

  std::vector<std::wstring> pieces;
  for (size_t start = 0;;) {
    const size_t comma = text.find(L',', start);
    const std::wstring piece = text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
    if (!piece.empty()) pieces.push_back(piece);
    if (comma == std::wstring::npos) break;
    start = comma + 1;
  }
  FUZZ_CHECK(result.numbers.size() + result.skipped.size() == pieces.size());

  size_t number = 0, skipped = 0, tooLong = 0;
  for (const std::wstring& piece : pieces) {
    if (piece.size() > 9) {
      FUZZ_CHECK(skipped < result.skipped.size() && result.skipped[skipped++] == piece);
      FUZZ_CHECK(tooLong < result.tooLong.size() && result.tooLong[tooLong++] == piece);
      continue;
    }
    uint32_t plain = 0;
    const bool negative = piece[0] == L'-';
    if (fuzz::IsShortDecimal(negative ? piece.substr(1) : piece, plain)) {
      FUZZ_CHECK(number < result.numbers.size());
      FUZZ_CHECK(result.numbers[number++] == (negative ? -static_cast<int32_t>(plain) : static_cast<int32_t>(plain)));
    } else if (skipped < result.skipped.size() && result.skipped[skipped] == piece) {
      ++skipped;
    } else {
      FUZZ_CHECK(number < result.numbers.size());
      ++number;
    }
  }
  FUZZ_CHECK(number == result.numbers.size() && skipped == result.skipped.size() && tooLong == result.tooLong.size());
  return 0;
}
