// Splitting "0,3,3010"-style lists of exit codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

struct NumberListResult {
  std::vector<int32_t> numbers;       // integers in text order
  std::vector<std::wstring> skipped;  // non-empty pieces that are not integers
  std::vector<std::wstring> tooLong;  // pieces over 9 characters (also in skipped)
};

// Cuts the text at every ","; each non-empty piece is read as "%d" does
// (leading blanks, sign, digits; trailing characters ignored). A piece of
// more than 9 characters is never read as a cut-off number: it is skipped.
NumberListResult ParseNumberList(const std::wstring& text);

}  // namespace tw
