#include "number_list.h"

#include "text.h"

namespace tw {

NumberListResult ParseNumberList(const std::wstring& text) {
  constexpr size_t kMaxPiece = 9;
  NumberListResult result;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(L',', start);
    size_t end = comma == std::wstring::npos ? text.size() : comma;
    std::wstring piece = text.substr(start, end - start);
    if (!piece.empty()) {
      int32_t value = 0;
      if (piece.size() <= kMaxPiece && ScanSigned(piece, value)) {
        result.numbers.push_back(value);
      } else {
        result.skipped.push_back(piece);
        if (piece.size() > kMaxPiece) result.tooLong.push_back(piece);
      }
    }
    if (comma == std::wstring::npos) break;
    start = comma + 1;
  }
  return result;
}

}  // namespace tw
