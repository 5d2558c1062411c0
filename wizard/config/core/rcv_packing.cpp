#include "rcv_packing.h"

namespace tw {
namespace pack {

Placement PlaceFile(uint64_t capacity, uint64_t size, uint64_t& bytesUsed, uint32_t& discCount,
                    uint32_t& fileCount) {
  if (size > capacity) return Placement::TooLarge;
  ++fileCount;
  // Compared against the room left rather than by adding first: the sum
  // could pass 2^64 and wrap to a small number that seems to fit.
  if (bytesUsed > capacity || size > capacity - bytesUsed) {
    ++discCount;
    bytesUsed = size;
    return Placement::NewDisc;
  }
  bytesUsed += size;
  return Placement::SameDisc;
}

size_t LayoutLength(const wchar_t* layout, size_t capacity) {
  size_t length = 0;
  while (length < capacity && layout[length] != L'\0') ++length;
  return length;
}

namespace {
bool Append(wchar_t* layout, size_t capacity, const std::wstring& text, uint64_t& needed) {
  const size_t length = LayoutLength(layout, capacity);
  needed = static_cast<uint64_t>(length) + text.size() + 1;
  if (needed > capacity) return false;
  text.copy(layout + length, text.size());
  layout[length + text.size()] = L'\0';
  return true;
}
}  // namespace

bool AppendLayoutFile(wchar_t* layout, size_t capacity, const std::wstring& path, bool firstFile, bool newDisc,
                      uint64_t& needed) {
  std::wstring piece;
  if (!firstFile) piece += newDisc ? L'\n' : L'\t';
  piece += path;
  return Append(layout, capacity, piece, needed);
}

bool AppendLayoutEnd(wchar_t* layout, size_t capacity, uint64_t& needed) {
  return Append(layout, capacity, L"\n\n", needed);
}

}  // namespace pack
}  // namespace tw
